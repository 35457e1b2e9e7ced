// SPDX-License-Identifier: GPL-3.0-or-later
// JSON form and hashing of one backup path.
#include "core/model/BackupPath.h"

#include "core/model/DisplayName.h"
#include "core/model/JsonReader.h"
#include "core/model/ServerId.h"

#include <QHashFunctions>
#include <QJsonArray>

QString BackupPath::logName() const
{
    return DisplayName::logged(name);
}

QString BackupPath::shownName() const
{
    return DisplayName::shown(name);
}

QJsonObject BackupPath::toJson() const
{
    QJsonObject object{
        {QStringLiteral("id"), ServerId::text(id)},
        {QStringLiteral("name"), name},
        {QStringLiteral("remotePath"), remotePath},
        {QStringLiteral("isDirectory"), isDirectory},
        {QStringLiteral("enabled"), enabled},
        {QStringLiteral("preBackupCommand"), preBackupCommand},
        {QStringLiteral("excludes"), QJsonArray::fromStringList(excludes)},
    };
    // Written when set: paths without one stay as they were.
    if (!postBackupCommand.isEmpty())
        object.insert(QStringLiteral("postBackupCommand"), postBackupCommand);
    if (isDump()) {
        object.insert(QStringLiteral("dumpKind"), dumpKind);
        object.insert(QStringLiteral("dumpDatabase"), dumpDatabase);
        if (!dumpAccount.isEmpty())
            object.insert(QStringLiteral("dumpAccount"), dumpAccount);
    }
    return object;
}

tl::expected<BackupPath, DecodeError> BackupPath::fromJson(const QJsonObject &object, const QString &context,
                                                           QStringList *warnings)
{
    BackupPath path;
    JsonReader reader(object, context, warnings);
    reader.read("id", path.id);
    reader.read("name", path.name);
    reader.read("remotePath", path.remotePath);
    reader.read("isDirectory", path.isDirectory);
    reader.read("enabled", path.enabled);
    reader.read("preBackupCommand", path.preBackupCommand);
    reader.read("postBackupCommand", path.postBackupCommand);
    reader.read("dumpKind", path.dumpKind);
    reader.read("dumpDatabase", path.dumpDatabase);
    reader.read("dumpAccount", path.dumpAccount);
    reader.read("excludes", path.excludes);
    return reader.result(path);
}

size_t qHash(const BackupPath &path, size_t seed)
{
    return qHashMulti(seed, path.id, path.name, path.remotePath, path.isDirectory, path.enabled, path.preBackupCommand,
                      path.postBackupCommand, path.excludes, path.dumpKind, path.dumpDatabase, path.dumpAccount);
}
