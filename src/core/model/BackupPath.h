// SPDX-License-Identifier: GPL-3.0-or-later
// One remote file or folder of a server.
#pragma once

#include "core/model/DecodeError.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <QUuid>

#include <tl/expected.hpp>

// One remote file or folder of a server, copied by each run while enabled.
struct BackupPath
{
    QUuid id = QUuid::createUuid();
    QString name;
    QString remotePath;
    bool isDirectory = true;
    bool enabled = true;
    QString preBackupCommand;
    // Run on the server after the path's transfer, whether it succeeded or
    // not, with TIDEWELL_STATUS (rsync's exit) set; empty: none.
    QString postBackupCommand;
    // rsync exclude patterns, as typed: one exclude rule each, in this order.
    QStringList excludes;
    // A database dumped into remotePath (a folder on the server) before the
    // transfer and removed from it after: "postgresql", "mysql" or "sqlite";
    // empty: the path is copied as it is. dumpDatabase names the database
    // (for SQLite, its file on the server); dumpAccount is the database
    // account the dump logs in as (empty: the SSH user's own).
    QString dumpKind;
    QString dumpDatabase;
    QString dumpAccount;
    bool isDump() const { return !dumpKind.isEmpty(); }

    // The name as logs have it: "(untitled)" when there is none.
    QString logName() const;
    // The same in the user's language, for the window.
    QString shownName() const;

    QJsonObject toJson() const;
    // Missing or null members keep their defaults; a wrong type sets *error.
    // With `warnings`, a wrong-typed member that identifies nothing is left
    // at its default and named there (see JsonReader).
    static tl::expected<BackupPath, DecodeError> fromJson(const QJsonObject &object, const QString &context,
                                                          QStringList *warnings = nullptr);

    friend bool operator==(const BackupPath &, const BackupPath &) = default;
};

size_t qHash(const BackupPath &path, size_t seed = 0);
