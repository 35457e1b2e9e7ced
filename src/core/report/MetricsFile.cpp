// SPDX-License-Identifier: GPL-3.0-or-later
// The metrics file: gauges per server, rewritten whole.
#include "core/report/MetricsFile.h"

#include "core/engine/Retention.h"
#include "core/engine/Snapshots.h"
#include "core/model/ReferenceDate.h"
#include "core/model/ServerId.h"
#include "core/presentation/ServerRules.h"
#include "core/schedule/Scheduler.h"
#include "core/storage/ConfigStore.h"
#include "core/storage/LogStore.h"
#include "core/system/AppPaths.h"
#include "core/system/FileUtil.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>
#include <functional>

namespace MetricsFile {

namespace {

QString factsFile(const QUuid &serverID)
{
    return LogStore::directory() + u'/' + ServerId::text(serverID) + QStringLiteral(".run.json");
}

struct Facts
{
    double durationSeconds = 0;
    std::optional<double> bytesReceived;
    std::optional<double> files;
};

std::optional<Facts> lastRun(const QUuid &serverID)
{
    const auto bytes = FileUtil::readRegularFile(factsFile(serverID), 64 * 1024);
    if (!bytes || !*bytes)
        return std::nullopt;
    const QJsonObject object = QJsonDocument::fromJson(**bytes).object();
    if (!object.value(QStringLiteral("durationSeconds")).isDouble())
        return std::nullopt;
    Facts facts;
    facts.durationSeconds = object.value(QStringLiteral("durationSeconds")).toDouble();
    if (object.value(QStringLiteral("bytesReceived")).isDouble())
        facts.bytesReceived = object.value(QStringLiteral("bytesReceived")).toDouble();
    if (object.value(QStringLiteral("files")).isDouble())
        facts.files = object.value(QStringLiteral("files")).toDouble();
    return facts;
}

// A label's value as the format has it: backslash, quote and line feed escaped.
QString labelValue(const QString &text)
{
    QString escaped;
    for (const QChar c : text) {
        if (c == u'\\')
            escaped += QStringLiteral("\\\\");
        else if (c == u'"')
            escaped += QStringLiteral("\\\"");
        else if (c == u'\n')
            escaped += QStringLiteral("\\n");
        else
            escaped += c;
    }
    return escaped;
}

QString number(double value)
{
    return QString::number(value, 'g', 17);
}

double unixSeconds(double referenceSeconds)
{
    return referenceSeconds + double(ReferenceDate::unixOffsetSeconds);
}

// One server's figures, each an optional value.
struct Sample
{
    QString labels;
    std::optional<double> value;
};

struct Gauge
{
    const char *name;
    const char *help;
    std::function<std::optional<double>(const Server &)> value;
};

} // namespace

void recordRun(const QUuid &serverID, const QDateTime &started, const QDateTime &finished,
               const std::optional<RsyncStats> &stats)
{
    QJsonObject facts{{QStringLiteral("durationSeconds"), double(started.msecsTo(finished)) / 1000.0}};
    if (stats) {
        facts.insert(QStringLiteral("bytesReceived"), stats->bytesReceived);
        facts.insert(QStringLiteral("files"), double(stats->files));
    }
    (void)FileUtil::writeAtomically(factsFile(serverID), QJsonDocument(facts).toJson(QJsonDocument::Compact));
}

namespace {

std::optional<double> optionalDate(const std::optional<double> &date)
{
    return date ? std::optional<double>(unixSeconds(*date)) : std::nullopt;
}

std::optional<double> flag(bool on)
{
    return on ? 1.0 : 0.0;
}

// Every gauge of the file, in its order.
std::vector<Gauge> gauges(const AppSettings &settings, const QDateTime &now, const Scheduler &scheduler)
{
    // The lambdas outlive this call: they hold references to the caller's
    // objects only.
    return {
        {"tidewell_last_run_timestamp_seconds", "When the server's last run started (Unix time).",
         [](const Server &s) { return optionalDate(s.lastRunAt); }},
        {"tidewell_last_success_timestamp_seconds", "When the server's last successful run started (Unix time).",
         [](const Server &s) {
             const auto at = ServerRules::lastSuccess(s);
             return at ? std::optional<double>(double(at->toSecsSinceEpoch())) : std::nullopt;
         }},
        {"tidewell_last_exit_code", "The exit status of the server's last run (rsync's, 0 for success).",
         [](const Server &s) {
             return s.lastExitCode ? std::optional<double>(double(*s.lastExitCode)) : std::nullopt;
         }},
        {"tidewell_last_run_duration_seconds", "How long the server's last run took.",
         [](const Server &s) {
             const auto facts = lastRun(s.id);
             return facts ? std::optional<double>(facts->durationSeconds) : std::nullopt;
         }},
        {"tidewell_last_bytes_received", "Bytes the server's last run received.",
         [](const Server &s) {
             const auto facts = lastRun(s.id);
             return facts ? facts->bytesReceived : std::nullopt;
         }},
        {"tidewell_snapshot_files", "Regular files in the snapshot of the server's last run.",
         [](const Server &s) {
             const auto facts = lastRun(s.id);
             return facts ? facts->files : std::nullopt;
         }},
        {"tidewell_snapshots", "Complete dated snapshots of the server kept.",
         [&settings](const Server &s) {
             const QList<Snapshots::Backup> backups =
                 Snapshots::list(Retention::serverFolder(settings.destinationPath, s));
             return std::optional<double>(double(std::count_if(backups.cbegin(), backups.cend(),
                                                               [](const Snapshots::Backup &b) { return b.complete; })));
         }},
        {"tidewell_scheduled", "1 when the server has a daily schedule.",
         [](const Server &s) { return flag(s.scheduleEnabled); }},
        {"tidewell_schedule_installed", "1 when the server's daily schedule is installed as configured.",
         [&scheduler](const Server &s) { return flag(s.scheduleEnabled && scheduler.isInstalledAsConfigured(s)); }},
        {"tidewell_overdue",
         "1 when a scheduled server has had no good backup for longer than its schedule allows (26 hours when daily).",
         [&now](const Server &s) { return flag(ServerRules::isOverdue(s, now)); }},
        {"tidewell_damaged_files", "Damaged copies the last check of the server's backups found.",
         [](const Server &s) {
             return s.lastVerifiedAt ? std::optional<double>(double(s.damagedFiles)) : std::nullopt;
         }},
        {"tidewell_last_verified_timestamp_seconds", "When the server's backups were last checked (Unix time).",
         [](const Server &s) { return optionalDate(s.lastVerifiedAt); }},
        {"tidewell_remote_differences", "Files the last comparison with the server found differing silently.",
         [](const Server &s) {
             return s.lastRemoteCheckAt ? std::optional<double>(double(s.remoteDifferences)) : std::nullopt;
         }},
        {"tidewell_last_remote_check_timestamp_seconds", "When the backups were last compared with the server.",
         [](const Server &s) { return optionalDate(s.lastRemoteCheckAt); }},
    };
}

} // namespace

QByteArray text(const AppSettings &settings, const QDateTime &now)
{
    const Scheduler scheduler;
    QString out;
    for (const Gauge &gauge : gauges(settings, now, scheduler)) {
        QString samples;
        for (const Server &server : settings.servers) {
            if (const auto value = gauge.value(server))
                samples += QStringLiteral("%1{server=\"%2\",id=\"%3\"} %4\n")
                               .arg(QLatin1String(gauge.name), labelValue(server.logName()), ServerId::text(server.id),
                                    number(*value));
        }
        if (samples.isEmpty())
            continue;
        out +=
            QStringLiteral("# HELP %1 %2\n# TYPE %1 gauge\n").arg(QLatin1String(gauge.name), QLatin1String(gauge.help))
            + samples;
    }
    out += QStringLiteral("# HELP tidewell_metrics_written_timestamp_seconds When Tidewell wrote this file (Unix "
                          "time).\n# TYPE tidewell_metrics_written_timestamp_seconds gauge\n"
                          "tidewell_metrics_written_timestamp_seconds %1\n")
               .arg(now.toSecsSinceEpoch());
    return out.toUtf8();
}

tl::expected<void, Error> write(const QString &path, const AppSettings &settings, const QDateTime &now)
{
    return FileUtil::writeAtomically(AppPaths::expandTilde(path), text(settings, now), FileUtil::Access::shared);
}

void refresh()
{
    const auto settings = ConfigStore::readOnly(AppPaths::configFile());
    if (!settings || settings->metricsFile.trimmed().isEmpty())
        return;
    if (const auto written = write(settings->metricsFile.trimmed(), *settings, QDateTime::currentDateTime()); !written)
        std::fprintf(stderr, "tidewell: the metrics file could not be written: %s\n",
                     written.error().message.toLocal8Bit().constData());
}

} // namespace MetricsFile
