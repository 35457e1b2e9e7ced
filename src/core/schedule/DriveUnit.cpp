// SPDX-License-Identifier: GPL-3.0-or-later
// Naming a drive's mount unit as systemd does, and the unit started by it.
#include "core/schedule/DriveUnit.h"

#include "core/schedule/SystemdUnits.h"

#include <QDir>
#include <QStorageInfo>

namespace DriveUnit {

QString mountUnitName(const QString &mountPoint)
{
    QString path = QDir::cleanPath(mountPoint);
    while (path.startsWith(u'/'))
        path.remove(0, 1);
    if (path.isEmpty())
        return QStringLiteral("-.mount");
    QString name;
    const QByteArray bytes = path.toUtf8();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes.at(i);
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ':'
                           || c == '_' || (c == '.' && i > 0);
        if (c == '/')
            name += u'-';
        else if (plain)
            name += QLatin1Char(c);
        else
            name += QStringLiteral("\\x") + QString::number(uchar(c), 16).rightJustified(2, u'0');
    }
    return name + QStringLiteral(".mount");
}

std::optional<QString> mountPointOf(const QString &path)
{
    // The nearest folder that exists: a destination not made yet lies on
    // the file system of its parent.
    QString existing = QDir::cleanPath(path);
    while (!QFileInfo::exists(existing) && existing != QStringLiteral("/") && !existing.isEmpty())
        existing = QFileInfo(existing).absolutePath();
    const QStorageInfo storage(existing);
    if (!storage.isValid() || storage.isRoot() || storage.rootPath().isEmpty())
        return std::nullopt;
    return storage.rootPath();
}

QString service(const QString &executable, const QString &mountUnit)
{
    return QStringLiteral("[Unit]\n"
                          "Description=Tidewell: back up when the backup drive is connected\n"
                          "After=")
           + mountUnit
           + QStringLiteral("\n\n"
                            "[Service]\n"
                            "Type=oneshot\n"
                            "ExecStart=")
           + SystemdUnits::execCommand(executable, {QStringLiteral("--run-overdue")})
           + QStringLiteral("\n\n"
                            "[Install]\n"
                            "WantedBy=")
           + mountUnit + u'\n';
}

std::optional<QString> wantedBy(const QString &serviceText)
{
    return SystemdUnits::timerValue(serviceText, QStringLiteral("WantedBy"));
}

} // namespace DriveUnit
