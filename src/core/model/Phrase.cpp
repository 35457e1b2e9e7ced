// SPDX-License-Identifier: GPL-3.0-or-later
// A message in English for logs and in the user's language for the window.
#include "core/model/Phrase.h"

#include <QCoreApplication>

Phrase Phrase::say(const char *context, const char *source)
{
    return {QString::fromUtf8(source), QCoreApplication::translate(context, source)};
}

Phrase Phrase::with(const QStringList &arguments) const
{
    return {fill(english, arguments), fill(shown, arguments)};
}

QString Phrase::fill(const QString &pattern, const QStringList &arguments)
{
    QString out;
    out.reserve(pattern.size());
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern.at(i);
        if (c == u'%' && i + 1 < pattern.size()) {
            const int digit = pattern.at(i + 1).digitValue();
            if (digit >= 1 && digit <= arguments.size()) {
                out += arguments.at(digit - 1);
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}
