// Decoding and splitting a child's output into log lines.
#include "core/engine/OutputDecoder.h"

QStringList OutputDecoder::feed(const QByteArray &chunk)
{
    if (chunk.isEmpty())
        return {};
    return splitLines(m_decoder.decode(chunk));
}

QStringList OutputDecoder::finish()
{
    // Feeding nothing more flushes a pending partial sequence as U+FFFD.
    QString rest = m_decoder.decode(QByteArrayView());
    m_decoder.resetState();
    return splitLines(rest);
}

QStringList OutputDecoder::splitLines(const QString &text)
{
    QStringList lines;
    const QStringView view(text);
    const qsizetype size = view.size();
    // Two vectorised searches instead of a loop over every character.
    qsizetype nextLF = view.indexOf(u'\n');
    qsizetype nextCR = view.indexOf(u'\r');
    qsizetype start = 0;
    while (start < size) {
        if (nextLF >= 0 && nextLF < start)
            nextLF = view.indexOf(u'\n', start);
        if (nextCR >= 0 && nextCR < start)
            nextCR = view.indexOf(u'\r', start);
        qsizetype end = size;
        if (nextLF >= 0)
            end = nextLF;
        if (nextCR >= 0 && nextCR < end)
            end = nextCR;
        if (end > start)
            lines.append(view.mid(start, end - start).toString());
        start = end + 1;
    }
    return lines;
}
