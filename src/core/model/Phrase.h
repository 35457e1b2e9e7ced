// SPDX-License-Identifier: GPL-3.0-or-later
// A message in English for logs and in the user's language for the window.
#pragma once

#include <QString>
#include <QStringList>

// Logs stay English in every language (they are read by scripts and pasted
// into bug reports) while the window shows the same message translated:
// one source text, marked with QT_TRANSLATE_NOOP, gives both.
struct Phrase
{
    QString english;
    QString shown;

    bool isEmpty() const { return english.isEmpty(); }

    // The source text, marked for the catalogues (the build's lupdate takes
    // "say" as QT_TRANSLATE_NOOP), in both forms.
    static Phrase say(const char *context, const char *source);
    // %1…%9 are the arguments, put in once: an argument that itself holds
    // "%2" stays as it is.
    Phrase with(const QStringList &arguments) const;
    static QString fill(const QString &pattern, const QStringList &arguments);
};
