// SPDX-License-Identifier: GPL-3.0-or-later
// Termination signals delivered as Qt signals on the event loop.
#pragma once

#include <QList>
#include <QObject>

#include <memory>

class QSocketNotifier;

// While it lives, the given signals no longer end the process: the handler
// only writes the signal's number to a pipe (all a signal handler may safely
// do), and the event loop reads it and emits received(). The previous
// handlers come back when it goes away. One at a time per process.
class SignalWatcher : public QObject
{
    Q_OBJECT

public:
    explicit SignalWatcher(const QList<int> &signalNumbers, QObject *parent = nullptr);
    ~SignalWatcher() override;

    // "SIGTERM", "SIGINT", …
    static QString name(int signalNumber);

Q_SIGNALS:
    void received(int signalNumber);

private:
    QList<int> m_signals;
    std::unique_ptr<QSocketNotifier> m_notifier;
};
