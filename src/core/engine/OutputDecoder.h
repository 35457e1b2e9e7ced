// Turns chunks of a child's output into log lines.
#pragma once

#include <QByteArray>
#include <QStringDecoder>
#include <QStringList>

// Turns chunks of a child's output into log lines. Each chunk is cut at every
// CR and LF and empty pieces are dropped; a line that arrives in two chunks
// becomes two lines. Only an incomplete UTF-8 sequence at the end of a chunk
// is carried over to the next one; invalid bytes become U+FFFD.
class OutputDecoder
{
public:
    QStringList feed(const QByteArray &chunk);
    // The text of a sequence left incomplete at the end of the stream.
    QStringList finish();

    static QStringList splitLines(const QString &text);

private:
    QStringDecoder m_decoder{QStringDecoder::Utf8};
};
