// SPDX-License-Identifier: GPL-3.0-or-later
// Open-file-description locks on lock files, released by the kernel with the process.
#include "core/system/FileLock.h"

#include "core/system/FileUtil.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

// The whole file, as every lock here covers it; l_pid must be 0 for OFD locks.
struct flock wholeFile(short type)
{
    struct flock range = {};
    range.l_type = type;
    range.l_whence = SEEK_SET;
    return range;
}

} // namespace

FileLock::FileLock(FileLock &&other) noexcept
    : m_fd(std::exchange(other.m_fd, -1))
{ }

FileLock &FileLock::operator=(FileLock &&other) noexcept
{
    if (this != &other) {
        unlock();
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

FileLock::~FileLock()
{
    unlock();
}

void FileLock::unlock()
{
    if (m_fd >= 0)
        ::close(m_fd); // closing the last descriptor releases the lock
    m_fd = -1;
}

tl::expected<FileLock, FileLock::Error> FileLock::take(const QString &path, bool wait)
{
    if (const auto folder = FileUtil::makeFolder(QFileInfo(path).absolutePath()); !folder)
        return tl::unexpected(Error{false, folder.error()});
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return tl::unexpected(Error{false, QString::fromLocal8Bit(std::strerror(errno))});
    struct flock whole = wholeFile(F_WRLCK);
    int result;
    do {
        result = ::fcntl(fd, wait ? F_OFD_SETLKW : F_OFD_SETLK, &whole);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        const int error = errno;
        ::close(fd);
        return tl::unexpected(Error{error == EAGAIN || error == EACCES, QString::fromLocal8Bit(std::strerror(error))});
    }
    FileLock lock;
    lock.m_fd = fd;
    return lock;
}

tl::expected<FileLock, FileLock::Error> FileLock::tryLock(const QString &path)
{
    return take(path, false);
}

tl::expected<FileLock, FileLock::Error> FileLock::lock(const QString &path)
{
    return take(path, true);
}

bool FileLock::isHeld(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct flock probe = wholeFile(F_WRLCK);
    const bool held = ::fcntl(fd, F_OFD_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
    ::close(fd);
    return held;
}
