// SPDX-License-Identifier: GPL-3.0-or-later
// Tidewell's data folder and tilde expansion.
#include "core/system/AppPaths.h"

#include "core/model/ServerId.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

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

QString runtimeFolder()
{
    QString root = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (root.isEmpty()) {
        const QString own = QStringLiteral("/run/user/") + QString::number(::getuid());
        struct stat status = {};
        if (::stat(QFile::encodeName(own).constData(), &status) == 0 && S_ISDIR(status.st_mode)
            && status.st_uid == ::getuid())
            root = own;
    }
    return root.isEmpty() || !QDir::isAbsolutePath(root) ? QString()
                                                         : QDir::cleanPath(root) + QStringLiteral("/tidewell");
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
