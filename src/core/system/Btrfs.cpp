// SPDX-License-Identifier: GPL-3.0-or-later
// btrfs subvolumes through libbtrfsutil.
#include "core/system/Btrfs.h"

#include "core/system/Descriptor.h"
#include "core/system/FileUtil.h"

#include <QFile>
#include <QFileInfo>
#include <QUuid>

#include <btrfsutil.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace Btrfs {

namespace {

// The inode number of every subvolume's top folder.
constexpr ino_t subvolumeRootInode = 256;

Error failure(enum btrfs_util_error code, const QString &what)
{
    // libbtrfsutil leaves the system's reason in errno.
    const int error = errno;
    QString reason =
        error != 0 ? QString::fromLocal8Bit(std::strerror(error)) : QString::fromLatin1(btrfs_util_strerror(code));
    const Error::Code kind = error == EPERM || error == EACCES ? Error::Code::denied
                             : error == EEXIST                 ? Error::Code::exists
                                                               : Error::Code::failed;
    return Error{kind, what + QStringLiteral(": ") + reason};
}

QByteArray encoded(const QString &path)
{
    return QFile::encodeName(path);
}

} // namespace

bool isBtrfs(const QString &path)
{
    struct statfs info;
    return ::statfs(encoded(FileUtil::nearestExistingFolder(path)).constData(), &info) == 0
           && info.f_type == BTRFS_SUPER_MAGIC;
}

bool isSubvolume(const QString &path)
{
    return isSubvolumeAt(AT_FDCWD, encoded(path).constData());
}

bool isSubvolumeAt(int parent, const char *name)
{
    struct stat info;
    if (::fstatat(parent, name, &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISDIR(info.st_mode)
        || info.st_ino != subvolumeRootInode)
        return false;
    const Descriptor folder(::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    return folder.isValid() && btrfs_util_is_subvolume_fd(folder.get()) == BTRFS_UTIL_OK;
}

tl::expected<void, Error> createSubvolume(const QString &path)
{
    errno = 0;
    const enum btrfs_util_error code = btrfs_util_create_subvolume(encoded(path).constData(), 0, nullptr, nullptr);
    if (code != BTRFS_UTIL_OK)
        return tl::unexpected(failure(code, QStringLiteral("could not create the subvolume ") + path));
    return {};
}

tl::expected<void, Error> snapshot(const QString &source, const QString &path)
{
    errno = 0;
    const enum btrfs_util_error code =
        btrfs_util_create_snapshot(encoded(source).constData(), encoded(path).constData(), 0, nullptr, nullptr);
    if (code != BTRFS_UTIL_OK)
        return tl::unexpected(
            failure(code, QStringLiteral("could not snapshot ") + source + QStringLiteral(" as ") + path));
    return {};
}

tl::expected<void, Error> setReadOnly(const QString &path, bool readOnly)
{
    errno = 0;
    const enum btrfs_util_error code = btrfs_util_set_subvolume_read_only(encoded(path).constData(), readOnly);
    if (code != BTRFS_UTIL_OK)
        return tl::unexpected(
            failure(code, (readOnly ? QStringLiteral("could not make ") : QStringLiteral("could not make writable "))
                              + path + (readOnly ? QStringLiteral(" read-only") : QString())));
    return {};
}

bool isReadOnly(const QString &path)
{
    bool readOnly = false;
    return btrfs_util_get_subvolume_read_only(encoded(path).constData(), &readOnly) == BTRFS_UTIL_OK && readOnly;
}

bool deleteSubvolumeAt(int parent, const char *name)
{
    const Descriptor folder(::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!folder.isValid())
        return false;
    bool readOnly = false;
    if (btrfs_util_get_subvolume_read_only_fd(folder.get(), &readOnly) == BTRFS_UTIL_OK && readOnly)
        btrfs_util_set_subvolume_read_only_fd(folder.get(), false);
    return btrfs_util_delete_subvolume_fd(parent, name, 0) == BTRFS_UTIL_OK;
}

bool canMakeSubvolumes(const QString &folder)
{
    const QString probe =
        folder + QStringLiteral("/.tidewell-probe-") + QUuid::createUuid().toString(QUuid::Id128).left(12);
    if (!createSubvolume(probe))
        return false;
    const QByteArray name = QFile::encodeName(QFileInfo(probe).fileName());
    const Descriptor parent(::open(encoded(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!parent.isValid())
        return false;
    // An empty subvolume goes with rmdir where the kernel's delete is root's.
    return deleteSubvolumeAt(parent.get(), name.constData())
           || ::unlinkat(parent.get(), name.constData(), AT_REMOVEDIR) == 0;
}

} // namespace Btrfs
