// SPDX-License-Identifier: GPL-3.0-or-later
// Sanitising a name into a single folder name.
#include "core/model/SafePathComponent.h"

#include <QStringList>

static QString trimSpacesAndTabs(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    auto blank = [](QChar c) { return c == u' ' || c == u'\t'; };
    while (begin < end && blank(text.at(begin)))
        ++begin;
    while (end > begin && blank(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}

QString safePathComponent(const QString &name)
{
    static const QString separators = QStringLiteral("/\\:*?\"<>|");
    QStringList pieces;
    QString current;
    auto flush = [&] {
        const QString piece = trimSpacesAndTabs(current);
        if (!piece.isEmpty())
            pieces.append(piece);
        current.clear();
    };
    for (const QChar c : name) {
        if (separators.contains(c))
            flush();
        else
            current += c;
    }
    flush();
    const QString joined = pieces.join(u'_');
    if (joined.isEmpty())
        return QStringLiteral("unnamed");
    // "." and ".." would name the folder itself or its parent.
    if (joined == u"." || joined == u"..")
        return u'_' + joined;
    return joined;
}
