// SPDX-License-Identifier: GPL-3.0-or-later
// Tidewell's data folder and tilde expansion.
#include "core/system/AppPaths.h"

#include "core/model/ServerId.h"

#include <QDir>
#include <QStandardPaths>

#include <pwd.h>

namespace AppPaths {

QString dataFolder()
{
    const QStringList roots = QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation);
    const QString root = roots.isEmpty() ? QDir::homePath() + QStringLiteral("/.local/share") : roots.first();
    return root + QStringLiteral("/Tidewell");
}

QString configFile()
{
    return dataFolder() + QStringLiteral("/config.json");
}

QString runLockFile(const QUuid &serverID)
{
    return dataFolder() + QStringLiteral("/locks/") + ServerId::text(serverID) + QStringLiteral(".lock");
}

QString pauseRequestFile(const QUuid &serverID)
{
    return dataFolder() + QStringLiteral("/locks/") + ServerId::text(serverID) + QStringLiteral(".pause");
}

QString runSlotFile(int slot)
{
    return dataFolder() + QStringLiteral("/locks/slot-") + QString::number(slot) + QStringLiteral(".lock");
}

QString homeFolder()
{
    return QDir::homePath();
}

QString expandTilde(const QString &path)
{
    if (!path.startsWith(u'~'))
        return path;
    const qsizetype slash = path.indexOf(u'/');
    const QString user = path.mid(1, slash < 0 ? -1 : slash - 1);
    const QString rest = slash < 0 ? QString() : path.mid(slash);
    if (user.isEmpty())
        return homeFolder() + rest;
    const QByteArray name = user.toLocal8Bit();
    const passwd *entry = ::getpwnam(name.constData());
    if (!entry || !entry->pw_dir)
        return path;
    return QString::fromLocal8Bit(entry->pw_dir) + rest;
}

} // namespace AppPaths
