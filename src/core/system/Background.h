// SPDX-License-Identifier: GPL-3.0-or-later
// Work that reads many files, done on a thread of its own and awaited.
#pragma once

#include <QFuture>
#include <QObject>
#include <QPromise>
#include <QThread>

#include <memory>
#include <type_traits>

// Runs `work` on a new thread; co_await the future (qcorofuture.h) to have
// its result on the calling thread without blocking it. The work must not
// touch objects of other threads; it reports progress through queued
// signals or atomics of its own.
namespace Background {

template<typename Work>
QFuture<std::invoke_result_t<Work>> run(Work work)
{
    using Result = std::invoke_result_t<Work>;
    auto promise = std::make_shared<QPromise<Result>>();
    QFuture<Result> future = promise->future();
    promise->start();
    QThread *thread = QThread::create([promise, work = std::move(work)]() mutable {
        promise->addResult(work());
        promise->finish();
    });
    QObject::connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    thread->start();
    return future;
}

} // namespace Background
