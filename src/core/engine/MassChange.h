// SPDX-License-Identifier: GPL-3.0-or-later
// How much of a server's files changed since the previous day, and the hold
// that keeps old days when most of them did.
#pragma once

#include "core/model/ChangeHold.h"
#include "core/model/Error.h"

#include <QString>

#include <tl/expected.hpp>

#include <optional>

class ConfigStore;

namespace MassChange {

// Lies in the server's folder while a change is held: retention reads it
// there, beside the days it would delete, whatever the configuration says.
inline const QString heldMarker = QStringLiteral(".tidewell-held");

struct Count
{
    qint64 before = 0;  // regular files in the earlier copy
    qint64 changed = 0; // of them: changed or gone in the new one
    Count &operator+=(const Count &other);
};

// Compares one path's folder in the previous complete day with the new
// day's. A file is unchanged when the new day holds the same file (a hard
// link to it) or a regular file of the same size and modification time (a
// history without links). Links are never followed; nothing is read but
// the folders' entries and the files' status.
Count measure(const QString &previousFolder, const QString &newFolder);

// The change held in the server's folder, if any (an unreadable marker
// still holds: the days are kept until the user confirms).
std::optional<ChangeHold> held(const QString &serverFolder);
tl::expected<void, Error> hold(const QString &serverFolder, const ChangeHold &change);
// The user confirmed the change: retention prunes again from the next run.
// Returns whether there was one.
tl::expected<bool, Error> release(const QString &serverFolder);
// release() in the server's folder of the destination, and the server's
// record in the configuration cleared.
tl::expected<bool, Error> accept(ConfigStore &store, const QUuid &serverID);

} // namespace MassChange
