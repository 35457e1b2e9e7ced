// SPDX-License-Identifier: GPL-3.0-or-later
// One window per user session, claimed on the session bus.
#pragma once

#include <QDBusConnection>
#include <QObject>

// The windowed application owns the name org.tidewell.Tidewell on the session
// bus. A second windowed start finds it taken, asks the owner to show its main
// window (ShowMainWindow on /org/tidewell/Tidewell) and ends. Headless runs
// never claim the name; without a session bus every start has its own window.
class SingleInstance : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.tidewell.Tidewell")

public:
    static const QString serviceName;
    static const QString objectPath;
    // How long a start waits for the window that is open to show itself.
    static constexpr int handOverTimeoutMs = 2000;

    enum class Claim {
        first,      // this process owns the name
        handedOver, // another process owns it and was asked to show its window
        alone,      // no session bus, or an owner that did not show a window
    };

    explicit SingleInstance(QObject *parent = nullptr);
    ~SingleInstance() override;

    Claim claim(QDBusConnection bus = QDBusConnection::sessionBus());
    // Why the claim came out "alone", for one line on standard error.
    QString problem() const { return m_problem; }

public Q_SLOTS:
    // True once the window is shown: a start that gets no true opens its own.
    Q_SCRIPTABLE bool ShowMainWindow();

Q_SIGNALS:
    // Another start asked for the main window.
    void showRequested();

private:
    QString m_connection;
    QString m_problem;
};
