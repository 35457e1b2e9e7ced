// SPDX-License-Identifier: GPL-3.0-or-later
// Export and import of the whole configuration, with the schedules re-synced.
#include "core/storage/ConfigTransfer.h"

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
        copy.ntfyURL.clear();
    }
    for (Server &server : copy.servers) {
        if (!withReportAddresses)
            server.healthCheckURL.clear();
        server.privateKeyPath.clear();
        server.lastRunAt.reset();
        server.lastExitCode.reset();
        server.lastSuccessAt.reset();
        server.heldChange.reset();
        server.lastVerifiedAt.reset();
        server.damagedFiles = 0;
        server.lastRemoteCheckAt.reset();
        server.remoteDifferences = 0;
        server.scheduledSince.reset();
        server.lastRunSerial = 0;
    }
    for (CopyTarget &target : copy.copyTargets)
        target.privateKeyPath.clear();
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
        return tl::unexpected(TransferError{TransferError::Code::notWritten, written.error().message});
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

} // namespace ConfigTransfer
