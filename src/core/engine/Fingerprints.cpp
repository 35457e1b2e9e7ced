// SPDX-License-Identifier: GPL-3.0-or-later
// Fingerprints of the copies, in their attributes or in the server's manifest.
#include "core/engine/Fingerprints.h"

#include "core/system/Descriptor.h"

#include <QFile>

#include <xxhash.h>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/xattr.h>
#include <unistd.h>

namespace Fingerprints {

namespace {

constexpr int maxDepth = 128;
constexpr size_t chunk = 1 << 20;

bool isDotOrDotDot(const char *name)
{
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

int openFolder(int parent, const char *name)
{
    return ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

bool sameTime(const struct stat &a, const struct stat &b)
{
    return a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

// The previous day's file, unchanged: the same inode (a hard link), or in a
// btrfs snapshot the same inode number with the same size and time, as a
// file rsync rewrote in place keeps its inode but not its time.
bool unchanged(int folder, const char *name, const struct stat &info)
{
    struct stat other;
    if (folder < 0 || ::fstatat(folder, name, &other, AT_SYMLINK_NOFOLLOW) != 0 || other.st_ino != info.st_ino)
        return false;
    return other.st_dev == info.st_dev || (other.st_size == info.st_size && sameTime(other, info));
}

QString systemWords(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

void fingerprintOne(int folder, const char *name, Store &store, Written &written)
{
    Descriptor file(openFile(folder, name));
    struct stat info;
    if (!file.isValid() || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode))
        return;
    // A print of what the file held before it was rewritten in place is no print of it.
    if (const auto found = store.find(file.get(), info); found && found->describes(info))
        return;
    const auto print = compute(file.get());
    if (print && store.keep(file.get(), info, *print)) {
        ++written.files;
        written.bytes += print->size;
        return;
    }
    ++written.failed;
    if (written.firstFailure.isEmpty())
        written.firstFailure =
            QFile::decodeName(name) + QStringLiteral(": ") + (print ? systemWords(errno) : print.error().message);
}

// `folder` is taken over; `previous` stays the caller's (-1: none).
void walkNew(int folder, int previous, int depth, Store &store, Written &written)
{
    DIR *listing = ::fdopendir(folder);
    if (!listing) {
        ::close(folder);
        return;
    }
    while (const dirent *entry = ::readdir(listing)) {
        const char *name = entry->d_name;
        if (isDotOrDotDot(name))
            continue;
        struct stat info;
        if (::fstatat(::dirfd(listing), name, &info, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (S_ISREG(info.st_mode)) {
            if (!unchanged(previous, name, info))
                fingerprintOne(::dirfd(listing), name, store, written);
        } else if (S_ISDIR(info.st_mode) && depth < maxDepth) {
            const int inner = openFolder(::dirfd(listing), name);
            if (inner < 0)
                continue;
            const int innerPrevious = previous < 0 ? -1 : openFolder(previous, name);
            walkNew(inner, innerPrevious, depth + 1, store, written);
            if (innerPrevious >= 0)
                ::close(innerPrevious);
        }
    }
    ::closedir(listing);
}

// Adds the owner's write bit for as long as `write` takes: a user's
// attributes follow the file's permissions, and many copies are read-only.
template<typename Write>
bool withOwnerWrite(int fd, const struct stat &info, Write write)
{
    if (write())
        return true;
    if ((errno != EACCES && errno != EPERM) || (info.st_mode & S_IWUSR) || info.st_uid != ::geteuid())
        return false;
    if (::fchmod(fd, (info.st_mode & 07777) | S_IWUSR) != 0)
        return false;
    const bool written = write();
    const int error = errno;
    ::fchmod(fd, info.st_mode & 07777);
    errno = error;
    return written;
}

} // namespace

int openFile(int folder, const char *name)
{
    const int flags = O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    const int fd = ::openat(folder, name, flags | O_NOATIME);
    // Only a file's owner may leave its access time alone.
    return fd >= 0 || errno != EPERM ? fd : ::openat(folder, name, flags);
}

QByteArray Print::encoded() const
{
    QByteArray text = "xxh128:";
    text += QByteArray::number(high, 16).rightJustified(16, '0');
    text += QByteArray::number(low, 16).rightJustified(16, '0');
    text += ' ' + QByteArray::number(size) + ' ' + QByteArray::number(mtimeSeconds) + '.'
            + QByteArray::number(mtimeNanoseconds).rightJustified(9, '0');
    return text;
}

std::optional<Print> Print::decode(QByteArrayView text)
{
    const QList<QByteArray> fields = text.toByteArray().trimmed().split(' ');
    if (fields.size() != 3 || !fields[0].startsWith("xxh128:") || fields[0].size() != 7 + 32)
        return std::nullopt;
    Print print;
    bool highOk = false, lowOk = false, sizeOk = false;
    print.high = fields[0].mid(7, 16).toULongLong(&highOk, 16);
    print.low = fields[0].mid(23, 16).toULongLong(&lowOk, 16);
    print.size = fields[1].toLongLong(&sizeOk);
    const QList<QByteArray> time = fields[2].split('.');
    bool secondsOk = false, nanosecondsOk = time.size() == 2;
    print.mtimeSeconds = time[0].toLongLong(&secondsOk);
    if (nanosecondsOk)
        print.mtimeNanoseconds = time[1].toLongLong(&nanosecondsOk);
    if (!highOk || !lowOk || !sizeOk || !secondsOk || !nanosecondsOk || print.size < 0)
        return std::nullopt;
    return print;
}

tl::expected<Print, Error> compute(int fd, bool forget)
{
    struct stat info;
    if (::fstat(fd, &info) != 0)
        return tl::unexpected(Error{Error::Code::unreadable, systemWords(errno)});
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    const std::unique_ptr<XXH3_state_t, decltype(&XXH3_freeState)> state(XXH3_createState(), XXH3_freeState);
    XXH3_128bits_reset(state.get());
    thread_local std::unique_ptr<char[]> buffer(new char[chunk]);
    qint64 size = 0;
    for (;;) {
        const ssize_t got = ::read(fd, buffer.get(), chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return tl::unexpected(Error{Error::Code::unreadable, systemWords(errno)});
        if (got == 0)
            break;
        XXH3_128bits_update(state.get(), buffer.get(), size_t(got));
        size += got;
    }
    if (forget)
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    const XXH128_hash_t hash = XXH3_128bits_digest(state.get());
    Print print;
    print.high = hash.high64;
    print.low = hash.low64;
    print.size = size;
    print.mtimeSeconds = info.st_mtim.tv_sec;
    print.mtimeNanoseconds = info.st_mtim.tv_nsec;
    return print;
}

Store::Store(const QString &serverFolder, bool attributes)
    : m_manifestPath(serverFolder + u'/' + manifestName)
    , m_attributes(attributes)
{ }

void Store::loadManifest()
{
    if (m_loaded)
        return;
    m_loaded = true;
    QFile file(m_manifestPath);
    if (!file.open(QIODevice::ReadOnly))
        return;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine(4096);
        const qsizetype space = line.indexOf(' ');
        bool ok = false;
        const quint64 inode = line.left(space).toULongLong(&ok);
        if (space <= 0 || !ok)
            continue;
        if (const auto print = Print::decode(QByteArrayView(line).sliced(space + 1)))
            m_manifest.insert(inode, *print);
    }
}

std::optional<Print> currentPrint(const QByteArray &path)
{
    struct stat info;
    char value[128];
    if (::lstat(path.constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    const ssize_t size = ::lgetxattr(path.constData(), attribute, value, sizeof value);
    const auto print = size > 0 ? Print::decode(QByteArrayView(value, size)) : std::nullopt;
    return print && print->describes(info) ? print : std::nullopt;
}

std::optional<Print> Store::find(int fd, const struct stat &info)
{
    if (m_attributes) {
        char value[128];
        const ssize_t size = ::fgetxattr(fd, attribute, value, sizeof value);
        if (size <= 0)
            return std::nullopt;
        return Print::decode(QByteArrayView(value, size));
    }
    loadManifest();
    const auto found = m_manifest.constFind(quint64(info.st_ino));
    if (found == m_manifest.cend() || found->size != info.st_size)
        return std::nullopt;
    return *found;
}

bool Store::keep(int fd, const struct stat &info, const Print &print)
{
    if (!m_attributes) {
        loadManifest();
        m_manifest.insert(quint64(info.st_ino), print);
        m_added.append({quint64(info.st_ino), print});
        return true;
    }
    const QByteArray value = print.encoded();
    return withOwnerWrite(fd, info,
                          [&] { return ::fsetxattr(fd, attribute, value.constData(), size_t(value.size()), 0) == 0; });
}

tl::expected<void, Error> Store::save()
{
    if (m_added.isEmpty())
        return {};
    QByteArray lines;
    for (const auto &[inode, print] : std::as_const(m_added))
        lines += QByteArray::number(inode) + ' ' + print.encoded() + '\n';
    QFile file(m_manifestPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append) || file.write(lines) != lines.size() || !file.flush())
        return tl::unexpected(Error{Error::Code::failed, m_manifestPath + QStringLiteral(": ") + file.errorString()});
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    m_added.clear();
    return {};
}

Written fingerprintNew(const QString &previousFolder, const QString &newFolder, Store &store)
{
    Written written;
    const int folder = openFolder(AT_FDCWD, QFile::encodeName(newFolder).constData());
    if (folder < 0)
        return written;
    const int previous =
        previousFolder.isEmpty() ? -1 : openFolder(AT_FDCWD, QFile::encodeName(previousFolder).constData());
    walkNew(folder, previous, 0, store, written);
    if (previous >= 0)
        ::close(previous);
    return written;
}

QStringList attributeFilter(bool allNamespaces)
{
    return {QStringLiteral("--filter=-x ") + QLatin1String(attribute),
            allNamespaces ? QStringLiteral("--filter=-x system.*") : QStringLiteral("--filter=-x! user.*")};
}

} // namespace Fingerprints
