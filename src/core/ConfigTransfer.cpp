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

AppSettings sanitizedForExport(const AppSettings &settings, bool withReportAddresses)
{
    AppSettings copy = settings;
    if (!withReportAddresses) {
        // URLs may hold tokens: they leave only when asked for.
        copy.healthCheckURL.clear();
        copy.webhookURL.clear();
        copy.reportEmail.clear();
    }
    for (Server &server : copy.servers) {
        if (!withReportAddresses)
            server.healthCheckURL.clear();
        server.privateKeyPath.clear();
        server.lastRunAt.reset();
        server.lastExitCode.reset();
        server.lastSuccessAt.reset();
        server.scheduledSince.reset();
        server.lastRunSerial = 0;
    }
    return copy;
}

QString defaultExportName(const QDate &today)
{
    return QStringLiteral("tidewell-config-") + QLocale::c().toString(today, QStringLiteral("yyyy-MM-dd"))
           + QStringLiteral(".json");
}

Outcome exportTo(const QString &path, const AppSettings &settings, bool withReportAddresses)
{
    if (const auto written =
            FileUtil::writeAtomically(path, sanitizedForExport(settings, withReportAddresses).encode());
        !written)
        return tl::unexpected(TransferError{TransferError::Code::notWritten, written.error()});
    return QStringLiteral("Exported to ") + QFileInfo(path).fileName();
}

tl::expected<PendingImport, TransferError> readImport(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return tl::unexpected(
            TransferError{TransferError::Code::unreadable, QStringLiteral("Import failed: ") + file.errorString()});
    const auto settings = AppSettings::decode(file.readAll());
    if (!settings) {
        return tl::unexpected(TransferError{TransferError::Code::notAConfiguration,
                                            QStringLiteral("Import failed: ") + settings.error().message});
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
    return pending;
}

QCoro::Task<Outcome> applyImport(ConfigStore *store, Scheduler scheduler, PendingImport pending)
{
    // The store is used before the first wait only; the scheduler is this frame's own.
    const QList<Server> before = store->settings().servers;
    // A file exported without its report addresses keeps the ones set here.
    const AppSettings &current = store->settings();
    AppSettings &incoming = pending.settings;
    if (incoming.healthCheckURL.isEmpty() && incoming.webhookURL.isEmpty() && incoming.reportEmail.isEmpty()) {
        incoming.healthCheckURL = current.healthCheckURL;
        incoming.webhookURL = current.webhookURL;
        incoming.reportEmail = current.reportEmail;
        incoming.reportEmailEveryRun = current.reportEmailEveryRun;
    }
    for (Server &server : incoming.servers) {
        if (const Server *known = current.server(server.id); known && server.healthCheckURL.isEmpty())
            server.healthCheckURL = known->healthCheckURL;
    }
    store->setSettings(pending.settings);
    for (const Server &server : before) {
        if (server.scheduleEnabled)
            (void)co_await scheduler.uninstall(server.id); // failures are ignored
    }
    QStringList failures;
    for (const Server &server : std::as_const(pending.settings.servers)) {
        if (!server.scheduleEnabled)
            continue;
        if (const auto installed = co_await scheduler.install(server); !installed)
            failures << server.name + QStringLiteral(": ") + installed.error().description();
    }
    QString reassigned;
    if (pending.reassignedIds > 0) {
        reassigned = QStringLiteral(" (") + QString::number(pending.reassignedIds)
                     + QStringLiteral(" server(s) repeated another server's id and were given a new one)");
    }
    if (!failures.isEmpty()) {
        co_return tl::unexpected(TransferError{TransferError::Code::schedulesFailed,
                                               QStringLiteral("Imported, but schedule install failed: ")
                                                   + failures.join(QStringLiteral("; ")) + reassigned});
    }
    co_return QStringLiteral("Imported ") + QString::number(pending.settings.servers.size())
        + QStringLiteral(" server(s) from ") + pending.fileName + reassigned;
}

} // namespace ConfigTransfer
