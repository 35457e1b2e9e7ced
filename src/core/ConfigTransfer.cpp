// SPDX-License-Identifier: GPL-3.0-or-later
// Export and import of the whole configuration, with the schedules re-synced.
#include "core/ConfigTransfer.h"

#include "core/schedule/Scheduler.h"
#include "core/storage/ConfigStore.h"
#include "core/system/DiagnosticLog.h"
#include "core/system/FileUtil.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLocale>

namespace ConfigTransfer {

QString PendingImport::confirmationTitle() const
{
    return QCoreApplication::translate("ConfigTransfer", "Import configuration?");
}

QString PendingImport::confirmationText() const
{
    return QCoreApplication::translate("ConfigTransfer",
                                       "“%1” contains %n server(s). This will replace your current configuration. "
                                       "Scheduled backups will be re-synced to match.",
                                       nullptr, int(settings.servers.size()))
        .arg(fileName);
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
        return tl::unexpected(TransferError{TransferError::Code::notWritten, written.error(), {}});
    return QCoreApplication::translate("ConfigTransfer", "Exported to %1").arg(QFileInfo(path).fileName());
}

tl::expected<PendingImport, TransferError> readImport(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return tl::unexpected(
            TransferError{TransferError::Code::unreadable,
                          QCoreApplication::translate("ConfigTransfer", "Import failed: %1").arg(file.errorString()),
                          {}});
    const auto settings = AppSettings::decode(file.readAll());
    if (!settings) {
        return tl::unexpected(TransferError{
            TransferError::Code::notAConfiguration,
            QCoreApplication::translate("ConfigTransfer", "Import failed: %1").arg(settings.error().message),
            {}});
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

QCoro::Task<Outcome> applyImport(ConfigStore *store, Scheduler scheduler, PendingImport pending,
                                 std::function<void(int, int)> progress)
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
    int total = 0;
    for (const Server &server : std::as_const(pending.settings.servers))
        total += server.scheduleEnabled ? 1 : 0;
    QStringList details;
    QHash<QString, int> reasons;
    // The same refusal of the scheduler three times running (no user
    // manager, a broken systemctl) is not asked again for every server.
    QString lastReason;
    int sameInARow = 0;
    int handled = 0;
    for (const Server &server : std::as_const(pending.settings.servers)) {
        if (!server.scheduleEnabled)
            continue;
        QString reason;
        if (sameInARow >= 3) {
            reason = lastReason;
        } else {
            const auto installed = co_await scheduler.install(server);
            if (!installed) {
                // Grouped without the server's own unit name in it.
                reason = installed.error().description();
                reason.replace(server.id.toString(QUuid::WithoutBraces), QStringLiteral("…"), Qt::CaseInsensitive);
                const bool systemic = installed.error().kind != SchedulerError::Kind::invalidTime
                                      && installed.error().kind != SchedulerError::Kind::fileSystem;
                sameInARow = systemic && reason == lastReason ? sameInARow + 1 : (systemic ? 1 : 0);
                lastReason = reason;
            } else {
                sameInARow = 0;
            }
        }
        if (!reason.isEmpty()) {
            details << server.name + QStringLiteral(": ") + reason;
            ++reasons[reason];
        }
        ++handled;
        if (progress)
            progress(handled, total);
    }
    QString imported = QCoreApplication::translate("ConfigTransfer", "Imported %n server(s) from %1", nullptr,
                                                   int(pending.settings.servers.size()))
                           .arg(pending.fileName);
    if (pending.reassignedIds > 0) {
        imported = QCoreApplication::translate(
                       "ConfigTransfer", "%1 (%n server(s) repeated another server's id and were given a new one)",
                       nullptr, pending.reassignedIds)
                       .arg(imported);
    }
    if (!details.isEmpty()) {
        // One line: how many, and the reason most of them share.
        QString common;
        int most = 0;
        for (auto it = reasons.cbegin(); it != reasons.cend(); ++it) {
            if (it.value() > most || (it.value() == most && it.key() < common)) {
                most = it.value();
                common = it.key();
            }
        }
        QString line = QCoreApplication::translate("ConfigTransfer", "%1, but %n schedule(s) not installed: %2",
                                                   nullptr, int(details.size()))
                           .arg(imported, common);
        if (most < details.size())
            line = QCoreApplication::translate("ConfigTransfer", "%1 (%n for other reasons)", nullptr,
                                               int(details.size() - most))
                       .arg(line);
        const TransferError error{TransferError::Code::schedulesFailed, line, details};
        co_return tl::unexpected(error);
    }
    co_return imported;
}

} // namespace ConfigTransfer
