// SPDX-License-Identifier: GPL-3.0-or-later
// The whole configuration and its JSON form.
#include "core/model/AppSettings.h"

#include "core/model/JsonReader.h"
#include "core/model/ServerId.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QSet>

#include <algorithm>

bool AppSettings::requiresDestinationMarker() const
{
    return requiresMarker(destinationPath);
}

bool AppSettings::requiresMarker(const QString &folder) const
{
    if (requireDestinationMarker)
        return *requireDestinationMarker;
    for (const QString &mounts : {QStringLiteral("/media/"), QStringLiteral("/mnt/"), QStringLiteral("/run/media/")}) {
        if (QDir::cleanPath(folder).startsWith(mounts))
            return true;
    }
    return false;
}

const CopyTarget *AppSettings::copyTarget(const QString &reference) const
{
    const CopyTarget *named = nullptr;
    int sameName = 0;
    for (const CopyTarget &target : copyTargets) {
        if (ServerId::text(target.id).compare(reference, Qt::CaseInsensitive) == 0)
            return &target;
        if (target.name == reference) {
            named = &target;
            ++sameName;
        }
    }
    return sameName == 1 ? named : nullptr;
}

QJsonObject AppSettings::toJson() const
{
    QJsonArray serverArray;
    for (const Server &server : servers)
        serverArray.append(server.toJson());
    QJsonObject object{
        {QStringLiteral("servers"), serverArray},
        {QStringLiteral("destinationPath"), destinationPath},
        {QStringLiteral("useDateSubfolder"), useDateSubfolder},
        {QStringLiteral("linkToPreviousBackup"), linkToPreviousBackup},
        {QStringLiteral("deleteExtraneous"), deleteExtraneous},
        {QStringLiteral("compress"), compress},
        {QStringLiteral("notificationsEnabled"), notificationsEnabled},
        {QStringLiteral("minFreeSpaceGB"), minFreeSpaceGB},
        {QStringLiteral("retryAttempts"), retryAttempts},
        {QStringLiteral("massChangePercent"), massChangePercent},
        {QStringLiteral("verifyParts"), verifyParts},
        {QStringLiteral("verifyMinutesPerRun"), verifyMinutesPerRun},
        {QStringLiteral("verifyRemoteEveryDays"), verifyRemoteEveryDays},
        {QStringLiteral("ioTimeoutSeconds"), ioTimeoutSeconds},
        {QStringLiteral("networkWaitSeconds"), networkWaitSeconds},
        {QStringLiteral("skipMeteredConnections"), skipMeteredConnections},
        {QStringLiteral("minBatteryPercent"), minBatteryPercent},
        {QStringLiteral("powerWaitSeconds"), powerWaitSeconds},
    };
    if (requireDestinationMarker)
        object.insert(QStringLiteral("requireDestinationMarker"), *requireDestinationMarker);
    // Written when set, so files without reports stay as they were.
    for (const auto &[key, value] :
         {std::pair{QStringLiteral("healthCheckURL"), healthCheckURL},
          std::pair{QStringLiteral("webhookURL"), webhookURL}, std::pair{QStringLiteral("reportEmail"), reportEmail},
          std::pair{QStringLiteral("metricsFile"), metricsFile}, std::pair{QStringLiteral("ntfyURL"), ntfyURL},
          std::pair{QStringLiteral("passphraseFile"), passphraseFile}}) {
        if (!value.isEmpty())
            object.insert(key, value);
    }
    if (reportEmailEveryRun)
        object.insert(QStringLiteral("reportEmailEveryRun"), true);
    if (destinationEncrypted)
        object.insert(QStringLiteral("destinationEncrypted"), true);
    if (!copyTargets.isEmpty()) {
        QJsonArray targets;
        for (const CopyTarget &target : copyTargets)
            targets.append(target.toJson());
        object.insert(QStringLiteral("copyTargets"), targets);
        object.insert(QStringLiteral("copyOverdueDays"), copyOverdueDays);
    }
    object.insert(QStringLiteral("maxConcurrentRuns"), maxConcurrentRuns);
    object.insert(QStringLiteral("scheduleSpreadMinutes"), scheduleSpreadMinutes);
    return object;
}

namespace {

void readCopyTargets(JsonReader &reader, AppSettings &settings, QStringList *warnings)
{
    const auto array = reader.array("copyTargets");
    if (!array)
        return;
    for (qsizetype i = 0; i < array->size(); ++i) {
        const QString where = QStringLiteral("copyTargets[%1]").arg(i);
        if (!array->at(i).isObject()) {
            reader.fail(Error{Error::Code::invalid, QStringLiteral("“%1” must be an object.").arg(where)});
            return;
        }
        const auto target = CopyTarget::fromJson(array->at(i).toObject(), where, warnings);
        if (!target) {
            reader.fail(target.error());
            return;
        }
        settings.copyTargets.append(*target);
    }
}

} // namespace

tl::expected<AppSettings, DecodeError> AppSettings::fromJson(const QJsonObject &object, QStringList *warnings)
{
    AppSettings settings;
    JsonReader reader(object, QString(), warnings);
    if (const auto array = reader.array("servers")) {
        for (qsizetype i = 0; i < array->size() && reader.ok(); ++i) {
            const QString where = QStringLiteral("servers[%1]").arg(i);
            if (!array->at(i).isObject()) {
                reader.fail(Error{Error::Code::invalid, QStringLiteral("“%1” must be an object.").arg(where)});
                break;
            }
            const auto server = Server::fromJson(array->at(i).toObject(), where, warnings);
            if (!server) {
                reader.fail(server.error());
                break;
            }
            settings.servers.append(*server);
        }
    }
    if (reader.ok())
        readCopyTargets(reader, settings, warnings);
    reader.read("destinationPath", settings.destinationPath);
    reader.read("useDateSubfolder", settings.useDateSubfolder);
    reader.read("linkToPreviousBackup", settings.linkToPreviousBackup);
    reader.read("deleteExtraneous", settings.deleteExtraneous);
    reader.read("compress", settings.compress);
    reader.read("notificationsEnabled", settings.notificationsEnabled);
    reader.read("minFreeSpaceGB", settings.minFreeSpaceGB);
    reader.read("retryAttempts", settings.retryAttempts);
    reader.read("massChangePercent", settings.massChangePercent);
    if (settings.massChangePercent < 0 || settings.massChangePercent > 100)
        settings.massChangePercent = ChangeHold::defaultPercent;
    reader.read("verifyParts", settings.verifyParts);
    reader.read("verifyMinutesPerRun", settings.verifyMinutesPerRun);
    settings.verifyParts = std::clamp<qint64>(settings.verifyParts, 0, 3660);
    settings.verifyMinutesPerRun = std::clamp<qint64>(settings.verifyMinutesPerRun, 0, 24 * 60);
    reader.read("verifyRemoteEveryDays", settings.verifyRemoteEveryDays);
    settings.verifyRemoteEveryDays = std::clamp<qint64>(settings.verifyRemoteEveryDays, 0, 3660);
    reader.read("ioTimeoutSeconds", settings.ioTimeoutSeconds);
    reader.read("networkWaitSeconds", settings.networkWaitSeconds);
    reader.read("skipMeteredConnections", settings.skipMeteredConnections);
    reader.read("minBatteryPercent", settings.minBatteryPercent);
    if (settings.minBatteryPercent < 0 || settings.minBatteryPercent > 100)
        settings.minBatteryPercent = AppSettings().minBatteryPercent;
    reader.read("powerWaitSeconds", settings.powerWaitSeconds);
    settings.powerWaitSeconds = std::clamp<qint64>(settings.powerWaitSeconds, 0, 24 * 3600);
    reader.read("healthCheckURL", settings.healthCheckURL);
    reader.read("webhookURL", settings.webhookURL);
    reader.read("reportEmail", settings.reportEmail);
    reader.read("metricsFile", settings.metricsFile);
    reader.read("ntfyURL", settings.ntfyURL);
    reader.read("reportEmailEveryRun", settings.reportEmailEveryRun);
    reader.read("destinationEncrypted", settings.destinationEncrypted);
    reader.read("passphraseFile", settings.passphraseFile);
    reader.read("maxConcurrentRuns", settings.maxConcurrentRuns);
    reader.read("scheduleSpreadMinutes", settings.scheduleSpreadMinutes);
    reader.read("copyOverdueDays", settings.copyOverdueDays);
    settings.copyOverdueDays = std::clamp<qint64>(settings.copyOverdueDays, 1, 3660);
    if (const QJsonValue marker = object.value(QStringLiteral("requireDestinationMarker")); marker.isBool()) {
        settings.requireDestinationMarker = marker.toBool();
    } else {
        bool unused = false;
        reader.read("requireDestinationMarker", unused); // missing or null: unset; another type is wrong
    }
    return reader.result(settings);
}

QByteArray AppSettings::encode() const
{
    // QJsonObject keeps its keys sorted, so the output is sorted at every level.
    return QJsonDocument(toJson()).toJson(QJsonDocument::Indented);
}

tl::expected<AppSettings, DecodeError> AppSettings::decode(const QByteArray &json, QStringList *warnings)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        return tl::unexpected(Error{Error::Code::damaged, QStringLiteral("The file is not valid JSON (")
                                                              + parseError.errorString() + QStringLiteral(" at offset ")
                                                              + QString::number(parseError.offset)
                                                              + QStringLiteral(").")});
    }
    if (!document.isObject())
        return tl::unexpected(
            Error{Error::Code::notAConfiguration, QStringLiteral("The file does not hold a configuration object.")});
    return fromJson(document.object(), warnings);
}

int AppSettings::reassignDuplicateIds()
{
    int reassigned = 0;
    QSet<QUuid> seen;
    for (Server &server : servers) {
        if (seen.contains(server.id)) {
            server.id = QUuid::createUuid();
            ++reassigned;
        }
        seen.insert(server.id);
        QSet<QUuid> pathIDs;
        for (BackupPath &path : server.paths) {
            if (pathIDs.contains(path.id))
                path.id = QUuid::createUuid();
            pathIDs.insert(path.id);
        }
    }
    return reassigned;
}

qsizetype ServerIndex::find(const QList<Server> &servers, const QUuid &id) const
{
    ++m_lookups;
    const auto valid = [&](qsizetype at) { return at >= 0 && at < servers.size() && servers.at(at).id == id; };
    if (const qsizetype at = m_positions.value(id, -1); valid(at))
        return at;
    // A list that changed (or an id that is not there): index it afresh.
    // The first server with an id wins, as a search from the front would.
    m_positions.clear();
    m_positions.reserve(servers.size());
    for (qsizetype at = servers.size() - 1; at >= 0; --at)
        m_positions.insert(servers.at(at).id, at);
    ++m_rebuilds;
    const qsizetype at = m_positions.value(id, -1);
    return valid(at) ? at : -1;
}

Server *AppSettings::server(const QUuid &id)
{
    const qsizetype at = m_index.find(servers, id);
    return at < 0 ? nullptr : &servers[at];
}

const Server *AppSettings::server(const QUuid &id) const
{
    return const_cast<AppSettings *>(this)->server(id);
}
