// SPDX-License-Identifier: GPL-3.0-or-later
// The copy targets' state file.
#include "core/engine/CopyState.h"

#include "core/engine/Retention.h"
#include "core/engine/Snapshots.h"
#include "core/model/ServerId.h"
#include "core/system/AppPaths.h"
#include "core/system/FileUtil.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <sys/stat.h>

namespace CopyState {

namespace {

std::optional<QDateTime> timeOf(const QJsonValue &value)
{
    const QDateTime time = QDateTime::fromString(value.toString(), Qt::ISODate);
    return time.isValid() ? std::optional<QDateTime>(time) : std::nullopt;
}

ServerCopy serverCopy(const QJsonObject &object)
{
    ServerCopy copy;
    const QJsonObject days = object.value(QStringLiteral("days")).toObject();
    for (auto day = days.begin(); day != days.end(); ++day)
        copy.days.insert(day.key(), day.value().toString());
    copy.lastAttempt = timeOf(object.value(QStringLiteral("lastAttempt")));
    copy.lastSuccess = timeOf(object.value(QStringLiteral("lastSuccess")));
    copy.lastError = object.value(QStringLiteral("lastError")).toString();
    return copy;
}

QJsonObject toJson(const ServerCopy &copy)
{
    QJsonObject days;
    for (auto day = copy.days.begin(); day != copy.days.end(); ++day)
        days.insert(day.key(), day.value());
    QJsonObject object{{QStringLiteral("days"), days}};
    if (copy.lastAttempt)
        object.insert(QStringLiteral("lastAttempt"), copy.lastAttempt->toString(Qt::ISODateWithMs));
    if (copy.lastSuccess)
        object.insert(QStringLiteral("lastSuccess"), copy.lastSuccess->toString(Qt::ISODateWithMs));
    if (!copy.lastError.isEmpty())
        object.insert(QStringLiteral("lastError"), copy.lastError);
    return object;
}

} // namespace

QString folder()
{
    return AppPaths::dataFolder() + QStringLiteral("/copies");
}

QString file(const QUuid &targetID)
{
    return folder() + u'/' + ServerId::text(targetID) + QStringLiteral(".json");
}

State load(const QUuid &targetID)
{
    State state;
    const auto bytes = FileUtil::readRegularFile(file(targetID));
    if (!bytes || !*bytes)
        return state;
    const QJsonObject servers = QJsonDocument::fromJson(**bytes).object().value(QStringLiteral("servers")).toObject();
    for (auto server = servers.begin(); server != servers.end(); ++server) {
        if (const auto id = ServerId::parse(server.key()))
            state.insert(*id, serverCopy(server.value().toObject()));
    }
    return state;
}

tl::expected<void, Error> save(const QUuid &targetID, const State &state)
{
    QJsonObject servers;
    for (auto server = state.begin(); server != state.end(); ++server)
        servers.insert(ServerId::text(server.key()), toJson(server.value()));
    (void)FileUtil::makePrivateFolder(folder());
    return FileUtil::writeAtomically(file(targetID),
                                     QJsonDocument(QJsonObject{{QStringLiteral("servers"), servers}}).toJson());
}

QString identity(const QString &folder)
{
    struct stat info;
    if (::stat(QFile::encodeName(folder).constData(), &info) != 0)
        return QString();
    return QString::number(quint64(info.st_dev)) + u':' + QString::number(quint64(info.st_ino));
}

Lag lag(const CopyTarget &target, const AppSettings &settings, const Server &server)
{
    QString newestHere;
    QString oldestHere;
    for (const Snapshots::Backup &day : Snapshots::list(Retention::serverFolder(settings.destinationPath, server))) {
        if (!day.complete)
            continue;
        if (newestHere.isEmpty())
            newestHere = day.name;
        oldestHere = day.name;
    }
    const ServerCopy copy = load(target.id).value(server.id);
    Lag found{target.shownName(), copy.newestDay(), 0, copy.lastError};
    const QDate here = Snapshots::dateOf(newestHere);
    // Never copied: behind by every day the destination holds.
    const QDate there =
        found.newestDay.isEmpty() ? Snapshots::dateOf(oldestHere).addDays(-1) : Snapshots::dateOf(found.newestDay);
    if (here.isValid() && there.isValid())
        found.daysBehind = std::max<qint64>(0, there.daysTo(here));
    return found;
}

QList<Lag> lags(const AppSettings &settings, const Server &server)
{
    QList<Lag> found;
    for (const CopyTarget &target : settings.copyTargets) {
        if (target.enabled && target.takes(server.id))
            found << lag(target, settings, server);
    }
    return found;
}

QJsonArray lagsJson(const QList<Lag> &lags, qint64 overdueDays)
{
    QJsonArray copies;
    for (const Lag &lag : lags)
        copies.append(QJsonObject{
            {QStringLiteral("target"), lag.target},
            {QStringLiteral("newestDay"), lag.newestDay.isEmpty() ? QJsonValue::Null : QJsonValue(lag.newestDay)},
            {QStringLiteral("daysBehind"), lag.daysBehind},
            {QStringLiteral("behind"), lag.daysBehind >= overdueDays},
            {QStringLiteral("lastError"), lag.lastError.isEmpty() ? QJsonValue::Null : QJsonValue(lag.lastError)},
        });
    return copies;
}

} // namespace CopyState
