// SPDX-License-Identifier: GPL-3.0-or-later
// Export of the configuration to JSON and import back, with their status lines.
#pragma once

#include "core/model/AppSettings.h"

#include <QDate>
#include <QString>
#include <QUuid>

#include <optional>

class ConfigStore;
class Scheduler;

// Export of the whole configuration to a JSON file and import back, with the
// daily schedules brought in line with the imported servers.
namespace ConfigTransfer {

struct IOStatus
{
    QUuid id = QUuid::createUuid();
    bool ok = false;
    QString message;
};

struct PendingImport
{
    QUuid id = QUuid::createUuid();
    AppSettings settings;
    QString fileName;
    // Servers that repeated another's id in the file and were given new ones.
    int reassignedIds = 0;

    QString confirmationTitle() const { return QStringLiteral("Import configuration?"); }
    QString confirmationText() const;
};

// Key paths emptied, last-run fields removed; everything else unchanged.
AppSettings sanitizedForExport(const AppSettings &settings);
QString defaultExportName(const QDate &today = QDate::currentDate());

IOStatus exportTo(const QString &path, const AppSettings &settings);
// The decoded file waiting for confirmation, or the failure to report.
struct ReadResult
{
    std::optional<PendingImport> pending;
    IOStatus status;
};
ReadResult readImport(const QString &path);
// Removes the old schedules, replaces the settings, installs the new schedules.
IOStatus applyImport(ConfigStore *store, const Scheduler &scheduler, const PendingImport &pending);

} // namespace ConfigTransfer
