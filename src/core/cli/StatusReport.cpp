// SPDX-License-Identifier: GPL-3.0-or-later
// The status report: health rules applied to every server, printed.
#include "core/cli/StatusReport.h"

#include "core/cli/TaskLoop.h"
#include "core/engine/OutputDecoder.h"
#include "core/model/ExitCode.h"
#include "core/model/ReferenceDate.h"
#include "core/model/Schedule.h"
#include "core/model/ServerId.h"
#include "core/presentation/ServerRules.h"
#include "core/report/MetricsFile.h"
#include "core/schedule/Scheduler.h"
#include "core/storage/ConfigStore.h"
#include "core/system/AppPaths.h"
#include "core/system/Lingering.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <climits>
#include <cstdio>

namespace StatusReport {

namespace {

QString shortText(const std::optional<QDateTime> &when)
{
    return when->toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}

QJsonValue isoText(const std::optional<QDateTime> &when)
{
    if (!when)
        return QJsonValue::Null;
    QDateTime local = when->toLocalTime();
    return local.toOffsetFromUtc(local.offsetFromUtc()).toString(Qt::ISODate);
}

// A name as a monitoring plugin's line may hold it: "|" would start the
// performance data, "=" and "'" are its syntax, control characters break
// the line; each becomes "_".
QString pluginName(const QString &name)
{
    QString shown = name;
    for (QChar &c : shown) {
        if (c == u'|' || c == u'=' || c == u'\'' || c.category() == QChar::Other_Control
            || c.category() == QChar::Separator_Line || c.category() == QChar::Separator_Paragraph)
            c = u'_';
    }
    return shown;
}

QJsonObject heldJson(const ChangeHold &held)
{
    QJsonObject object = held.toJson();
    object.insert(QStringLiteral("percent"), held.percent());
    return object;
}

} // namespace

QString health(const Server &server, const QDateTime &now, const std::optional<ScheduleStatus::State> &schedule)
{
    const ServerRules::Health::Kind kind = ServerRules::healthStatus(server, false, now).kind;
    if (kind == ServerRules::Health::Kind::failed)
        return QStringLiteral("failing");
    if (kind == ServerRules::Health::Kind::damaged)
        return QStringLiteral("damaged");
    if (server.heldChange)
        return QStringLiteral("mass change");
    // A schedule the user manager does not run: nothing will happen.
    if (server.scheduleEnabled && schedule && schedule->kind == ScheduleStatus::State::Kind::broken) {
        using Problem = ScheduleStatus::State::Problem;
        return schedule->problem == Problem::notInstalled || schedule->problem == Problem::notRunning
                   ? QStringLiteral("not installed")
                   : QStringLiteral("schedule cannot run");
    }
    // A schedule switched on today has not had its first run yet: not a failure.
    if (server.scheduleEnabled && !server.lastRunAt && server.scheduledSince && !ServerRules::isOverdue(server, now))
        return QStringLiteral("pending");
    // The window's health, in words a script can match.
    switch (kind) {
    case ServerRules::Health::Kind::overdue:
        return QStringLiteral("overdue");
    case ServerRules::Health::Kind::neverRan:
        return QStringLiteral("never run");
    case ServerRules::Health::Kind::failed:  // said above
    case ServerRules::Health::Kind::held:    // said above
    case ServerRules::Health::Kind::damaged: // said above
    case ServerRules::Health::Kind::running: // not asked for
    case ServerRules::Health::Kind::healthy:
        break;
    }
    return server.scheduleEnabled ? QStringLiteral("ok") : QStringLiteral("not scheduled");
}

QList<Entry> entries(const AppSettings &settings, const QDateTime &now, const Schedules &schedules)
{
    QList<Entry> list;
    for (const Server &server : settings.servers) {
        Entry entry;
        entry.id = server.id;
        // The same in every language: scripts read it.
        entry.name = server.logName();
        const auto schedule = schedules.constFind(server.id);
        const std::optional<ScheduleStatus::State> state =
            schedule == schedules.cend() ? std::nullopt : std::optional<ScheduleStatus::State>(*schedule);
        entry.health = health(server, now, state);
        entry.heldChange = server.heldChange;
        entry.checks = ServerRules::checksJson(server);
        if (server.lastVerifiedAt) {
            entry.lastVerified = ReferenceDate::toDateTime(*server.lastVerifiedAt);
            entry.damagedFiles = server.damagedFiles;
        }
        if (state && server.scheduleEnabled && state->kind == ScheduleStatus::State::Kind::broken)
            entry.scheduleProblem = state->message;
        entry.scheduled = server.scheduleEnabled;
        if (server.scheduleEnabled) {
            entry.scheduleTime = server.scheduleTime;
            entry.schedule = Schedule::described(server);
            entry.scheduleKind = server.scheduleKind;
        }
        if (server.lastRunAt)
            entry.lastRun = ReferenceDate::toDateTime(*server.lastRunAt);
        entry.lastExitCode = server.lastExitCode;
        entry.lastSuccess = ServerRules::lastSuccess(server);
        entry.nextRun = ServerRules::nextRun(server, now);
        if (!entry.scheduleProblem.isEmpty())
            entry.nextRun.reset();
        entry.copies = CopyState::lags(settings, server);
        entry.copyOverdueDays = settings.copyOverdueDays;
        list << entry;
    }
    return list;
}

namespace {

// "copy to offsite is 3 days behind": a warning from copyOverdueDays on.
QStringList lateCopies(const Entry &entry)
{
    QStringList late;
    for (const CopyState::Lag &lag : entry.copies) {
        if (lag.daysBehind >= entry.copyOverdueDays)
            late << QStringLiteral("copy to %1 is %2 days behind").arg(lag.target).arg(lag.daysBehind);
    }
    return late;
}

// Every late copy, with its server: "copy to usb is 3 days behind (web)".
QStringList lateCopies(const QList<Entry> &entries)
{
    QStringList late;
    for (const Entry &e : entries) {
        for (const QString &behind : lateCopies(e))
            late << behind + QStringLiteral(" (") + pluginName(e.name) + u')';
    }
    return late;
}

} // namespace

bool allScheduledOk(const QList<Entry> &entries)
{
    return std::all_of(entries.begin(), entries.end(), [](const Entry &e) {
        if (!lateCopies(e).isEmpty())
            return false;
        if (e.health == QStringLiteral("failing") || e.health == QStringLiteral("mass change")
            || e.health == QStringLiteral("damaged"))
            return false;
        return !e.scheduled || e.health == QStringLiteral("ok") || e.health == QStringLiteral("pending");
    });
}

QCoro::Task<Schedules> readSchedules(QList<Server> servers, QDBusConnection bus)
{
    Schedules schedules;
    for (const Server &server : std::as_const(servers)) {
        if (!server.scheduleEnabled)
            continue;
        const QString unit = ScheduleStatus::timerUnit(server.id);
        const ScheduleStatus::State state = co_await ScheduleStatus::readTimer(bus, unit);
        schedules.insert(server.id, state);
        // No manager for one: none for the others either.
        if (state.problem == ScheduleStatus::State::Problem::noManager) {
            for (const Server &other : std::as_const(servers)) {
                if (other.scheduleEnabled)
                    schedules.insert(other.id, state);
            }
            break;
        }
    }
    co_return schedules;
}

namespace {

QString copyLines(const Entry &entry)
{
    QString out;
    for (const CopyState::Lag &lag : entry.copies) {
        const QString target = OutputDecoder::visible(lag.target);
        QString line =
            lag.newestDay.isEmpty()
                ? QCoreApplication::translate("StatusReport", "not copied to %1 yet").arg(target)
                : QCoreApplication::translate("StatusReport", "copied to %1: up to %2").arg(target, lag.newestDay);
        if (lag.daysBehind > 0)
            line += QStringLiteral(" (")
                    + QCoreApplication::translate("StatusReport", "%n day(s) behind", nullptr, int(lag.daysBehind))
                    + u')';
        out += QStringLiteral("  ") + line + u'\n';
        if (!lag.lastError.isEmpty())
            out += QStringLiteral("  ")
                   + QCoreApplication::translate("StatusReport", "last copy to %1: %2")
                         .arg(target, OutputDecoder::visible(lag.lastError))
                   + u'\n';
    }
    return out;
}

QJsonArray copiesJson(const Entry &entry)
{
    return CopyState::lagsJson(entry.copies, entry.copyOverdueDays);
}

} // namespace

QString text(const QList<Entry> &entries)
{
    // In the user's language; --json and --nagios stay the same everywhere.
    if (entries.isEmpty())
        return QCoreApplication::translate("StatusReport", "No servers configured.") + u'\n';
    static const char *const healthWords[] = {
        QT_TRANSLATE_NOOP("StatusReport", "ok"),
        QT_TRANSLATE_NOOP("StatusReport", "pending"),
        QT_TRANSLATE_NOOP("StatusReport", "failing"),
        QT_TRANSLATE_NOOP("StatusReport", "overdue"),
        QT_TRANSLATE_NOOP("StatusReport", "never run"),
        QT_TRANSLATE_NOOP("StatusReport", "not scheduled"),
        QT_TRANSLATE_NOOP("StatusReport", "not installed"),
        QT_TRANSLATE_NOOP("StatusReport", "schedule cannot run"),
        QT_TRANSLATE_NOOP("StatusReport", "mass change"),
        QT_TRANSLATE_NOOP("StatusReport", "damaged"),
    };
    Q_UNUSED(healthWords);
    const QString never = QCoreApplication::translate("StatusReport", "never");
    QString out;
    for (const Entry &e : entries) {
        const QString lastRun = e.lastRun ? shortText(e.lastRun) : never;
        QString run;
        if (e.lastExitCode)
            run = QCoreApplication::translate("StatusReport", "%1 (exit %2)")
                      .arg(lastRun, QString::number(*e.lastExitCode));
        else if (e.lastRun)
            run = QCoreApplication::translate("StatusReport", "%1 (cancelled)").arg(lastRun);
        else
            run = lastRun;
        // A name is the user's text: one line, whatever it holds.
        out += QCoreApplication::translate("StatusReport", "%1: %2; last run %3; last success %4; next run %5")
                   .arg(OutputDecoder::visible(e.name),
                        QCoreApplication::translate("StatusReport", e.health.toUtf8().constData()), run,
                        e.lastSuccess ? shortText(e.lastSuccess) : never,
                        e.nextRun ? shortText(e.nextRun) : QCoreApplication::translate("StatusReport", "none"))
               + u'\n';
        if (!e.scheduleProblem.isEmpty())
            out += QStringLiteral("  ") + e.scheduleProblem + u'\n';
        if (e.heldChange)
            out += QStringLiteral("  ") + e.heldChange->shownText() + u'\n';
        const int damaged = int(std::clamp(e.damagedFiles, qint64(0), qint64(INT_MAX)));
        if (e.lastVerified)
            out += QStringLiteral("  ")
                   + QCoreApplication::translate("StatusReport", "backups checked %1: %n damaged file(s)", nullptr,
                                                 damaged)
                         .arg(shortText(e.lastVerified))
                   + u'\n';
        out += copyLines(e);
    }
    return out;
}

QByteArray json(const QList<Entry> &entries, const QDateTime &now, bool destinationEncrypted)
{
    QJsonArray servers;
    for (const Entry &e : entries) {
        servers.append(QJsonObject{
            {QStringLiteral("id"), ServerId::text(e.id)},
            {QStringLiteral("name"), e.name},
            {QStringLiteral("health"), e.health},
            {QStringLiteral("scheduled"), e.scheduled},
            {QStringLiteral("scheduleTime"), e.scheduled ? QJsonValue(e.scheduleTime) : QJsonValue::Null},
            {QStringLiteral("scheduleKind"), e.scheduled ? QJsonValue(e.scheduleKind) : QJsonValue::Null},
            {QStringLiteral("schedule"), e.scheduled ? QJsonValue(e.schedule) : QJsonValue::Null},
            {QStringLiteral("lastRunAt"), isoText(e.lastRun)},
            {QStringLiteral("lastExitCode"), e.lastExitCode ? QJsonValue(*e.lastExitCode) : QJsonValue::Null},
            {QStringLiteral("lastSuccessAt"), isoText(e.lastSuccess)},
            {QStringLiteral("nextRunAt"), isoText(e.nextRun)},
            {QStringLiteral("scheduleProblem"),
             e.scheduleProblem.isEmpty() ? QJsonValue::Null : QJsonValue(e.scheduleProblem)},
            {QStringLiteral("heldChange"), e.heldChange ? QJsonValue(heldJson(*e.heldChange)) : QJsonValue::Null},
            {QStringLiteral("verify"), e.checks},
            {QStringLiteral("copies"), copiesJson(e)},
        });
    }
    const auto pending = std::count_if(entries.begin(), entries.end(),
                                       [](const Entry &e) { return e.health == QStringLiteral("pending"); });
    const QJsonObject report{{QStringLiteral("ok"), allScheduledOk(entries)},
                             {QStringLiteral("pending"), qint64(pending)},
                             {QStringLiteral("checkedAt"), isoText(now)},
                             {QStringLiteral("encrypted"), destinationEncrypted},
                             {QStringLiteral("servers"), servers}};
    return QJsonDocument(report).toJson(QJsonDocument::Indented);
}

Nagios nagios(const QList<Entry> &entries)
{
    Nagios result;
    if (entries.isEmpty()) {
        // A host that lost its configuration is no healthy host.
        result.line = QStringLiteral("TIDEWELL UNKNOWN - no servers are configured");
        result.exitCode = Nagios::unknown;
        return result;
    }
    QStringList failing;
    QStringList late;
    QStringList stopped;
    QStringList held;
    QStringList damaged;
    int ok = 0;
    int pending = 0;
    for (const Entry &e : entries) {
        const QString name = pluginName(e.name);
        if (e.health == QStringLiteral("failing"))
            failing << name;
        else if (e.health == QStringLiteral("damaged"))
            damaged << name + QStringLiteral(": ") + QString::number(e.damagedFiles);
        else if (e.health == QStringLiteral("mass change"))
            held << name;
        else if (e.health == QStringLiteral("not installed") || e.health == QStringLiteral("schedule cannot run"))
            stopped << name;
        else if (e.scheduled && (e.health == QStringLiteral("overdue") || e.health == QStringLiteral("never run")))
            late << name;
        else if (e.health == QStringLiteral("pending"))
            ++pending;
        else if (e.scheduled && e.health == QStringLiteral("ok"))
            ++ok;
    }
    QStringList said;
    if (!failing.isEmpty())
        said << QString::number(failing.size()) + QStringLiteral(" failing (") + failing.join(QStringLiteral(", "))
                    + u')';
    if (!damaged.isEmpty())
        said << QString::number(damaged.size()) + QStringLiteral(" with damaged copies (")
                    + damaged.join(QStringLiteral(", ")) + u')';
    if (!stopped.isEmpty())
        said << QString::number(stopped.size()) + QStringLiteral(" schedule(s) not running (")
                    + stopped.join(QStringLiteral(", ")) + u')';
    if (!held.isEmpty())
        said << QString::number(held.size()) + QStringLiteral(" with most files changed, old backups kept (")
                    + held.join(QStringLiteral(", ")) + u')';
    if (!late.isEmpty())
        said << QString::number(late.size()) + QStringLiteral(" overdue (") + late.join(QStringLiteral(", ")) + u')';
    said << lateCopies(entries);
    QString state = QStringLiteral("OK");
    if (said.isEmpty() && ok == 0 && pending == 0) {
        // Servers, but none with a schedule: nothing backs them up unwatched.
        result.line = QStringLiteral("TIDEWELL UNKNOWN - no server is scheduled | failing=0 overdue=0 ok=0 pending=0 "
                                     "notrunning=0 masschange=0 damaged=0");
        result.exitCode = Nagios::unknown;
        return result;
    }
    if (!failing.isEmpty() || !damaged.isEmpty()) {
        state = QStringLiteral("CRITICAL");
        result.exitCode = Nagios::critical;
    } else if (!said.isEmpty()) { // overdue, not running, held, copies behind
        state = QStringLiteral("WARNING");
        result.exitCode = Nagios::warning;
    }
    if (said.isEmpty())
        said << QString::number(ok) + QStringLiteral(" scheduled servers ok")
                    + (pending > 0 ? QStringLiteral(", ") + QString::number(pending) + QStringLiteral(" pending")
                                   : QString());
    // The perfdata after "|": plain numbers a monitoring system can graph.
    result.line = QStringLiteral("TIDEWELL ") + state + QStringLiteral(" - ") + said.join(QStringLiteral(", "))
                  + QStringLiteral(" | failing=%1 overdue=%2 ok=%3 pending=%4 notrunning=%5 masschange=%6 damaged=%7")
                        .arg(failing.size())
                        .arg(late.size())
                        .arg(ok)
                        .arg(pending)
                        .arg(stopped.size())
                        .arg(held.size())
                        .arg(damaged.size());
    return result;
}

QString serverLines(const AppSettings &settings, const QList<Entry> &entries)
{
    QString out;
    for (qsizetype i = 0; i < entries.size() && i < settings.servers.size(); ++i) {
        const Server &server = settings.servers.at(i);
        const Entry &e = entries.at(i);
        // A tab in a name would start a field of its own.
        const auto field = [](const QString &text) {
            return OutputDecoder::visible(text).replace(u'\t', QStringLiteral("\\t"));
        };
        const QString where = field(server.username) + u'@' + field(server.host) + u':' + QString::number(server.port);
        const QStringList fields{ServerId::text(server.id), field(server.name), where,
                                 e.scheduled ? e.schedule : QStringLiteral("off"), e.health};
        out += fields.join(u'\t') + u'\n';
    }
    return out;
}

QByteArray serverJson(const AppSettings &settings, const QList<Entry> &entries)
{
    QJsonArray list;
    for (qsizetype i = 0; i < entries.size() && i < settings.servers.size(); ++i) {
        const Server &server = settings.servers.at(i);
        const Entry &e = entries.at(i);
        QJsonArray paths;
        for (const BackupPath &path : server.paths) {
            if (path.enabled)
                paths.append(path.name);
        }
        list.append(QJsonObject{
            {QStringLiteral("id"), ServerId::text(server.id)},
            {QStringLiteral("name"), server.name},
            {QStringLiteral("host"), server.host},
            {QStringLiteral("port"), server.port},
            {QStringLiteral("username"), server.username},
            {QStringLiteral("scheduled"), e.scheduled},
            {QStringLiteral("scheduleTime"), e.scheduled ? QJsonValue(e.scheduleTime) : QJsonValue::Null},
            {QStringLiteral("scheduleKind"), e.scheduled ? QJsonValue(e.scheduleKind) : QJsonValue::Null},
            {QStringLiteral("schedule"), e.scheduled ? QJsonValue(e.schedule) : QJsonValue::Null},
            {QStringLiteral("health"), e.health},
            {QStringLiteral("paths"), paths},
        });
    }
    return QJsonDocument(list).toJson(QJsonDocument::Indented);
}

namespace {

// Timers that stop at logout cannot promise the next run: never OK.
Nagios withoutLingering(Nagios plugin)
{
    const QString said = QStringLiteral("timers stop at logout (no lingering), ");
    if (plugin.exitCode == Nagios::ok) {
        plugin.exitCode = Nagios::warning;
        plugin.line.replace(QStringLiteral("TIDEWELL OK - "), QStringLiteral("TIDEWELL WARNING - ") + said);
    } else {
        const qsizetype dash = plugin.line.indexOf(QStringLiteral(" - "));
        plugin.line.insert(dash + 3, said);
    }
    return plugin;
}

QByteArray withLingering(const QByteArray &json)
{
    QJsonObject report = QJsonDocument::fromJson(json).object();
    report.insert(QStringLiteral("timersNeedLogin"), true);
    return QJsonDocument(report).toJson(QJsonDocument::Indented);
}

bool listsServers(Format format)
{
    return format == Format::servers || format == Format::serversJson;
}

QCoro::Task<int> report(Format format)
{
    const auto settings = ConfigStore::readOnly(AppPaths::configFile());
    if (!settings) {
        if (format == Format::nagios) {
            // UNKNOWN: no verdict on the backups either way.
            std::printf("TIDEWELL UNKNOWN - the configuration could not be read: %s\n",
                        settings.error().message.toUtf8().constData());
            co_return Nagios::unknown;
        }
        std::fprintf(stderr, "tidewell: the configuration could not be read: %s\n",
                     settings.error().message.toLocal8Bit().constData());
        if (listsServers(format))
            co_return ExitCode::refused;
        // A lock that stays held is no verdict on the backups: ask again later.
        co_return settings.error().code == StoreError::Code::locked ? ExitCode::unknown : ExitCode::failing;
    }
    Schedules schedules;
    const Scheduler scheduler;
    if (scheduler.backend() == Scheduler::Backend::systemd)
        schedules = co_await readSchedules(settings->servers, scheduler.bus());
    const QDateTime now = QDateTime::currentDateTime();
    const QList<Entry> list = entries(*settings, now, schedules);
    const bool anyScheduled = std::any_of(list.cbegin(), list.cend(), [](const Entry &e) { return e.scheduled; });
    bool needsLogin = false;
    if (anyScheduled && !listsServers(format) && scheduler.backend() == Scheduler::Backend::systemd)
        needsLogin = co_await Lingering::timersNeedALogin(QDBusConnection::systemBus());
    if (listsServers(format)) {
        const QByteArray out =
            format == Format::serversJson ? serverJson(*settings, list) : serverLines(*settings, list).toUtf8();
        std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
        co_return ExitCode::success;
    }
    if (format == Format::nagios) {
        Nagios plugin = nagios(list);
        if (needsLogin)
            plugin = withoutLingering(plugin);
        const QByteArray line = plugin.line.toUtf8() + '\n';
        std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
        co_return plugin.exitCode;
    }
    QByteArray out = format == Format::json ? json(list, now, settings->destinationEncrypted) : text(list).toUtf8();
    if (needsLogin && format == Format::json)
        out = withLingering(out);
    else if (needsLogin)
        out += Lingering::advice().toUtf8() + '\n';
    std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
    // Nothing to watch over is no verdict either.
    if (list.isEmpty())
        co_return ExitCode::unknown;
    co_return allScheduledOk(list) ? ExitCode::success : ExitCode::failing;
}

} // namespace

int exec(Format format)
{
    return TaskLoop::run(report(format));
}

int writeMetrics(const QString &path)
{
    const auto settings = ConfigStore::readOnly(AppPaths::configFile());
    if (!settings) {
        std::fprintf(stderr, "tidewell: the configuration could not be read: %s\n",
                     settings.error().message.toLocal8Bit().constData());
        return ExitCode::refused;
    }
    const auto written =
        MetricsFile::write(QFileInfo(path).absoluteFilePath(), *settings, QDateTime::currentDateTime());
    if (!written) {
        std::fprintf(stderr, "tidewell: the metrics file could not be written: %s\n",
                     written.error().message.toLocal8Bit().constData());
        return ExitCode::refused;
    }
    return ExitCode::success;
}

} // namespace StatusReport
