// SPDX-License-Identifier: GPL-3.0-or-later
// Turns chunks of a child's output into log lines.
#pragma once

#include <QByteArray>
#include <QStringDecoder>
#include <QStringList>
#include <QStringView>

// Each chunk is cut at every CR and LF and empty pieces are dropped; a line
// that arrives in two chunks becomes two lines. Only an incomplete UTF-8
// sequence at the end of a chunk is carried over to the next one; invalid
// bytes become U+FFFD. A line longer than maxLineLength (counted across
// chunks) is cut there, marked with "…", and the rest of it is dropped up to
// the next line break, so memory stays bounded whatever the child writes. Control characters other
// than tab are made visible ("^[" for ESC), so a stored log cannot drive the
// terminal that shows it.
class OutputDecoder
{
public:
    static constexpr qsizetype maxLineLength = 16 * 1024;

    QStringList feed(const QByteArray &chunk);
    // The text of a sequence left incomplete at the end of the stream.
    QStringList finish();

    // Control characters as caret notation (C0, DEL) or U+FFFD (C1); tab stays.
    static QString visible(QStringView text);
    // A whole text (a remote command's output) as log lines, each bounded and visible.
    static QStringList logLines(const QString &text);

private:
    QStringList split(QStringView text);

    QStringDecoder m_decoder{QStringDecoder::Utf8};
    // Inside an over-long line that was already cut: drop until a line break.
    bool m_skipping = false;
    // Characters of the unfinished line that earlier chunks ended with.
    qsizetype m_pendingLength = 0;
};
