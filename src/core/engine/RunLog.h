// SPDX-License-Identifier: GPL-3.0-or-later
// The bounded live log of a run.
#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

// Lines oldest first, with rsync's standard error marked "! ". rsync writes a
// progress update per file; an update replaces the line before it when that
// line is an update too, so a long transfer keeps one progress line per
// stretch.
//
// The log is bounded whatever the server prints: never more than maxLines
// lines or maxChars characters (a few MiB in memory and in the log file).
// When it would grow past either, output from the middle goes: the opening
// lines (the header, the first command line and the first errors), every
// line Tidewell wrote itself ("$ " lines, exits, retries, "!! " lines) and
// the newest output stay, and one line says how much was dropped.
class RunLog
{
public:
    static constexpr qsizetype maxLines = 4000;
    static constexpr qsizetype maxChars = 2500000;
    // What the opening stretch that is never dropped may hold.
    static constexpr qsizetype headLines = 300;
    static constexpr qsizetype headChars = 256 * 1024;

    const QStringList &lines() const { return m_lines; }
    // Lines appended since the last clear(), dropped ones included: a view
    // that showed N lines appends the last (serial - N).
    qint64 serial() const { return m_serial; }
    // Changes each time the last line is replaced in place.
    qint64 revision() const { return m_revision; }
    // Output lines dropped from the middle so far (see above).
    qint64 droppedLines() const { return m_droppedLines; }

    void clear();
    void append(const QString &line);
    // Lines of rsync's output. Returns the percentage of the last standard
    // output line that shows one (standard error is never searched).
    std::optional<double> appendOutput(const QStringList &lines, bool fromStandardError);

    // The percentage rsync shows in a line: leftmost one to three digits before "%".
    static std::optional<double> leftmostPercent(QStringView line);
    // rsync's progress display: a size, then a percentage ("  1.23G  45%  10.5MB/s …").
    static bool isProgressLine(QStringView line);

    // The line that stands for what was dropped.
    static QString droppedLine(qint64 lines, qint64 characters);

private:
    void add(const QString &line, bool own);
    // Drops output from the middle until the log is well under its bounds.
    void trim();

    QStringList m_lines;
    // Per line: Tidewell's own, never dropped.
    QList<bool> m_own;
    qsizetype m_chars = 0;
    // Lines [0, m_headEnd) are the opening stretch; the dropped-lines line,
    // once there is one, follows them.
    qsizetype m_headEnd = -1;
    qint64 m_droppedLines = 0;
    qint64 m_droppedChars = 0;
    qint64 m_serial = 0;
    qint64 m_revision = 0;
    bool m_lastIsProgress = false;
};
