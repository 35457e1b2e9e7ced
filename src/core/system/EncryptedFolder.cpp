// SPDX-License-Identifier: GPL-3.0-or-later
// gocryptfs folders: set-up, mounts, and the views held across processes.
#include "core/system/EncryptedFolder.h"

#include "core/system/AppPaths.h"
#include "core/system/FileUtil.h"
#include "core/system/Subprocess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace EncryptedFolder {

namespace {

const QString gocryptfs = QStringLiteral("/usr/bin/gocryptfs");
const QString xray = QStringLiteral("/usr/bin/gocryptfs-xray");
const QString fusermount = QStringLiteral("/usr/bin/fusermount3");
const QString dirIVName = QStringLiteral("gocryptfs.diriv");
// gocryptfs's exit status for a wrong passphrase.
constexpr int wrongPassword = 12;
constexpr int mountWaitMs = 120000;

QByteArray line(const QByteArray &passphrase)
{
    return passphrase + '\n';
}

// The last thing a gocryptfs run said, for an error message.
QString lastWords(const QByteArray &output)
{
    const QList<QByteArray> lines = output.trimmed().split('\n');
    return lines.isEmpty() ? QString() : QString::fromUtf8(lines.constLast().trimmed());
}

Error toolFailure(const QString &what, int status, const QByteArray &output)
{
    if (status == wrongPassword)
        return Error{Error::Code::denied, what + QStringLiteral(": the passphrase is wrong")};
    const QString said = lastWords(output);
    return Error{Error::Code::toolFailed, what + QStringLiteral(": gocryptfs ended with status ")
                                              + QString::number(status)
                                              + (said.isEmpty() ? QString() : QStringLiteral(" (") + said + u')')};
}

// Mount points in /proc/self/mountinfo write a space, a tab, a newline and
// a backslash as octal escapes.
QString unescapeMountField(const QByteArray &field)
{
    QByteArray plain;
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field.at(i) == '\\' && i + 3 < field.size()) {
            bool ok = false;
            const int value = field.mid(i + 1, 3).toInt(&ok, 8);
            if (ok) {
                plain.append(char(value));
                i += 3;
                continue;
            }
        }
        plain.append(field.at(i));
    }
    return QFile::decodeName(plain);
}

QString groupedKey(const QByteArray &hex)
{
    QStringList groups;
    for (qsizetype i = 0; i < hex.size(); i += 8)
        groups << QString::fromLatin1(hex.mid(i, 8));
    return groups.join(u'-');
}

} // namespace

bool isEncrypted(const QString &cipherFolder)
{
    return QFileInfo(cipherFolder + u'/' + configName).isFile();
}

tl::expected<void, Error> checkEmpty(const QString &cipherFolder, const QString &markerName)
{
    if (const auto made = FileUtil::makeFolder(cipherFolder); !made)
        return made;
    if (isEncrypted(cipherFolder))
        return tl::unexpected(
            Error{Error::Code::exists, QStringLiteral("“") + cipherFolder + QStringLiteral("” is encrypted already")});
    const QStringList entries =
        QDir(cipherFolder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        if (entry != markerName && entry != QStringLiteral("lost+found"))
            return tl::unexpected(Error{
                Error::Code::exists, QStringLiteral("“") + cipherFolder + QStringLiteral("” is not empty (it holds “")
                                         + entry + QStringLiteral("”): only an empty folder can become encrypted")});
    }
    return {};
}

tl::expected<QString, Error> initialise(const QString &cipherFolder, const QByteArray &passphrase)
{
    // Never over another folder's key: without it those copies are lost.
    if (isEncrypted(cipherFolder) || QFileInfo::exists(cipherFolder + u'/' + dirIVName))
        return tl::unexpected(
            Error{Error::Code::exists, QStringLiteral("“") + cipherFolder + QStringLiteral("” is encrypted already")});
    // gocryptfs sets up only an empty folder: a drive's marker may lie in
    // this one, so the set-up is made in a fresh folder inside and moved up.
    QTemporaryDir fresh(cipherFolder + QStringLiteral("/.tidewell-encrypting-XXXXXX"));
    if (!fresh.isValid())
        return tl::unexpected(Error{Error::Code::notWritten, QStringLiteral("cannot write in “") + cipherFolder
                                                                 + QStringLiteral("”: ") + fresh.errorString()});
    const auto made = Subprocess::runBlocking(gocryptfs, {QStringLiteral("-init"), QStringLiteral("-q"), fresh.path()},
                                              line(passphrase));
    if (!made)
        return tl::unexpected(made.error());
    if (made->status != 0)
        return tl::unexpected(
            toolFailure(QStringLiteral("cannot encrypt “") + cipherFolder + u'”', made->status, made->err + made->out));
    const QString config = cipherFolder + u'/' + configName;
    for (const QString &name : {configName, dirIVName}) {
        // rename() never replaces: what is moved is this set-up's own.
        if (!QFile::rename(fresh.path() + u'/' + name, cipherFolder + u'/' + name)) {
            if (name != configName)
                QFile::remove(config);
            return tl::unexpected(
                Error{Error::Code::notWritten,
                      QStringLiteral("cannot move ") + name + QStringLiteral(" into “") + cipherFolder + u'”'});
        }
    }
    const auto dumped = Subprocess::runBlocking(xray, {QStringLiteral("-dumpmasterkey"), config}, line(passphrase));
    const QByteArray hex = dumped ? dumped->out.trimmed() : QByteArray();
    if (!dumped || dumped->status != 0
        || !QRegularExpression(QStringLiteral("^[0-9a-f]{64}$")).match(QString::fromLatin1(hex)).hasMatch()) {
        QFile::remove(config);
        QFile::remove(cipherFolder + u'/' + dirIVName);
        return tl::unexpected(
            Error{Error::Code::toolFailed,
                  QStringLiteral("gocryptfs-xray did not give the master key of “") + cipherFolder + u'”'});
    }
    return groupedKey(hex);
}

tl::expected<QByteArray, Error> readPassphraseFile(const QString &path)
{
    const QString shown = QStringLiteral("the passphrase file “") + path + u'”';
    const int fd = ::open(QFile::encodeName(AppPaths::expandTilde(path)).constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return tl::unexpected(Error{Error::Code::notFound, shown + QStringLiteral(" cannot be read: ")
                                                               + QString::fromLocal8Bit(strerror(errno))});
    Descriptor file(fd);
    struct stat status = {};
    if (::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode))
        return tl::unexpected(Error{Error::Code::unreadable, shown + QStringLiteral(" is not a regular file")});
    if (status.st_uid != ::geteuid() || (status.st_mode & 077) != 0)
        return tl::unexpected(
            Error{Error::Code::denied, shown
                                           + QStringLiteral(" may be read by other users: make it yours and "
                                                            "readable by you alone (chmod 600)")});
    QByteArray bytes(4096, '\0');
    const ssize_t got = ::read(file.get(), bytes.data(), bytes.size());
    bytes.resize(got > 0 ? got : 0);
    QByteArray first = bytes.left(bytes.indexOf('\n') < 0 ? bytes.size() : bytes.indexOf('\n'));
    if (first.endsWith('\r'))
        first.chop(1);
    bytes.fill('\0');
    if (first.isEmpty())
        return tl::unexpected(Error{Error::Code::invalid, shown + QStringLiteral(" is empty")});
    return first;
}

tl::expected<void, Error> mount(const QString &cipherFolder, const QString &mountPoint, const QByteArray &passphrase)
{
    // The view's process stays and keeps its output: a file, never a pipe
    // that closes when this one has read it (a write to that would end it).
    const QString output = mountPoint + QStringLiteral(".out");
    QFile::remove(output);
    QProcess process;
    process.setProgram(gocryptfs);
    process.setArguments({QStringLiteral("-q"), QStringLiteral("-nosyslog"), cipherFolder, mountPoint});
    process.setStandardOutputFile(output);
    process.setStandardErrorFile(output, QIODevice::Append);
    process.start();
    if (!process.waitForStarted(-1))
        return tl::unexpected(Error{Error::Code::notStarted, gocryptfs + QStringLiteral(": ") + process.errorString()});
    process.write(line(passphrase));
    process.closeWriteChannel();
    const bool ended = process.waitForFinished(mountWaitMs);
    const auto said = FileUtil::readRegularFile(output, 64 * 1024);
    QFile::remove(output);
    const QString what = QStringLiteral("cannot open the encrypted folder “") + cipherFolder + u'”';
    if (!ended) {
        process.kill();
        process.waitForFinished(-1);
        return tl::unexpected(Error{Error::Code::timedOut, what + QStringLiteral(": gocryptfs did not answer")});
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return tl::unexpected(toolFailure(what, process.exitCode(), said && *said ? **said : QByteArray()));
    if (!mountedFrom(mountPoint))
        return tl::unexpected(Error{Error::Code::failed, what + QStringLiteral(": its view did not appear")});
    return {};
}

tl::expected<void, Error> unmount(const QString &mountPoint)
{
    const auto plain = Subprocess::runBlocking(fusermount, {QStringLiteral("-u"), QStringLiteral("-q"), mountPoint});
    if (plain && plain->status == 0)
        return {};
    // Something still open in it (a shell): it is detached now, and gone
    // when the last file is closed.
    const auto lazy = Subprocess::runBlocking(
        fusermount, {QStringLiteral("-u"), QStringLiteral("-z"), QStringLiteral("-q"), mountPoint});
    if (lazy && lazy->status == 0)
        return {};
    const QString said = lazy ? lastWords(lazy->err) : lazy.error().message;
    return tl::unexpected(
        Error{Error::Code::toolFailed, QStringLiteral("cannot unmount “") + mountPoint + QStringLiteral("”: ") + said});
}

std::optional<QString> mountedFrom(const QString &mountPoint)
{
    QFile table(QStringLiteral("/proc/self/mountinfo"));
    if (!table.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QString wanted = QDir::cleanPath(mountPoint);
    for (const QByteArray &entry : table.readAll().split('\n')) {
        const QList<QByteArray> fields = entry.split(' ');
        const qsizetype separator = fields.indexOf("-");
        if (fields.size() < 5 || separator < 0 || separator + 2 >= fields.size())
            continue;
        if (fields.at(separator + 1) == "fuse.gocryptfs" && unescapeMountField(fields.at(4)) == wanted)
            return unescapeMountField(fields.at(separator + 2));
    }
    return std::nullopt;
}

} // namespace EncryptedFolder
