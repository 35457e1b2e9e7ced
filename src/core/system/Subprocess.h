// SPDX-License-Identifier: GPL-3.0-or-later
// Short external programs run with an explicit argument list, never a shell.
#pragma once

#include "core/model/Error.h"

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <qcoro/qcorotask.h>

#include <tl/expected.hpp>

#include <sys/types.h>

// Runs short external programs with an explicit argument list, never through
// a shell. Output is read by the event loop while the child runs, so a child
// that writes more than a pipe holds never blocks.
namespace Subprocess {

// What a child that ran wrote, and how it ended.
struct Output
{
    int status = -1; // exit status (the signal number when killed)
    QByteArray out;
    QByteArray err;
};

// A child that could not be started (code notStarted): the system's description.
using StartError = Error;

using Result = tl::expected<Output, StartError>;

// Waits without a time limit. `input` is written to the child's standard
// input, which is then closed; without input the child reads /dev/null.
QCoro::Task<Result> run(QString program, QStringList arguments, QByteArray input = QByteArray());
// The same, blocking the caller; for the one short local probe that needs it.
Result runBlocking(const QString &program, const QStringList &arguments, const QByteArray &input = {});

// Starts `process` (already given program and arguments); false with the
// reason in process->errorString() when it could not be started.
bool start(QProcess *process, const QByteArray &input = {});
// Resumes once the started process has ended and all it wrote is buffered.
QCoro::Task<> waitForExit(QProcess *process);

int exitStatus(const QProcess &process);
// For a child process modifier (runs in the child, between fork and exec):
// the child gets SIGTERM when this process dies, however it dies, so a
// killed Tidewell leaves no transfer or ssh running. `parent` is getpid()
// of this process, taken before the fork.
void dieWithParent(pid_t parent);
// Whether a process of the group still runs (one that has ended but is not
// reaped yet does not count).
bool groupRuns(qint64 group);
// `environment` with numbers written as the C locale writes them
// (LC_NUMERIC=C): rsync's statistics ("1,501 files", "200.01K") then read
// the same in every language. A LC_ALL is spread over the other categories,
// so names and messages stay as the user's locale has them.
QProcessEnvironment numbersInC(QProcessEnvironment environment = QProcessEnvironment::systemEnvironment());
// Decodes strictly: invalid UTF-8 gives an empty text.
QString strictUtf8(const QByteArray &bytes);
// The bytes without a UTF-8 sequence cut off at their end (after a bounded read).
QByteArray utf8Prefix(const QByteArray &bytes);

} // namespace Subprocess
