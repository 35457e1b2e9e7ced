// SPDX-License-Identifier: GPL-3.0-or-later
// Decoding and splitting a child's output into bounded, printable log lines.
#include "core/engine/OutputDecoder.h"

QStringList OutputDecoder::feed(const QByteArray &chunk)
{
    if (chunk.isEmpty())
        return {};
    const QString text = m_decoder.decode(chunk);
    return split(text);
}

QStringList OutputDecoder::finish()
{
    // Feeding nothing more flushes a pending partial sequence as U+FFFD.
    const QString rest = m_decoder.decode(QByteArrayView());
    m_decoder.resetState();
    QStringList lines = split(rest);
    m_skipping = false;
    m_pendingLength = 0;
    return lines;
}

QStringList OutputDecoder::logLines(const QString &text)
{
    OutputDecoder decoder;
    return decoder.split(text);
}

QString OutputDecoder::visible(QStringView text)
{
    const auto isControl = [](char16_t c) { return (c < 0x20 && c != u'\t') || (c >= 0x7f && c <= 0x9f); };
    qsizetype first = 0;
    while (first < text.size() && !isControl(text.at(first).unicode()))
        ++first;
    if (first == text.size())
        return text.toString();
    QString shown = text.left(first).toString();
    for (qsizetype i = first; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (!isControl(c))
            shown += QChar(c);
        else if (c < 0x20)
            shown += u'^' + QChar(char16_t(c + 0x40));
        else if (c == 0x7f)
            shown += QStringLiteral("^?");
        else
            shown += QChar(0xfffd);
    }
    return shown;
}

QStringList OutputDecoder::split(QStringView text)
{
    QStringList lines;
    const qsizetype size = text.size();
    // Two vectorised searches instead of a loop over every character.
    qsizetype nextLF = text.indexOf(u'\n');
    qsizetype nextCR = text.indexOf(u'\r');
    qsizetype start = 0;
    while (start < size) {
        if (nextLF >= 0 && nextLF < start)
            nextLF = text.indexOf(u'\n', start);
        if (nextCR >= 0 && nextCR < start)
            nextCR = text.indexOf(u'\r', start);
        qsizetype end = size;
        if (nextLF >= 0)
            end = nextLF;
        if (nextCR >= 0 && nextCR < end)
            end = nextCR;
        const bool terminated = end < size;
        const qsizetype before = start == 0 ? m_pendingLength : 0;
        if (m_skipping) {
            m_skipping = !terminated;
        } else if (before + end - start > maxLineLength || (!terminated && before + end - start == maxLineLength)) {
            // A piece that fills the line without its end is cut here, not
            // after the next read (which would mark nothing but "…").
            lines.append(visible(text.mid(start, maxLineLength - before)) + QStringLiteral("…"));
            m_skipping = !terminated;
        } else if (end > start) {
            lines.append(visible(text.mid(start, end - start)));
        }
        m_pendingLength = terminated ? 0 : before + end - start;
        start = end + 1;
    }
    return lines;
}
