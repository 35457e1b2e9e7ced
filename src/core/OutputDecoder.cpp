#include "OutputDecoder.h"

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
    qsizetype start = 0;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i <= size; ++i) {
        if (i == size || text.at(i) == u'\n' || text.at(i) == u'\r') {
            if (i > start)
                lines.append(text.mid(start, i - start));
            start = i + 1;
        }
    }
    return lines;
}
