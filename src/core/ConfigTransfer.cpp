// SPDX-License-Identifier: GPL-3.0-or-later
// Export and import of the whole configuration, with the schedules re-synced.
#include "core/ConfigTransfer.h"

#include "core/schedule/Scheduler.h"
#include "core/storage/ConfigStore.h"
#include "core/system/DiagnosticLog.h"
#include "core/system/FileUtil.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>

namespace ConfigTransfer {

QString PendingImport::confirmationText() const
{
    return QStringLiteral("“") + fileName + QStringLiteral("” contains ") + QString::number(settings.servers.size())
           + QStringLiteral(" server(s). This will replace your current configuration. Scheduled backups will be "
                            "re-synced to match.");
}

AppSettings sanitizedForExport(const AppSettings &settings)
{
    AppSettings copy = settings;
    for (Server &server : copy.servers) {
        server.privateKeyPath.clear();
        server.lastRunAt.reset();
        server.lastExitCode.reset();
        server.lastSuccessAt.reset();
        server.scheduledSince.reset();
    }
    return copy;
}

QString defaultExportName(const QDate &today)
{
    return QStringLiteral("tidewell-config-") + QLocale::c().toString(today, QStringLiteral("yyyy-MM-dd"))
           + QStringLiteral(".json");
}

IOStatus exportTo(const QString &path, const AppSettings &settings)
{
    IOStatus status;
    if (const auto written = FileUtil::writeAtomically(path, sanitizedForExport(settings).encode()); !written) {
        status.message = written.error();
        return status;
    }
    status.ok = true;
    status.message = QStringLiteral("Exported to ") + QFileInfo(path).fileName();
    return status;
}

ReadResult readImport(const QString &path)
{
    ReadResult result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.status.message = QStringLiteral("Import failed: ") + file.errorString();
        return result;
    }
    const auto settings = AppSettings::decode(file.readAll());
    if (!settings) {
        result.status.message = QStringLiteral("Import failed: ") + settings.error();
        return result;
    }
    PendingImport pending;
    pending.settings = *settings;
    pending.fileName = QFileInfo(path).fileName();
    pending.reassignedIds = pending.settings.reassignDuplicateIds();
    if (pending.reassignedIds > 0) {
        DiagnosticLog::write(
            QStringLiteral("Import: ") + QString::number(pending.reassignedIds)
            + QStringLiteral(" server(s) repeated an id that another server has; they were given new ids."));
    }
    result.pending = pending;
    return result;
}

IOStatus applyImport(ConfigStore *store, const Scheduler &scheduler, const PendingImport &pending)
{
    for (const Server &server : store->settings().servers) {
        if (server.scheduleEnabled)
            (void)scheduler.uninstall(server.id); // failures are ignored
    }
    store->setSettings(pending.settings);
    QStringList failures;
    for (const Server &server : pending.settings.servers) {
        if (!server.scheduleEnabled)
            continue;
        if (const auto installed = scheduler.install(server); !installed)
            failures << server.name + QStringLiteral(": ") + installed.error().description();
    }
    IOStatus status;
    status.ok = failures.isEmpty();
    status.message =
        status.ok ? QStringLiteral("Imported ") + QString::number(pending.settings.servers.size())
                        + QStringLiteral(" server(s) from ") + pending.fileName
                  : QStringLiteral("Imported, but schedule install failed: ") + failures.join(QStringLiteral("; "));
    if (pending.reassignedIds > 0) {
        status.message += QStringLiteral(" (") + QString::number(pending.reassignedIds)
                          + QStringLiteral(" server(s) repeated another server's id and were given a new one)");
    }
    return status;
}

} // namespace ConfigTransfer
