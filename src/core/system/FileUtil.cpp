// SPDX-License-Identifier: GPL-3.0-or-later
// Atomic file replacement and folder creation with their reasons for failing.
#include "core/system/FileUtil.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStorageInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace FileUtil {

namespace {

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
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

tl::expected<void, QString> writeAtomically(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    // A file we may not replace directly must not be written in place either.
    file.setDirectWriteFallback(false);
    // Unbuffered, so a full disk fails the write itself rather than a flush
    // that commit() would not look at.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return tl::unexpected(file.errorString());
    const auto fail = [&file](const QString &error) {
        file.cancelWriting();
        return tl::unexpected(error);
    };
    if (file.write(bytes) != bytes.size() || !file.flush())
        return fail(file.errorString());
    struct stat written;
    if (::fstat(file.handle(), &written) != 0)
        return fail(systemError(errno));
    if (written.st_size != bytes.size())
        return fail(QStringLiteral("only %1 of %2 bytes were written").arg(qint64(written.st_size)).arg(bytes.size()));
    if (::fsync(file.handle()) != 0)
        return fail(systemError(errno));
    if (!file.commit())
        return tl::unexpected(file.errorString());
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

tl::expected<void, QString> makeFolder(const QString &path)
{
    std::error_code code;
    const std::filesystem::path target(path.toStdString());
    std::filesystem::create_directories(target, code);
    if (!code && std::filesystem::is_directory(target, code))
        return {};
    if (code)
        return tl::unexpected(QString::fromStdString(code.message()));
    return tl::unexpected(QStringLiteral("“") + path + QStringLiteral("” exists and is not a folder"));
}

tl::expected<void, QString> removeTree(const QString &path)
{
    std::error_code code;
    // remove_all deletes a symbolic link itself, not what it points to.
    std::filesystem::remove_all(std::filesystem::path(QFile::encodeName(path).toStdString()), code);
    if (code)
        return tl::unexpected(QString::fromStdString(code.message()));
    return {};
}

tl::expected<bool, QString> exchange(const QString &first, const QString &second)
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
    return tl::unexpected(systemError(errno));
}

tl::expected<void, QString> rename(const QString &from, const QString &to)
{
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        return tl::unexpected(systemError(errno));
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
