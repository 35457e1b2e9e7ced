// SPDX-License-Identifier: GPL-3.0-or-later
// The choice between a headless run and the window, made from the command line.
#pragma once

#include <QString>
#include <QStringList>
#include <QUuid>

#include <optional>

namespace EntryPoint {

// The server id of a headless run: the element right after the first
// "--run-backup", when it is a canonical UUID. Anything else means the window.
std::optional<QUuid> headlessServerID(const QStringList &arguments);

// What the rest of the command line asks for. A malformed "--run-backup"
// is not an error: the window starts, and nothing is said.
struct Options
{
    bool help = false;
    bool version = false;
    bool status = false;
    bool json = false;
    QStringList unknownOptions; // as typed, e.g. "--frobnicate"
};
Options parse(const QStringList &arguments);

QString helpText();
QString versionText();
// The one line printed for options Tidewell does not know; empty for none.
QString unknownOptionsWarning(const QStringList &unknownOptions);

} // namespace EntryPoint
