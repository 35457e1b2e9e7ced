// SPDX-License-Identifier: GPL-3.0-or-later
// A command's coroutine run to its end on the application's event loop.
#pragma once

#include "core/model/ExitCode.h"

#include <QCoreApplication>

#include <qcoro/qcorotask.h>

namespace TaskLoop {

// Runs the event loop until `task` has ended and returns its result (the
// exit status of a command); a task that ended at once needs no loop.
inline int run(QCoro::Task<int> task)
{
    int status = 0;
    bool finished = false;
    QCoro::connect(std::move(task), QCoreApplication::instance(), [&status, &finished](int result) {
        status = result;
        finished = true;
        QCoreApplication::exit(ExitCode::success);
    });
    if (!finished)
        QCoreApplication::exec();
    return status;
}

} // namespace TaskLoop
