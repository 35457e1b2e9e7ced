// SPDX-License-Identifier: GPL-3.0-or-later
// Why a fallible operation did not do what it was asked.
#pragma once

#include <QString>
#include <QStringList>

#include <tl/expected.hpp>

#include <utility>

// What every fallible operation of core returns beside its value: a code where
// callers branch, and the message the user or the log is shown (complete, in
// the words of the layer that failed).
struct Error
{
    enum class Code {
        failed,            // no finer reason that a caller acts on
        notFound,          // what was asked for is not there: a file, a server
        exists,            // something else is already where it was to go
        denied,            // the system refused: permissions, an immutable file
        busy,              // another process holds it (a lock)
        invalid,           // input that is not allowed: a host, a user name, a time
        ambiguous,         // a name that more than one server answers to
        unreadable,        // it is there but cannot be read (or is no regular file)
        tooLarge,          // it is larger than the reader takes
        damaged,           // it was read but does not hold what it should
        notAConfiguration, // not JSON, or not Tidewell's configuration
        locked,            // another process held the file's lock too long
        notKept,           // a damaged file could not be kept aside, so it was not replaced
        notWritten,        // the new file could not be written; the old one stays
        notStarted,        // a program could not be started
        toolFailed,        // a program (systemctl, launchctl, ssh-keygen) ran and refused
        managerFailed,     // the systemd user manager refused over D-Bus
        noExecutable,      // the executable to schedule could not be found
        schedulesFailed,   // an import worked, but some schedules were not installed
        timedOut,          // it did not finish in the time it was given
        unreachable,       // the server did not answer
        unsupported,       // the file system or the program cannot do it
    };

    Error() = default;
    Error(Code why, QString text, QStringList more = QStringList())
        : code(why)
        , message(std::move(text))
        , details(std::move(more))
    { }

    Code code = Code::failed;
    QString message;
    // More lines when one error stands for several (one per failed schedule).
    QStringList details;

    static Error failed(const QString &message) { return {Code::failed, message}; }
    // The error of a failed system call, named from errno (ENOENT is notFound,
    // EACCES and EPERM denied, EEXIST exists, EBUSY busy).
    static Error fromErrno(int number, const QString &message);

    friend bool operator==(const Error &, const Error &) = default;
};
