// SPDX-License-Identifier: GPL-3.0-or-later
// The server's commands that write and remove a path's database dump.
#pragma once

#include "core/model/BackupPath.h"

#include <QString>

// Built from the path's settings, every part quoted for the server's shell
// (Shell::quote): nothing the user typed becomes a command of its own. The
// dump is written under the name "<file>.tidewell-partial" (with umask 077)
// and renamed when the dumping program succeeded, so no half-written dump
// is ever copied; a partial one a killed dump left is removed first.
namespace DumpCommands {

// Empty for a path that is no dump (or one DatabaseDump::problem() refuses).
QString dump(const BackupPath &path);
// Removes the dump (and a partial one) after the transfer.
QString removal(const BackupPath &path);
// The dump's path on the server, as the log names it.
QString target(const BackupPath &path);

} // namespace DumpCommands
