// SPDX-License-Identifier: GPL-3.0-or-later
// A self-pipe that turns SIGTERM, SIGINT and SIGHUP into events.
#include "core/system/SignalWatcher.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

int pipeFds[2] = {-1, -1};

extern "C" void onSignal(int number)
{
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(number);
    [[maybe_unused]] const ssize_t written = ::write(pipeFds[1], &byte, 1);
    errno = saved;
}

} // namespace

SignalWatcher::SignalWatcher(const QList<int> &signalNumbers, QObject *parent)
    : QObject(parent)
    , m_signals(signalNumbers)
{
    if (::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    m_notifier = std::make_unique<QSocketNotifier>(pipeFds[0], QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, [this] {
        unsigned char byte;
        while (::read(pipeFds[0], &byte, 1) == 1)
            Q_EMIT received(byte);
    });
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int number : m_signals)
        ::sigaction(number, &action, nullptr);
}

SignalWatcher::~SignalWatcher()
{
    for (const int number : m_signals)
        std::signal(number, SIG_DFL);
    m_notifier.reset();
    for (int &fd : pipeFds) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

QString SignalWatcher::name(int signalNumber)
{
    switch (signalNumber) {
    case SIGTERM:
        return QStringLiteral("SIGTERM");
    case SIGINT:
        return QStringLiteral("SIGINT");
    case SIGHUP:
        return QStringLiteral("SIGHUP");
    case SIGUSR1:
        return QStringLiteral("SIGUSR1");
    default:
        return QStringLiteral("signal ") + QString::number(signalNumber);
    }
}
