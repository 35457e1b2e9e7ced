// SPDX-License-Identifier: GPL-3.0-or-later
// Cutting a child's output into lines.
#include "core/engine/LineSplitter.h"

#include "core/engine/OutputDecoder.h"

namespace {

constexpr qsizetype maxPending = 64 * 1024;

} // namespace

QStringList LineSplitter::feed(const QByteArray &chunk)
{
    m_pending += chunk;
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype end; (end = m_pending.indexOf('\n', start)) >= 0; start = end + 1)
        lines << line(m_pending.mid(start, end - start));
    m_pending.remove(0, start);
    if (m_pending.size() > maxPending) {
        lines << line(m_pending);
        m_pending.clear();
    }
    return lines;
}

QStringList LineSplitter::finish()
{
    QStringList lines;
    if (!m_pending.isEmpty())
        lines << line(m_pending);
    m_pending.clear();
    return lines;
}

QString LineSplitter::line(const QByteArray &bytes)
{
    QString text = QString::fromUtf8(bytes);
    if (text.endsWith(u'\r'))
        text.chop(1);
    if (text.size() > OutputDecoder::maxLineLength)
        text = text.left(OutputDecoder::maxLineLength) + QStringLiteral("…");
    return OutputDecoder::visible(text);
}
