// SPDX-License-Identifier: GPL-3.0-or-later
// The file that tells a connected backup drive from the empty folder it is mounted on.
#pragma once

#include "core/model/AppSettings.h"
#include "core/model/Error.h"

#include <QString>
#include <QStringList>

#include <tl/expected.hpp>

// A drive that is not connected leaves an empty folder where it is mounted,
// on the disk that holds the system. With the marker required, a run writes
// only into a destination that holds ".tidewell-destination", which Tidewell
// puts there when the requirement is switched on.
namespace DestinationMarker {

inline const QString fileName = QStringLiteral(".tidewell-destination");

// Puts the marker at the destination (creating the destination folder when
// it lies on a drive of its own); fails when the drive is not connected.
tl::expected<void, Error> place(const QString &destinationPath);

struct Check
{
    QStringList lines;    // for the run log
    bool refused = false; // the run must not write
};
// Before a run that requires the marker. A destination without it that
// exists on a drive of its own (not the system's disk) is evidently that
// drive: it is marked, and the run goes on.
Check beforeRun(const AppSettings &settings);

// Before a copy into a second folder (a copy target): the folder must
// exist, and with `required` hold the marker (or be a drive of its own,
// which is then marked). Its first line says why when refused.
Check beforeCopy(const QString &folder, bool required);

// Tests only: the folder whose disk counts as the system's ("/" otherwise).
void setSystemFolderForTesting(const QString &folder);

} // namespace DestinationMarker
