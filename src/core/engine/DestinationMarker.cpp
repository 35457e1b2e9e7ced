// SPDX-License-Identifier: GPL-3.0-or-later
// Placing and checking the backup drive's marker file.
#include "core/engine/DestinationMarker.h"

#include "core/system/AppPaths.h"
#include "core/system/FileUtil.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace DestinationMarker {

namespace {

QString markerPath(const QString &destination)
{
    return destination + u'/' + fileName;
}

// The nearest folder at or above `path` that exists.
QString existingAncestor(const QString &path)
{
    QString folder = QDir::cleanPath(path);
    while (!QFileInfo(folder).isDir() && folder != QStringLiteral("/") && !folder.isEmpty())
        folder = QFileInfo(folder).absolutePath();
    return folder;
}

// Whether the folder lies on another file system than the root folder: a
// mounted drive, not the empty mount point it leaves behind.
QString &systemFolder()
{
    static QString folder = QStringLiteral("/");
    return folder;
}

bool onDriveOfItsOwn(const QString &folder)
{
    struct stat here;
    struct stat root;
    return ::stat(QFile::encodeName(folder).constData(), &here) == 0
           && ::stat(QFile::encodeName(systemFolder()).constData(), &root) == 0 && here.st_dev != root.st_dev;
}

} // namespace

tl::expected<void, Error> place(const QString &destinationPath)
{
    const QString destination = AppPaths::expandTilde(destinationPath);
    if (!QFileInfo(destination).isDir()) {
        if (!onDriveOfItsOwn(existingAncestor(destination)))
            return tl::unexpected(Error{Error::Code::notFound, QStringLiteral("The backup drive is not connected (")
                                                                   + destination + QStringLiteral(").")});
        if (const auto made = FileUtil::makeFolder(destination); !made)
            return made;
    }
    if (QFileInfo::exists(markerPath(destination)))
        return {};
    return FileUtil::writeAtomically(markerPath(destination),
                                     "This folder holds Tidewell's backups. Runs write here only while this file "
                                     "is here, so that they never fill the disk a drive is mounted on.\n",
                                     FileUtil::Access::shared);
}

Check beforeRun(const AppSettings &settings)
{
    Check check;
    if (!settings.requiresDestinationMarker())
        return check;
    const QString destination = AppPaths::expandTilde(settings.destinationPath);
    if (QFileInfo::exists(markerPath(destination)))
        return check;
    if (QFileInfo(destination).isDir() && onDriveOfItsOwn(destination) && place(destination)) {
        check.lines << QStringLiteral("Marked ") + destination + QStringLiteral(" as the backup drive (") + fileName
                           + QStringLiteral(").");
        return check;
    }
    check.refused = true;
    check.lines << QStringLiteral("!! The backup drive is not connected (") + destination + QStringLiteral(").")
                << QStringLiteral("   If the backups belong on this disk, turn off “Only back up when this drive "
                                  "is connected” in Settings.");
    return check;
}

Check beforeCopy(const QString &folder, bool required)
{
    Check check;
    const QString target = AppPaths::expandTilde(folder);
    // Never made here: a drive that is not connected leaves, at most, the
    // empty folder it is mounted on.
    if (!QFileInfo(target).isDir()) {
        check.refused = true;
        check.lines << QStringLiteral("The drive is not connected (") + target + QStringLiteral(").");
        return check;
    }
    if (!required || QFileInfo::exists(markerPath(target)))
        return check;
    if (onDriveOfItsOwn(target) && place(target)) {
        check.lines << QStringLiteral("Marked ") + target + QStringLiteral(" as the drive of the copy (") + fileName
                           + QStringLiteral(").");
        return check;
    }
    check.refused = true;
    check.lines << QStringLiteral("The drive is not connected (") + target + QStringLiteral(": no ") + fileName
                       + QStringLiteral(").");
    return check;
}

void setSystemFolderForTesting(const QString &folder)
{
    systemFolder() = folder;
}

} // namespace DestinationMarker
