// SPDX-License-Identifier: GPL-3.0-or-later
// Atomic file replacement and folder creation with their reasons for failing.
#include "core/system/FileUtil.h"

#include "core/system/Btrfs.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStorageInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <linux/fs.h>
#include <string>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace FileUtil {

namespace {

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// The error of a failed system call; `prefix` names what it was called on.
Error failure(int error, const QString &prefix = QString())
{
    return Error::fromErrno(error, prefix + systemError(error));
}

Error leftoversError(int error, qint64 entries)
{
    return Error::fromErrno(
        error, systemError(error)
                   + (entries == 1 ? QStringLiteral(" (1 entry)") : QStringLiteral(" (%1 entries)").arg(entries)));
}

// Makes the rename that replaced a file in `folder` survive a power cut.
void syncFolder(const QString &folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

tl::expected<void, Error> writeAtomically(const QString &path, const QByteArray &bytes, Access access)
{
    QSaveFile file(path);
    // A file we may not replace directly must not be written in place either.
    file.setDirectWriteFallback(false);
    // Unbuffered, so a full disk fails the write itself rather than a flush
    // that commit() would not look at.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return tl::unexpected(Error{Error::Code::notWritten, file.errorString()});
    const auto fail = [&file](const Error &error) {
        file.cancelWriting();
        return tl::unexpected(error);
    };
    if (access == Access::ownerOnly && ::fchmod(file.handle(), S_IRUSR | S_IWUSR) != 0)
        return fail(failure(errno));
    if (file.write(bytes) != bytes.size() || !file.flush())
        return fail(Error{Error::Code::notWritten, file.errorString()});
    struct stat written;
    if (::fstat(file.handle(), &written) != 0)
        return fail(failure(errno));
    if (written.st_size != bytes.size())
        return fail(
            Error{Error::Code::notWritten,
                  QStringLiteral("only %1 of %2 bytes were written").arg(qint64(written.st_size)).arg(bytes.size())});
    if (::fsync(file.handle()) != 0)
        return fail(failure(errno));
    if (!file.commit())
        return tl::unexpected(Error{Error::Code::notWritten, file.errorString()});
    syncFolder(QFileInfo(path).absolutePath());
    return {};
}

void removeStaleTemporaries(const QString &path)
{
    // QSaveFile writes to the name followed by a dot and six random characters.
    const QFileInfo target(path);
    const QDir folder = target.absoluteDir();
    static const QRegularExpression temporary(QStringLiteral("^\\.[A-Za-z0-9]{6}$"));
    const QStringList names =
        folder.entryList({target.fileName() + QStringLiteral(".??????")}, QDir::Files | QDir::Hidden);
    for (const QString &name : names) {
        if (temporary.match(QStringView(name).mid(target.fileName().size())).hasMatch())
            QFile::remove(folder.filePath(name));
    }
}

tl::expected<std::optional<QByteArray>, Error> readRegularFile(const QString &path, qint64 maxBytes)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return std::optional<QByteArray>();
        return tl::unexpected(failure(errno));
    }
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return tl::unexpected(Error{Error::Code::unreadable, QStringLiteral("it is not a regular file")});
    }
    if (maxBytes >= 0 && info.st_size > maxBytes) {
        ::close(fd);
        return tl::unexpected(Error{Error::Code::tooLarge, QStringLiteral("it is larger than %1 bytes").arg(maxBytes)});
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return tl::unexpected(Error{Error::Code::unreadable, file.errorString()});
    }
    QByteArray bytes = maxBytes >= 0 ? file.read(maxBytes + 1) : file.readAll();
    if (maxBytes >= 0 && bytes.size() > maxBytes)
        return tl::unexpected(Error{Error::Code::tooLarge, QStringLiteral("it is larger than %1 bytes").arg(maxBytes)});
    if (file.error() != QFileDevice::NoError)
        return tl::unexpected(Error{Error::Code::unreadable, file.errorString()});
    return std::optional<QByteArray>(std::move(bytes));
}

tl::expected<void, Error> makePrivateFolder(const QString &path)
{
    return makeFolderPrivate(path).map([](const std::optional<unsigned> &) {});
}

tl::expected<std::optional<unsigned>, Error> makeFolderPrivate(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat info;
    const bool existed = ::stat(name.constData(), &info) == 0;
    if (!existed && ::mkdir(name.constData(), S_IRWXU) != 0 && errno != EEXIST) {
        // Its parents first, then the folder itself for this user alone.
        if (const auto made = makeFolder(path); !made)
            return tl::unexpected(made.error());
    }
    if (::stat(name.constData(), &info) != 0)
        return tl::unexpected(failure(errno));
    if (!S_ISDIR(info.st_mode))
        return tl::unexpected(
            Error{Error::Code::exists, QStringLiteral("“") + path + QStringLiteral("” exists and is not a folder")});
    if (info.st_uid != ::geteuid() || (info.st_mode & 077) == 0)
        return std::optional<unsigned>();
    if (::chmod(name.constData(), S_IRWXU) != 0)
        return tl::unexpected(failure(errno));
    return existed ? std::optional<unsigned>(info.st_mode & 07777) : std::nullopt;
}

QString nearestExistingFolder(const QString &path)
{
    QString folder = QDir::cleanPath(QDir(path).absolutePath());
    while (!QFileInfo(folder).isDir() && folder != QStringLiteral("/"))
        folder = QFileInfo(folder).absolutePath();
    return folder;
}

tl::expected<void, Error> makeFolder(const QString &path)
{
    std::error_code code;
    const std::filesystem::path target(path.toStdString());
    std::filesystem::create_directories(target, code);
    if (!code && std::filesystem::is_directory(target, code))
        return {};
    if (code)
        return tl::unexpected(Error::fromErrno(code.value(), QString::fromStdString(code.message())));
    return tl::unexpected(
        Error{Error::Code::exists, QStringLiteral("“") + path + QStringLiteral("” exists and is not a folder")});
}

namespace {

// What removing a tree could not remove: how many entries, and the first reason.
struct Leftovers
{
    qint64 entries = 0;
    int firstError = 0;

    void add(int error)
    {
        if (entries++ == 0)
            firstError = error;
    }
};

// Clears the immutable and append-only flags of an entry, where the process
// may (it takes CAP_LINUX_IMMUTABLE); false when nothing could be cleared.
bool clearProtectionFlags(int parent, const char *name)
{
    const int fd = ::openat(parent, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return false;
    int flags = 0;
    bool cleared = false;
    if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 && (flags & (FS_IMMUTABLE_FL | FS_APPEND_FL))) {
        flags &= ~(FS_IMMUTABLE_FL | FS_APPEND_FL);
        cleared = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return cleared;
}

void removeEntry(int parent, const char *name, Leftovers &leftovers);

// Empties the folder `name` of `parent`, making it writable first: a backup
// holds the server's modes, read-only folders included.
void removeContents(int parent, const char *name, const struct stat &info, Leftovers &leftovers)
{
    // When this fails, opening or emptying the folder below says why.
    if ((info.st_mode & S_IRWXU) != S_IRWXU && ::fchmodat(parent, name, (info.st_mode & 07777) | S_IRWXU, 0) != 0)
        errno = 0;
    // Nothing leaves an append-only (or immutable) folder until the flag is off.
    clearProtectionFlags(parent, name);
    const int fd = ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        leftovers.add(errno);
        return;
    }
    DIR *folder = ::fdopendir(fd);
    if (!folder) {
        leftovers.add(errno);
        ::close(fd);
        return;
    }
    std::vector<std::string> names;
    while (const dirent *entry = ::readdir(folder)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            names.emplace_back(entry->d_name);
    }
    for (const std::string &child : names)
        removeEntry(fd, child.c_str(), leftovers);
    ::closedir(folder);
}

// Removes one entry and everything under it; a link is removed, never followed.
void removeEntry(int parent, const char *name, Leftovers &leftovers)
{
    struct stat info;
    if (::fstatat(parent, name, &info, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno != ENOENT)
            leftovers.add(errno);
        return;
    }
    const bool folder = S_ISDIR(info.st_mode);
    // A btrfs snapshot goes whole where the kernel lets this user delete
    // subvolumes; otherwise (made writable) it is emptied and removed as a folder.
    if (folder && Btrfs::isSubvolumeAt(parent, name) && Btrfs::deleteSubvolumeAt(parent, name))
        return;
    const qint64 before = leftovers.entries;
    if (folder)
        removeContents(parent, name, info, leftovers);
    if (leftovers.entries > before)
        return; // the folder is not empty; what is left in it is counted already
    const int flags = folder ? AT_REMOVEDIR : 0;
    if (::unlinkat(parent, name, flags) == 0 || errno == ENOENT)
        return;
    const int error = errno;
    if ((error == EPERM || error == EACCES) && clearProtectionFlags(parent, name)
        && ::unlinkat(parent, name, flags) == 0)
        return;
    leftovers.add(error);
}

} // namespace

tl::expected<void, Error> removeTreeAt(int parent, const QByteArray &name)
{
    Leftovers leftovers;
    removeEntry(parent, name.constData(), leftovers);
    if (leftovers.entries == 0)
        return {};
    return tl::unexpected(leftoversError(leftovers.firstError, leftovers.entries));
}

tl::expected<Descriptor, Error> openFolderAt(int parent, const QByteArray &name)
{
    const int fd = ::openat(parent, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return tl::unexpected(failure(errno));
    return Descriptor(fd);
}

tl::expected<Descriptor, Error> openFolder(const QString &path, bool create)
{
    const QString absolute = QDir::cleanPath(QDir(path).absolutePath());
    Descriptor current(::open("/", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!current.isValid())
        return tl::unexpected(failure(errno));
    QStringList names = absolute.split(u'/', Qt::SkipEmptyParts);
    QString reached;
    // Links followed on the way, so a loop of them ends.
    int links = 0;
    while (!names.isEmpty()) {
        const QString name = names.takeFirst();
        const QByteArray encoded = QFile::encodeName(name);
        if (name == QStringLiteral("..")) {
            current.reset(::openat(current.get(), "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
            if (!current.isValid())
                return tl::unexpected(failure(errno));
            reached = QFileInfo(reached).path();
            continue;
        }
        reached += u'/' + name;
        struct stat info;
        if (::fstatat(current.get(), encoded.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno != ENOENT || !create)
                return tl::unexpected(failure(errno, reached + QStringLiteral(": ")));
            if (::mkdirat(current.get(), encoded.constData(), 0777) != 0 && errno != EEXIST)
                return tl::unexpected(failure(errno, reached + QStringLiteral(": ")));
            names.prepend(name);
            reached.chop(name.size() + 1);
            continue;
        }
        if (S_ISLNK(info.st_mode)) {
            if (info.st_uid != ::geteuid() && info.st_uid != 0)
                return tl::unexpected(
                    Error{Error::Code::denied,
                          reached + QStringLiteral(" is a link that belongs to another user: it is not followed")});
            if (++links > 40)
                return tl::unexpected(failure(ELOOP, reached + QStringLiteral(": ")));
            QByteArray target(4096, Qt::Uninitialized);
            const ssize_t length = ::readlinkat(current.get(), encoded.constData(), target.data(), target.size());
            if (length < 0 || length >= target.size())
                return tl::unexpected(failure(length < 0 ? errno : ENAMETOOLONG, reached + QStringLiteral(": ")));
            target.truncate(length);
            const QString link = QFile::decodeName(target);
            const QStringList rest = link.split(u'/', Qt::SkipEmptyParts);
            if (link.startsWith(u'/')) {
                current.reset(::open("/", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
                reached.clear();
            } else {
                reached = QFileInfo(reached).path();
                if (reached == u'/')
                    reached.clear();
            }
            for (qsizetype i = rest.size() - 1; i >= 0; --i) {
                if (rest.at(i) != u'.')
                    names.prepend(rest.at(i));
            }
            continue;
        }
        if (!S_ISDIR(info.st_mode))
            return tl::unexpected(Error{Error::Code::exists, reached + QStringLiteral(" is not a folder")});
        auto next = openFolderAt(current.get(), encoded);
        if (!next)
            return tl::unexpected(Error{next.error().code, reached + QStringLiteral(": ") + next.error().message});
        current = std::move(*next);
    }
    return current;
}

tl::expected<void, Error> removeTree(const QString &path)
{
    const QFileInfo entry(path);
    const QByteArray parentPath = QFile::encodeName(entry.absolutePath());
    const QByteArray name = QFile::encodeName(entry.fileName());
    const int parent = ::open(parentPath.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (parent < 0)
        return errno == ENOENT ? tl::expected<void, Error>() : tl::unexpected(failure(errno));
    Leftovers leftovers;
    removeEntry(parent, name.constData(), leftovers);
    ::close(parent);
    if (leftovers.entries == 0)
        return {};
    return tl::unexpected(leftoversError(leftovers.firstError, leftovers.entries));
}

tl::expected<bool, Error> exchange(const QString &first, const QString &second)
{
    if (::renameat2(AT_FDCWD, QFile::encodeName(first).constData(), AT_FDCWD, QFile::encodeName(second).constData(),
                    RENAME_EXCHANGE)
        == 0) {
        syncFolder(QFileInfo(first).absolutePath());
        return true;
    }
    // File systems without the exchange (some network and FUSE ones) say so.
    if (errno == EINVAL || errno == ENOSYS || errno == ENOTSUP)
        return false;
    return tl::unexpected(failure(errno));
}

tl::expected<void, Error> rename(const QString &from, const QString &to)
{
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        return tl::unexpected(failure(errno));
    syncFolder(QFileInfo(to).absolutePath());
    return {};
}

std::optional<double> freeSpaceGB(const QString &folder)
{
    const QStorageInfo storage(folder);
    if (!storage.isValid())
        return std::nullopt;
    return double(storage.bytesAvailable()) / 1073741824.0;
}

} // namespace FileUtil
