// The bounded live log of a run and the progress figure read from it.
#include "core/engine/RunLog.h"

void RunLog::clear()
{
    m_lines.clear();
    m_serial = 0;
}

void RunLog::append(const QString &line)
{
    m_lines.append(line);
    ++m_serial;
    trim();
}

std::optional<double> RunLog::appendOutput(const QStringList &lines, bool fromStandardError)
{
    m_serial += lines.size();
    if (fromStandardError) {
        for (const QString &line : lines)
            m_lines.append(QStringLiteral("! ") + line);
        trim();
        return std::nullopt;
    }
    // Lines that the bound would drop at once are not stored at all.
    m_lines.append(lines.size() > maxLines ? lines.mid(lines.size() - maxLines) : lines);
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
