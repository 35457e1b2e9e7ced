// The choice between a headless run and the window, made from the command line.
#pragma once

#include <QStringList>
#include <QUuid>

#include <optional>

namespace EntryPoint {

// The server id of a headless run: the element right after the first
// "--run-backup", when it is a canonical UUID. Anything else means the window.
std::optional<QUuid> headlessServerID(const QStringList &arguments);

} // namespace EntryPoint
