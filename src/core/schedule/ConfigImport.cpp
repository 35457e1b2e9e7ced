// SPDX-License-Identifier: GPL-3.0-or-later
// Applying an import: settings first, then every schedule removed and installed again.
#include "core/schedule/ConfigImport.h"

#include "core/storage/ConfigStore.h"

#include <QCoreApplication>
#include <QHash>

namespace ConfigTransfer {

namespace {

// A file exported without its report addresses keeps the ones set here.
void keepReportAddresses(const AppSettings &current, AppSettings &incoming)
{
    if (incoming.healthCheckURL.isEmpty() && incoming.webhookURL.isEmpty() && incoming.reportEmail.isEmpty()
        && incoming.ntfyURL.isEmpty()) {
        incoming.ntfyURL = current.ntfyURL;
        incoming.healthCheckURL = current.healthCheckURL;
        incoming.webhookURL = current.webhookURL;
        incoming.reportEmail = current.reportEmail;
        incoming.reportEmailEveryRun = current.reportEmailEveryRun;
    }
    for (Server &server : incoming.servers) {
        if (const Server *known = current.server(server.id); known && server.healthCheckURL.isEmpty())
            server.healthCheckURL = known->healthCheckURL;
    }
}

// The same refusal of the scheduler three times running (no user manager, a
// broken systemctl) is not asked again for every server.
class RepeatedRefusal
{
public:
    bool settled() const { return m_sameInARow >= 3; }
    const QString &reason() const { return m_last; }

    // The reason an install failed for, grouped without the server's own
    // unit name in it.
    QString seen(const Server &server, const Error &error)
    {
        QString reason = error.message;
        reason.replace(server.id.toString(QUuid::WithoutBraces), QStringLiteral("…"), Qt::CaseInsensitive);
        const bool systemic = error.code != Error::Code::invalid && error.code != Error::Code::notWritten;
        m_sameInARow = systemic && reason == m_last ? m_sameInARow + 1 : (systemic ? 1 : 0);
        m_last = reason;
        return reason;
    }
    void installed() { m_sameInARow = 0; }

private:
    QString m_last;
    int m_sameInARow = 0;
};

QString importedLine(const PendingImport &pending)
{
    QString imported = QCoreApplication::translate("ConfigTransfer", "Imported %n server(s) from %1", nullptr,
                                                   int(pending.settings.servers.size()))
                           .arg(pending.fileName);
    if (pending.reassignedIds > 0) {
        imported = QCoreApplication::translate(
                       "ConfigTransfer", "%1 (%n server(s) repeated another server's id and were given a new one)",
                       nullptr, pending.reassignedIds)
                       .arg(imported);
    }
    return imported;
}

// One line: how many schedules failed, and the reason most of them share.
QString failedLine(const QString &imported, const QStringList &details, const QHash<QString, int> &reasons)
{
    QString common;
    int most = 0;
    for (auto it = reasons.cbegin(); it != reasons.cend(); ++it) {
        if (it.value() > most || (it.value() == most && it.key() < common)) {
            most = it.value();
            common = it.key();
        }
    }
    QString line = QCoreApplication::translate("ConfigTransfer", "%1, but %n schedule(s) not installed: %2", nullptr,
                                               int(details.size()))
                       .arg(imported, common);
    if (most < details.size())
        line = QCoreApplication::translate("ConfigTransfer", "%1 (%n for other reasons)", nullptr,
                                           int(details.size() - most))
                   .arg(line);
    return line;
}

} // namespace

QCoro::Task<Outcome> applyImport(ConfigStore *store, Scheduler scheduler, PendingImport pending,
                                 std::function<void(int, int)> progress)
{
    // The store is used before the first wait only; the scheduler is this frame's own.
    const QList<Server> before = store->settings().servers;
    keepReportAddresses(store->settings(), pending.settings);
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
    RepeatedRefusal refusal;
    int handled = 0;
    for (const Server &server : std::as_const(pending.settings.servers)) {
        if (!server.scheduleEnabled)
            continue;
        QString reason;
        if (refusal.settled()) {
            reason = refusal.reason();
        } else {
            const auto installed = co_await scheduler.install(server);
            if (!installed)
                reason = refusal.seen(server, installed.error());
            else
                refusal.installed();
        }
        if (!reason.isEmpty()) {
            details << server.name + QStringLiteral(": ") + reason;
            ++reasons[reason];
        }
        ++handled;
        if (progress)
            progress(handled, total);
    }
    const QString imported = importedLine(pending);
    if (!details.isEmpty()) {
        const TransferError error{TransferError::Code::schedulesFailed, failedLine(imported, details, reasons),
                                  details};
        co_return tl::unexpected(error);
    }
    co_return imported;
}

} // namespace ConfigTransfer
