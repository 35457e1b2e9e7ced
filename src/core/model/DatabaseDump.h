// SPDX-License-Identifier: GPL-3.0-or-later
// A path that is a database dumped on the server before it is copied.
#pragma once

#include "core/model/BackupPath.h"
#include "core/model/Phrase.h"

#include <QString>

#include <optional>

// PostgreSQL (pg_dump --format=custom), MySQL/MariaDB (mysqldump
// --single-transaction) and SQLite (VACUUM INTO) dumps: written into the path's
// folder under a temporary name, renamed when complete, copied with the
// folder and removed after the transfer.
namespace DatabaseDump {

enum class Kind { postgresql, mysql, sqlite };

// The path's kind of dump; none for a plain path or one this version does not know.
std::optional<Kind> kindOf(const BackupPath &path);
QString kindName(Kind kind);
// The dump's file in the path's folder ("shop.pgdump", "app.sqlite"):
// named after the database, with only letters, digits and "._-".
QString fileName(const BackupPath &path);
// Why the path cannot be dumped as configured; empty when it can (or is no dump).
Phrase problem(const BackupPath &path);

} // namespace DatabaseDump
