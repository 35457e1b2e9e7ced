// SPDX-License-Identifier: GPL-3.0-or-later
// Open-file-description locks on lock files, released by the kernel with the process.
#include "core/system/FileLock.h"

#include "core/system/DiagnosticLog.h"
#include "core/system/FileUtil.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
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

tl::expected<FileLock, FileLock::Error> FileLock::take(const QString &path)
{
    if (const auto folder = FileUtil::makePrivateFolder(QFileInfo(path).absolutePath()); !folder)
        return tl::unexpected(folder.error());
    // Non-blocking: opening a FIFO put in the lock's place must not hang.
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0600);
    if (fd < 0)
        return tl::unexpected(::Error::fromErrno(errno, QString::fromLocal8Bit(std::strerror(errno))));
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return tl::unexpected(::Error{::Error::Code::unreadable, QStringLiteral("it is not a regular file")});
    }
    if ((info.st_mode & 077) != 0 && info.st_uid == ::geteuid())
        (void)::fchmod(fd, S_IRUSR | S_IWUSR);
    struct flock whole = wholeFile(F_WRLCK);
    int result;
    do {
        result = ::fcntl(fd, F_OFD_SETLK, &whole);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        const int error = errno;
        ::close(fd);
        return tl::unexpected(::Error{error == EAGAIN || error == EACCES ? ::Error::Code::busy : ::Error::Code::failed,
                                      QString::fromLocal8Bit(std::strerror(error))});
    }
    FileLock lock;
    lock.m_fd = fd;
    return lock;
}

tl::expected<FileLock, FileLock::Error> FileLock::tryLock(const QString &path)
{
    return take(path);
}

tl::expected<FileLock, FileLock::Error> FileLock::lock(const QString &path, int waitMs)
{
    // Polled rather than F_OFD_SETLKW, which has no time limit.
    QDeadlineTimer deadline(waitMs);
    for (int pause = 1;; pause = std::min(pause * 2, 50)) {
        auto taken = take(path);
        if (taken || taken.error().code != ::Error::Code::busy)
            return taken;
        if (deadline.hasExpired()) {
            return tl::unexpected(
                ::Error{::Error::Code::busy,
                        QStringLiteral("another process has held it for more than %1 s").arg(waitMs / 1000)});
        }
        QThread::msleep(pause);
    }
}

void FileLock::recordHolder()
{
    if (m_fd < 0)
        return;
    const QByteArray pid = QByteArray::number(qint64(::getpid())) + '\n';
    // Without it nobody can ask the run to pause; it runs all the same.
    const bool written =
        ::ftruncate(m_fd, 0) == 0 && ::pwrite(m_fd, pid.constData(), size_t(pid.size()), 0) == pid.size();
    if (!written)
        DiagnosticLog::write(QStringLiteral("Could not write this process's ID into its lock file: ")
                             + QString::fromLocal8Bit(std::strerror(errno)));
}

std::optional<qint64> FileLock::holderOf(const QString &path)
{
    if (!isHeld(path))
        return std::nullopt;
    const auto text = FileUtil::readRegularFile(path, 32);
    if (!text || !*text)
        return std::nullopt;
    bool ok = false;
    const qint64 pid = (*text)->trimmed().toLongLong(&ok);
    if (!ok || pid <= 0)
        return std::nullopt;
    // A number left by a run that ended is some other process's by now:
    // the holder is the one that has the file open.
    const QString wanted = QFileInfo(path).canonicalFilePath();
    const QString fds = QStringLiteral("/proc/%1/fd").arg(pid);
    const QStringList entries =
        QDir(fds).entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString &fd : entries) {
        if (QFileInfo(fds + u'/' + fd).symLinkTarget() == wanted)
            return pid;
    }
    return std::nullopt;
}

bool FileLock::isHeld(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return false;
    struct flock probe = wholeFile(F_WRLCK);
    const bool held = ::fcntl(fd, F_OFD_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
    ::close(fd);
    return held;
}
