// SPDX-License-Identifier: GPL-3.0-or-later
// The bounded live log of a run.
#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

// Lines oldest first, never more than maxLines (the oldest go first), with
// rsync's standard error marked "! ". rsync writes a progress update per
// file; an update replaces the line before it when that line is an update
// too, so a long transfer keeps one progress line per stretch and never
// pushes real lines (the header, the command line, errors) out of the log.
class RunLog
{
public:
    static constexpr qsizetype maxLines = 4000;

    const QStringList &lines() const { return m_lines; }
    // Lines appended since the last clear(), dropped ones included: a view
    // that showed N lines appends the last (serial - N).
    qint64 serial() const { return m_serial; }
    // Changes each time the last line is replaced in place.
    qint64 revision() const { return m_revision; }

    void clear();
    void append(const QString &line);
    // Lines of rsync's output. Returns the percentage of the last standard
    // output line that shows one (standard error is never searched).
    std::optional<double> appendOutput(const QStringList &lines, bool fromStandardError);

    // The percentage rsync shows in a line: leftmost one to three digits before "%".
    static std::optional<double> leftmostPercent(QStringView line);
    // rsync's progress display: a size, then a percentage ("  1.23G  45%  10.5MB/s …").
    static bool isProgressLine(QStringView line);

private:
    void trim();

    QStringList m_lines;
    qint64 m_serial = 0;
    qint64 m_revision = 0;
    bool m_lastIsProgress = false;
};
