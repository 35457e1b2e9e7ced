// SPDX-License-Identifier: GPL-3.0-or-later
// Setting a server's members by name, and saying how two forms differ.
#include "core/model/ServerFields.h"

#include "core/model/Schedule.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTime>

#include <limits>
#include <span>
#include <variant>

namespace ServerFields {

namespace {

template<typename T>
using Member = std::variant<QString T::*, qint64 T::*, bool T::*, QStringList T::*>;

template<typename T>
struct Field
{
    const char *key;
    Member<T> member;
    // The range of a number.
    qint64 least = 0;
    qint64 most = std::numeric_limits<qint64>::max();
};

const Field<Server> serverFields[] = {
    {"name", &Server::name},
    {"host", &Server::host},
    {"port", &Server::port, 1, 65535},
    {"username", &Server::username},
    {"privateKeyPath", &Server::privateKeyPath},
    {"useSSHAgent", &Server::useSSHAgent},
    {"scheduleEnabled", &Server::scheduleEnabled},
    {"scheduleTime", &Server::scheduleTime},
    {"scheduleKind", &Server::scheduleKind},
    {"scheduleEveryHours", &Server::scheduleEveryHours, 1, 12},
    {"scheduleWeekday", &Server::scheduleWeekday, 1, 7},
    {"scheduleCalendar", &Server::scheduleCalendar},
    {"keepHourly", &Server::keepHourly},
    {"retentionCount", &Server::retentionCount},
    {"keepWeekly", &Server::keepWeekly},
    {"keepMonthly", &Server::keepMonthly},
    {"bandwidthLimitKBps", &Server::bandwidthLimitKBps, 0, 10'000'000},
    {"sshCiphers", &Server::sshCiphers},
    {"healthCheckURL", &Server::healthCheckURL},
    {"preserveHardLinks", &Server::preserveHardLinks},
    {"preserveACLs", &Server::preserveACLs},
    {"preserveXattrs", &Server::preserveXattrs},
    {"numericIds", &Server::numericIds},
    {"sparseFiles", &Server::sparseFiles},
    {"preserveOwnership", &Server::preserveOwnership},
    {"remoteRsyncPath", &Server::remoteRsyncPath},
    {"remoteSudo", &Server::remoteSudo},
    {"snapshotMethod", &Server::snapshotMethod},
    {"knownHostKeys", &Server::knownHostKeys},
    {"localBeforeCommand", &Server::localBeforeCommand},
    {"localAfterSuccessCommand", &Server::localAfterSuccessCommand},
    {"localAfterFailureCommand", &Server::localAfterFailureCommand},
    {"hookTimeoutSeconds", &Server::hookTimeoutSeconds, 1, 86400},
};

const Field<AppSettings> settingsFields[] = {
    {"destinationPath", &AppSettings::destinationPath},
    {"useDateSubfolder", &AppSettings::useDateSubfolder},
    {"linkToPreviousBackup", &AppSettings::linkToPreviousBackup},
    {"deleteExtraneous", &AppSettings::deleteExtraneous},
    {"compress", &AppSettings::compress},
    {"notificationsEnabled", &AppSettings::notificationsEnabled},
    {"minFreeSpaceGB", &AppSettings::minFreeSpaceGB, 0, 1024},
    {"retryAttempts", &AppSettings::retryAttempts, 0, 10},
    {"ioTimeoutSeconds", &AppSettings::ioTimeoutSeconds, 0, 86400},
    {"networkWaitSeconds", &AppSettings::networkWaitSeconds, 0, 3600},
    {"skipMeteredConnections", &AppSettings::skipMeteredConnections},
    {"minBatteryPercent", &AppSettings::minBatteryPercent, 0, 100},
    {"powerWaitSeconds", &AppSettings::powerWaitSeconds, 0, 3600},
    {"maxConcurrentRuns", &AppSettings::maxConcurrentRuns, 1, 32},
    {"scheduleSpreadMinutes", &AppSettings::scheduleSpreadMinutes, 0, 720},
    {"healthCheckURL", &AppSettings::healthCheckURL},
    {"webhookURL", &AppSettings::webhookURL},
    {"reportEmail", &AppSettings::reportEmail},
    {"reportEmailEveryRun", &AppSettings::reportEmailEveryRun},
    {"massChangePercent", &AppSettings::massChangePercent, 0, 100},
    {"verifyParts", &AppSettings::verifyParts, 0, 365},
    {"verifyMinutesPerRun", &AppSettings::verifyMinutesPerRun},
    {"verifyRemoteEveryDays", &AppSettings::verifyRemoteEveryDays},
    {"metricsFile", &AppSettings::metricsFile},
    {"ntfyURL", &AppSettings::ntfyURL},
    {"passphraseFile", &AppSettings::passphraseFile},
    {"copyOverdueDays", &AppSettings::copyOverdueDays, 1, 3660},
};

const Field<BackupPath> pathFields[] = {
    {"name", &BackupPath::name},
    {"remotePath", &BackupPath::remotePath},
    {"isDirectory", &BackupPath::isDirectory},
    {"enabled", &BackupPath::enabled},
    {"preBackupCommand", &BackupPath::preBackupCommand},
    {"postBackupCommand", &BackupPath::postBackupCommand},
    {"dumpKind", &BackupPath::dumpKind},
    {"dumpDatabase", &BackupPath::dumpDatabase},
    {"dumpAccount", &BackupPath::dumpAccount},
    {"excludes", &BackupPath::excludes},
};

tl::expected<void, Error> refused(const QString &message)
{
    return tl::unexpected(Error{Error::Code::invalid, message});
}

QString tr(const char *text)
{
    return QCoreApplication::translate("ServerFields", text);
}

template<typename T>
tl::expected<void, Error> assignNumber(qint64 &target, const Field<T> &field, const QString &value)
{
    bool ok = false;
    const qint64 number = value.trimmed().toLongLong(&ok);
    if (ok && number >= field.least && number <= field.most) {
        target = number;
        return {};
    }
    if (field.most == std::numeric_limits<qint64>::max())
        return refused(tr("%1 takes a whole number from %2 up, not “%3”")
                           .arg(QLatin1String(field.key))
                           .arg(field.least)
                           .arg(value));
    return refused(tr("%1 takes a whole number from %2 to %3, not “%4”")
                       .arg(QLatin1String(field.key))
                       .arg(field.least)
                       .arg(field.most)
                       .arg(value));
}

tl::expected<void, Error> assignText(QString &target, const QString &key, const QString &value)
{
    if (key == QStringLiteral("scheduleKind")) {
        if (!Schedule::kindFromName(value))
            return refused(tr("scheduleKind takes daily, hours, weekdays, weekly or custom, not “%1”").arg(value));
        target = value;
        return {};
    }
    if (key == QStringLiteral("snapshotMethod")) {
        if (!Server::isSnapshotMethod(value))
            return refused(tr("snapshotMethod takes auto, hardlinks or btrfs, not “%1”").arg(value));
        target = value;
        return {};
    }
    if (key == QStringLiteral("scheduleCalendar")) {
        if (!value.isEmpty() && !Schedule::isCalendarText(value))
            return refused(tr("scheduleCalendar takes a systemd calendar expression (letters, digits, blanks and * , . "
                              ": / ~ + - _), "
                              "not “%1”")
                               .arg(value));
        target = value.simplified();
        return {};
    }
    if (key != QStringLiteral("scheduleTime")) {
        target = value;
        return {};
    }
    const QTime time = QTime::fromString(value.trimmed(), QStringLiteral("H:mm"));
    if (!time.isValid())
        return refused(tr("scheduleTime takes a time of day as HH:MM, not “%1”").arg(value));
    target = time.toString(QStringLiteral("HH:mm"));
    return {};
}

// A JSON array of texts, or one text.
tl::expected<void, Error> assignList(QStringList &target, const QString &key, const QString &value)
{
    if (!value.trimmed().startsWith(u'[')) {
        target = value.isEmpty() ? QStringList() : QStringList{value};
        return {};
    }
    const QJsonDocument document = QJsonDocument::fromJson(value.toUtf8());
    QStringList items;
    for (const auto &item : document.array()) {
        if (!item.isString())
            return refused(tr("%1 takes a JSON array of texts, not “%2”").arg(key, value));
        items << item.toString();
    }
    if (!document.isArray())
        return refused(tr("%1 takes a JSON array of texts, not “%2”").arg(key, value));
    target = items;
    return {};
}

template<typename T>
tl::expected<void, Error> assign(T &target, std::span<const Field<T>> fields, const QString &assignment)
{
    const qsizetype equals = assignment.indexOf(u'=');
    if (equals <= 0)
        return refused(tr("“%1” is not KEY=VALUE").arg(assignment));
    const QString key = assignment.left(equals);
    const QString value = assignment.mid(equals + 1);
    QStringList known;
    for (const Field<T> &field : fields) {
        known << QLatin1String(field.key);
        if (key != QLatin1String(field.key))
            continue;
        return std::visit(
            [&](auto member) -> tl::expected<void, Error> {
                auto &slot = target.*member;
                using Slot = std::remove_reference_t<decltype(slot)>;
                if constexpr (std::is_same_v<Slot, bool>) {
                    if (value != QStringLiteral("true") && value != QStringLiteral("false"))
                        return refused(tr("%1 takes true or false, not “%2”").arg(key, value));
                    slot = value == QStringLiteral("true");
                    return {};
                } else if constexpr (std::is_same_v<Slot, qint64>) {
                    if (key == QStringLiteral("scheduleEveryHours")
                        && !Schedule::isEveryHoursChoice(value.trimmed().toLongLong()))
                        return refused(tr("scheduleEveryHours takes 1, 2, 3, 4, 6, 8 or 12, not “%1”").arg(value));
                    return assignNumber(slot, field, value);
                } else if constexpr (std::is_same_v<Slot, QString>) {
                    return assignText(slot, key, value);
                } else {
                    return assignList(slot, key, value);
                }
            },
            field.member);
    }
    return refused(tr("“%1” is not a key that can be set; these can: %2").arg(key, known.join(QStringLiteral(", "))));
}

// How a member is shown in a difference: texts as they are, the rest as JSON.
QString shown(const QJsonValue &value)
{
    if (value.isString())
        return value.toString().isEmpty() ? QStringLiteral("“”") : value.toString();
    if (value.isUndefined() || value.isNull())
        return QStringLiteral("“”");
    return QString::fromUtf8(QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact)).mid(1).chopped(1);
}

// A member the form leaves out when it is off or empty.
template<typename T>
QJsonValue member(const QJsonObject &object, const Field<T> &field)
{
    const QJsonValue value = object.value(QLatin1String(field.key));
    if (!value.isUndefined())
        return value;
    // A member the file leaves out when it has its default: that default.
    static const T defaults{};
    return std::visit(
        [](auto slot) -> QJsonValue {
            const auto &fallback = defaults.*slot;
            using Slot = std::remove_cv_t<std::remove_reference_t<decltype(fallback)>>;
            if constexpr (std::is_same_v<Slot, QStringList>)
                return QJsonArray::fromStringList(fallback);
            else
                return QJsonValue(fallback);
        },
        field.member);
}

template<typename T>
QStringList memberDifferences(const QJsonObject &before, const QJsonObject &after, std::span<const Field<T>> fields)
{
    QStringList lines;
    for (const Field<T> &field : fields) {
        const QJsonValue old = member(before, field);
        const QJsonValue now = member(after, field);
        if (old != now)
            lines << difference(QLatin1String(field.key), old, now);
    }
    return lines;
}

// The path of `paths` with the id of `path`, else the first with its name.
std::optional<QJsonObject> counterpart(const QJsonArray &paths, const QJsonObject &path)
{
    const QString id = path.value(QStringLiteral("id")).toString();
    for (const auto &candidate : paths) {
        if (candidate.toObject().value(QStringLiteral("id")).toString() == id)
            return candidate.toObject();
    }
    for (const auto &candidate : paths) {
        if (candidate.toObject().value(QStringLiteral("name")) == path.value(QStringLiteral("name")))
            return candidate.toObject();
    }
    return std::nullopt;
}

QString pathName(const QJsonObject &path)
{
    return path.value(QStringLiteral("name")).toString();
}

} // namespace

tl::expected<void, Error> set(Server &server, const QString &assignment)
{
    Server changed = server;
    const auto assigned = assign<Server>(changed, serverFields, assignment);
    if (!assigned)
        return assigned;
    changed.markCorrected(assignment.section(u'=', 0, 0));
    server = changed;
    return {};
}

tl::expected<void, Error> set(BackupPath &path, const QString &assignment)
{
    return assign<BackupPath>(path, pathFields, assignment);
}

tl::expected<void, Error> set(AppSettings &settings, const QString &assignment)
{
    return assign<AppSettings>(settings, settingsFields, assignment);
}

QStringList differences(const AppSettings &before, const AppSettings &after)
{
    return memberDifferences<AppSettings>(before.toJson(), after.toJson(), settingsFields);
}

QString difference(const QString &key, const QJsonValue &before, const QJsonValue &after)
{
    if (key.endsWith(QStringLiteral("URL")) || key.endsWith(QStringLiteral("Email")))
        return QCoreApplication::translate("ServerFields", "%1 changed").arg(key);
    return QStringLiteral("%1 %2 → %3").arg(key, shown(before), shown(after));
}

QStringList differences(const QJsonObject &before, const QJsonObject &after)
{
    QStringList lines = memberDifferences<Server>(before, after, serverFields);
    const QJsonArray oldPaths = before.value(QStringLiteral("paths")).toArray();
    const QJsonArray newPaths = after.value(QStringLiteral("paths")).toArray();
    for (const auto &value : newPaths) {
        const QJsonObject path = value.toObject();
        const std::optional<QJsonObject> old = counterpart(oldPaths, path);
        if (!old) {
            lines << tr("path “%1” added").arg(pathName(path));
            continue;
        }
        for (const QString &line : memberDifferences<BackupPath>(*old, path, pathFields))
            lines << QStringLiteral("path “%1”: %2").arg(pathName(path), line);
    }
    for (const auto &value : oldPaths) {
        if (!counterpart(newPaths, value.toObject()))
            lines << tr("path “%1” removed").arg(pathName(value.toObject()));
    }
    return lines;
}

} // namespace ServerFields
