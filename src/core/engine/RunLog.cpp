// SPDX-License-Identifier: GPL-3.0-or-later
// The bounded live log of a run and the progress figure read from it.
#include "core/engine/RunLog.h"

void RunLog::clear()
{
    m_lines.clear();
    m_serial = 0;
    m_lastIsProgress = false;
}

void RunLog::append(const QString &line)
{
    m_lines.append(line);
    ++m_serial;
    m_lastIsProgress = false;
    trim();
}

std::optional<double> RunLog::appendOutput(const QStringList &lines, bool fromStandardError)
{
    if (fromStandardError) {
        m_serial += lines.size();
        for (const QString &line : lines)
            m_lines.append(QStringLiteral("! ") + line);
        m_lastIsProgress = m_lastIsProgress && lines.isEmpty();
        trim();
        return std::nullopt;
    }
    for (const QString &line : lines) {
        const bool progress = isProgressLine(line);
        if (progress && m_lastIsProgress && !m_lines.isEmpty()) {
            m_lines.last() = line;
            ++m_revision;
        } else {
            m_lines.append(line);
            ++m_serial;
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

void RunLog::trim()
{
    if (m_lines.size() > maxLines)
        m_lines.remove(0, m_lines.size() - maxLines);
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
