// SPDX-License-Identifier: GPL-3.0-or-later
// The overdue check of the window, from a timer.
#include "core/cli/CheckCommand.h"

#include "core/cli/CommandOutput.h"
#include "core/cli/TaskLoop.h"
#include "core/engine/OutputDecoder.h"
#include "core/model/ExitCode.h"
#include "core/model/ServerId.h"
#include "core/presentation/OverdueWatch.h"
#include "core/presentation/ServerRules.h"
#include "core/report/MetricsFile.h"
#include "core/report/RunReporter.h"
#include "core/storage/ConfigStore.h"
#include "core/system/AppPaths.h"
#include "core/system/FileUtil.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>

#include <qcoro/qcorodbuspendingcall.h>
#include <qcoro/qcorosignal.h>

namespace CheckCommand {

namespace {

// The day each server's overdue reports last went out.
QString reportsFile()
{
    return AppPaths::dataFolder() + QStringLiteral("/overdue-reports.json");
}

QHash<QUuid, QDate> reportedDays()
{
    QHash<QUuid, QDate> days;
    const auto bytes = FileUtil::readRegularFile(reportsFile(), 1024 * 1024);
    if (!bytes || !*bytes)
        return days;
    const QJsonObject object = QJsonDocument::fromJson(**bytes).object();
    for (auto it = object.begin(); it != object.end(); ++it) {
        const auto id = ServerId::parse(it.key());
        const QDate day = QDate::fromString(it.value().toString(), Qt::ISODate);
        if (id && day.isValid())
            days.insert(*id, day);
    }
    return days;
}

void keepReportedDays(const QHash<QUuid, QDate> &days)
{
    QJsonObject object;
    for (auto it = days.cbegin(); it != days.cend(); ++it)
        object.insert(ServerId::text(it.key()), it.value().toString(Qt::ISODate));
    (void)FileUtil::writeAtomically(reportsFile(), QJsonDocument(object).toJson(QJsonDocument::Compact));
}

// Messages on a connection leave in order: when the bus has answered a
// later call, the notices posted before it are on their way.
QCoro::Task<> noticesSent()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        co_return;
    const QDBusMessage ask =
        QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                                       QStringLiteral("org.freedesktop.DBus"), QStringLiteral("GetId"));
    const QDBusPendingCall call = bus.asyncCall(ask, 5000);
    co_await call;
}

QCoro::Task<int> check()
{
    ConfigStore store;
    if (!CommandOutput::usable(store))
        co_return ExitCode::refused;
    const QDateTime now = QDateTime::currentDateTime();
    const QDate today = now.toLocalTime().date();
    OverdueWatch watch(&store);
    (void)watch.check();
    QHash<QUuid, QDate> reported = reportedDays();
    RunReporter reporter(nullptr);
    const AppSettings settings = store.settings();
    QHash<QUuid, QDate> kept;
    for (const Server &server : settings.servers) {
        if (!ServerRules::isOverdue(server, now))
            continue;
        CommandOutput::say(stdout, OutputDecoder::visible(OverdueWatch::noticeText(server, now)));
        if (reported.value(server.id) != today)
            reporter.reportOverdue(server, settings, now);
        kept.insert(server.id, today);
    }
    // Servers no longer overdue are reported again when they next are.
    if (kept != reported)
        keepReportedDays(kept);
    MetricsFile::refresh();
    if (reporter.pending() > 0)
        co_await qCoro(&reporter, &RunReporter::idle);
    co_await noticesSent();
    co_return ExitCode::success;
}

} // namespace

int exec()
{
    return TaskLoop::run(check());
}

} // namespace CheckCommand
