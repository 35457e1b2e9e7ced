// SPDX-License-Identifier: GPL-3.0-or-later
// The bounded live log of a run and the progress figure read from it.
#include "core/engine/RunLog.h"

void RunLog::clear()
{
    m_lines.clear();
    m_own.clear();
    m_chars = 0;
    m_headEnd = -1;
    m_droppedLines = 0;
    m_droppedChars = 0;
    m_serial = 0;
    m_lastIsProgress = false;
}

void RunLog::add(const QString &line, bool own)
{
    m_lines.append(line);
    m_own.append(own);
    m_chars += line.size();
    ++m_serial;
}

void RunLog::append(const QString &line)
{
    add(line, true);
    m_lastIsProgress = false;
    trim();
}

std::optional<double> RunLog::appendOutput(const QStringList &lines, bool fromStandardError)
{
    if (fromStandardError) {
        for (const QString &line : lines)
            add(QStringLiteral("! ") + line, false);
        m_lastIsProgress = m_lastIsProgress && lines.isEmpty();
        trim();
        return std::nullopt;
    }
    for (const QString &line : lines) {
        const bool progress = isProgressLine(line);
        if (progress && m_lastIsProgress && !m_lines.isEmpty()) {
            m_chars += line.size() - m_lines.last().size();
            m_lines.last() = line;
            ++m_revision;
        } else {
            add(line, false);
        }
        m_lastIsProgress = progress;
    }
    trim();
    // Of one chunk only the last percentage stands, so it is the one looked for.
    for (qsizetype i = lines.size() - 1; i >= 0; --i) {
        if (const auto percent = leftmostPercent(lines.at(i)))
            return percent;
    }
    return std::nullopt;
}

QString RunLog::droppedLine(qint64 lines, qint64 characters)
{
    return QStringLiteral("… ") + QString::number(lines) + QStringLiteral(" line(s) of output (")
           + QString::number(double(characters) / 1048576.0, 'f', 1)
           + QStringLiteral(" MiB) were dropped here to keep this log small; the lines around them are as written.");
}

void RunLog::trim()
{
    if (m_lines.size() <= maxLines && m_chars <= maxChars)
        return;
    if (m_headEnd < 0) {
        qsizetype chars = 0;
        m_headEnd = 0;
        while (m_headEnd < m_lines.size() - 1 && m_headEnd < headLines
               && chars + m_lines.at(m_headEnd).size() <= headChars)
            chars += m_lines.at(m_headEnd++).size();
    }
    // Dropping in batches, to well under the bounds, keeps this rare.
    qsizetype excessLines = m_lines.size() - maxLines * 9 / 10;
    qsizetype excessChars = m_chars - maxChars * 9 / 10;
    const qsizetype marker = m_droppedLines > 0 ? m_headEnd : -1;
    const qsizetype last = m_lines.size() - 1; // the newest line always stays
    // Output goes first; Tidewell's own lines only when they alone are too many.
    qsizetype outputLines = 0;
    qsizetype outputChars = 0;
    for (qsizetype i = m_headEnd; i < last; ++i) {
        if (i != marker && !m_own.at(i)) {
            ++outputLines;
            outputChars += m_lines.at(i).size();
        }
    }
    const bool dropOwn = outputLines < excessLines || outputChars < excessChars;
    QStringList lines;
    QList<bool> own;
    lines.reserve(m_lines.size());
    own.reserve(m_lines.size());
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        if (i == marker)
            continue; // written again below
        const bool drop =
            i >= m_headEnd && i < last && (dropOwn || !m_own.at(i)) && (excessLines > 0 || excessChars > 0);
        if (drop) {
            --excessLines;
            excessChars -= m_lines.at(i).size();
            ++m_droppedLines;
            m_droppedChars += m_lines.at(i).size();
            m_chars -= m_lines.at(i).size();
            continue;
        }
        lines.append(m_lines.at(i));
        own.append(m_own.at(i));
    }
    if (marker >= 0)
        m_chars -= m_lines.at(marker).size();
    const QString note = droppedLine(m_droppedLines, m_droppedChars);
    lines.insert(m_headEnd, note);
    own.insert(m_headEnd, true);
    m_chars += note.size();
    m_lines = std::move(lines);
    m_own = std::move(own);
}

std::optional<double> RunLog::leftmostPercent(QStringView line)
{
    // The leftmost match of (\d{1,3})% belongs to the first "%" that follows
    // a digit: the one to three digits right before it.
    for (qsizetype at = line.indexOf(u'%'); at >= 0; at = line.indexOf(u'%', at + 1)) {
        qsizetype start = at;
        while (start > 0 && at - start < 3 && line.at(start - 1).isDigit())
            --start;
        if (start == at)
            continue;
        bool ok = false;
        const double value = line.mid(start, at - start).toDouble(&ok);
        return ok ? std::optional<double>(value) : std::nullopt;
    }
    return std::nullopt;
}

bool RunLog::isProgressLine(QStringView line)
{
    qsizetype i = 0;
    while (i < line.size() && line.at(i) == u' ')
        ++i;
    const qsizetype sizeStart = i;
    while (i < line.size() && (line.at(i).isDigit() || line.at(i) == u',' || line.at(i) == u'.'))
        ++i;
    if (i == sizeStart)
        return false;
    if (i < line.size() && QStringView(u"KMGTPkmgtp").contains(line.at(i)))
        ++i;
    if (i < line.size() && line.at(i) == u'B')
        ++i;
    const qsizetype gap = i;
    while (i < line.size() && line.at(i) == u' ')
        ++i;
    if (i == gap)
        return false;
    const qsizetype digits = i;
    while (i < line.size() && i - digits < 3 && line.at(i).isDigit())
        ++i;
    return i > digits && i < line.size() && line.at(i) == u'%';
}
