// The bounded live log of a run.
#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

// The live log of a run: lines oldest first, never more than maxLines (the
// oldest go first), with rsync's standard error marked "! ".
class RunLog
{
public:
    static constexpr qsizetype maxLines = 4000;

    const QStringList &lines() const { return m_lines; }
    // Lines appended since the last clear(), dropped ones included: a view
    // that showed N lines appends the last (serial - N).
    qint64 serial() const { return m_serial; }

    void clear();
    void append(const QString &line);
    // Lines of rsync's output. Returns the percentage of the last standard
    // output line that shows one (standard error is never searched).
    std::optional<double> appendOutput(const QStringList &lines, bool fromStandardError);

    // The percentage rsync shows in a line: leftmost one to three digits before "%".
    static std::optional<double> leftmostPercent(QStringView line);

private:
    void trim();

    QStringList m_lines;
    qint64 m_serial = 0;
};
