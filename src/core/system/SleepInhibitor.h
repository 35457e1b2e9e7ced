// SPDX-License-Identifier: GPL-3.0-or-later
// Keeping the computer from sleeping while a backup runs.
#pragma once

#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>
#include <QString>

#include <qcoro/qcorotask.h>

// A logind "sleep" inhibitor: taken for a run, let go with the object (logind
// sees its descriptor close, also when the process dies). Without logind the
// object holds nothing and the run goes on all the same.
//
// It blocks: idle suspend and a suspend asked from the desktop's menu wait
// for the run. Closing a laptop's lid still suspends it (logind's
// LidSwitchIgnoreInhibited, on by default), so no laptop stays awake in a bag.
class SleepInhibitor
{
public:
    SleepInhibitor() = default;

    // Asks logind on `systemBus` for a blocking sleep inhibitor, as "Tidewell"
    // with `why` ("Backing up <server>"), waiting at most a few seconds.
    static QCoro::Task<SleepInhibitor> take(QDBusConnection systemBus, QString why);

    bool isHeld() const { return m_descriptor.isValid(); }
    // Lets go before the object ends.
    void release() { m_descriptor = QDBusUnixFileDescriptor(); }

private:
    QDBusUnixFileDescriptor m_descriptor;
};
