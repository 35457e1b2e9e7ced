// SPDX-License-Identifier: GPL-3.0-or-later
// The plaintext views of encrypted folders, shared by the processes that need them.
#include "core/system/AppPaths.h"
#include "core/system/Background.h"
#include "core/system/DiagnosticLog.h"
#include "core/system/EncryptedFolder.h"
#include "core/system/FileLock.h"
#include "core/system/FileUtil.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QMutex>
#include <QMutexLocker>

#include <unistd.h>

namespace {

// A view held while another process mounts or lets go of it waits this long.
constexpr int lockWaitMs = 180000;

// A process as the holders' list names it: its number and when it started
// (so that a number used again by another process is not taken for it).
QByteArray processStamp(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return {};
    const QByteArray text = stat.readAll();
    const qsizetype name = text.lastIndexOf(')');
    if (name < 0)
        return {};
    const QList<QByteArray> fields = text.mid(name + 2).split(' ');
    // After the name: the state (field 3) … the start time (field 22).
    return fields.size() > 19 ? QByteArray::number(pid) + ' ' + fields.at(19) : QByteArray();
}

bool lives(const QByteArray &holder)
{
    const qsizetype space = holder.indexOf(' ');
    bool ok = false;
    const qint64 pid = holder.left(space).toLongLong(&ok);
    return ok && space > 0 && processStamp(pid) == holder;
}

struct Places
{
    QString mountPoint;
    QString holders;
    QString lock;
};

Places placesFor(const QString &id)
{
    QString safe = id;
    for (QChar &c : safe) {
        if (!c.isLetterOrNumber() && c != u'-' && c != u'_' && c != u'.')
            c = u'_';
    }
    const QString base = AppPaths::runtimeFolder() + u'/' + safe;
    return {base, base + QStringLiteral(".holders"), base + QStringLiteral(".lock")};
}

QList<QByteArray> livingHolders(const QString &file)
{
    QList<QByteArray> living;
    const auto read = FileUtil::readRegularFile(file, 1024 * 1024);
    if (!read || !*read)
        return living;
    for (const QByteArray &holder : (*read)->split('\n')) {
        if (!holder.isEmpty() && lives(holder))
            living << holder;
    }
    return living;
}

void writeHolders(const QString &file, const QList<QByteArray> &holders)
{
    if (holders.isEmpty()) {
        QFile::remove(file);
        return;
    }
    if (const auto written = FileUtil::writeAtomically(file, holders.join('\n') + '\n'); !written)
        DiagnosticLog::write(QStringLiteral("Cannot note who holds an encrypted view: ") + written.error().message);
}

// Unmounts the view at `places` and removes its folder; under its lock.
void takeDown(const Places &places)
{
    if (EncryptedFolder::mountedFrom(places.mountPoint)) {
        if (const auto gone = EncryptedFolder::unmount(places.mountPoint); !gone) {
            DiagnosticLog::write(gone.error().message);
            return;
        }
    }
    QDir().rmdir(places.mountPoint);
}

struct Entry
{
    QString cipher;    // as asked for, cleaned
    QString canonical; // with links resolved
    QString mountPoint;
};

} // namespace

struct PlainView::Share
{
    Places places;
    QByteArray holder;
    ~Share();
};

namespace {

struct Registry
{
    QMutex mutex;
    QList<std::pair<Entry, std::weak_ptr<PlainView::Share>>> views;
};

Registry &registry()
{
    static Registry views;
    return views;
}

} // namespace

PlainView::Share::~Share()
{
    auto lock = FileLock::lock(places.lock, lockWaitMs);
    if (!lock) {
        DiagnosticLog::write(QStringLiteral("The encrypted view at ") + places.mountPoint
                             + QStringLiteral(" stays mounted: ") + lock.error().message);
        return;
    }
    QList<QByteArray> holders = livingHolders(places.holders);
    holders.removeAll(holder);
    writeHolders(places.holders, holders);
    if (holders.isEmpty())
        takeDown(places);
}

PlainView::Request PlainView::destination(const AppSettings &settings)
{
    return {QDir::cleanPath(AppPaths::expandTilde(settings.destinationPath)), QStringLiteral("destination"),
            settings.passphraseFile, settings.destinationPath};
}

PlainView::Request PlainView::copyTarget(const CopyTarget &target, const AppSettings &settings)
{
    return {QDir::cleanPath(AppPaths::expandTilde(target.path)),
            QStringLiteral("copy-") + target.id.toString(QUuid::WithoutBraces), settings.passphraseFile,
            target.shownName()};
}

PlainView::Opened PlainView::open(const Request &request)
{
    const QString cipher = QDir::cleanPath(request.cipherFolder);
    QMutexLocker guard(&registry().mutex);
    for (const auto &[entry, share] : std::as_const(registry().views)) {
        if (entry.cipher == cipher) {
            if (auto held = share.lock())
                return PlainView(held);
        }
    }
    if (!EncryptedFolder::isEncrypted(cipher))
        return tl::unexpected(Error{Error::Code::notFound,
                                    QStringLiteral("“") + request.name
                                        + QStringLiteral("” is not an encrypted folder (it holds no ")
                                        + EncryptedFolder::configName + QStringLiteral("; is its drive connected?)")});
    if (AppPaths::runtimeFolder().isEmpty())
        return tl::unexpected(
            Error{Error::Code::notFound, QStringLiteral("there is no runtime folder for the plaintext view of “")
                                             + request.name + QStringLiteral("” (XDG_RUNTIME_DIR is not set)")});
    if (const auto folder = FileUtil::makePrivateFolder(AppPaths::runtimeFolder()); !folder)
        return tl::unexpected(folder.error());
    const Places places = placesFor(request.id);
    auto lock = FileLock::lock(places.lock, lockWaitMs);
    if (!lock)
        return tl::unexpected(lock.error());
    const QString canonical = QFileInfo(cipher).canonicalFilePath();
    std::optional<QString> mounted = EncryptedFolder::mountedFrom(places.mountPoint);
    if (mounted && livingHolders(places.holders).isEmpty()) {
        // Left by a process that ended without closing it (its gocryptfs may be gone too).
        takeDown(places);
        mounted = EncryptedFolder::mountedFrom(places.mountPoint);
    }
    if (mounted && QFileInfo(*mounted).canonicalFilePath() != canonical)
        return tl::unexpected(Error{Error::Code::exists, QStringLiteral("another folder (“") + *mounted
                                                             + QStringLiteral("”) is open at ") + places.mountPoint});
    if (!mounted) {
        if (const auto made = FileUtil::makePrivateFolder(places.mountPoint); !made)
            return tl::unexpected(made.error());
        if (request.passphraseFile.trimmed().isEmpty())
            return tl::unexpected(Error{Error::Code::notFound, QStringLiteral("The passphrase of “") + request.name
                                                                   + QStringLiteral("” is not available: no passphrase "
                                                                                    "file is set (passphraseFile)")});
        auto passphrase = EncryptedFolder::readPassphraseFile(request.passphraseFile);
        if (!passphrase)
            return tl::unexpected(passphrase.error());
        const auto opened = EncryptedFolder::mount(cipher, places.mountPoint, *passphrase);
        passphrase->fill('\0');
        if (!opened) {
            QDir().rmdir(places.mountPoint);
            return tl::unexpected(opened.error());
        }
    }
    auto share = std::make_shared<Share>();
    share->places = places;
    share->holder = processStamp(::getpid());
    QList<QByteArray> holders = livingHolders(places.holders);
    holders << share->holder;
    writeHolders(places.holders, holders);
    registry().views.removeIf([](const auto &view) { return view.second.expired(); });
    registry().views.append({Entry{cipher, canonical, places.mountPoint}, share});
    return PlainView(share);
}

QFuture<PlainView::Opened> PlainView::openInBackground(const Request &request)
{
    return Background::run([request] { return open(request); });
}

QString PlainView::path() const
{
    return m_share ? m_share->places.mountPoint : QString();
}

void PlainView::release()
{
    m_share.reset();
}

QString PlainView::through(const QString &path)
{
    const QString clean = QDir::cleanPath(path);
    QMutexLocker guard(&registry().mutex);
    for (const auto &[entry, share] : std::as_const(registry().views)) {
        if (share.expired())
            continue;
        for (const QString &cipher : {entry.cipher, entry.canonical}) {
            if (clean == cipher)
                return entry.mountPoint;
            if (clean.startsWith(cipher + u'/'))
                return entry.mountPoint + clean.mid(cipher.size());
        }
    }
    return path;
}

bool PlainView::isHeld(const QString &cipherFolder)
{
    return through(cipherFolder) != cipherFolder;
}

QStringList PlainView::cleanStale()
{
    QStringList lines;
    const QString runtime = AppPaths::runtimeFolder();
    if (runtime.isEmpty())
        return lines;
    for (const QFileInfo &lockFile : QDir(runtime).entryInfoList({QStringLiteral("*.lock")}, QDir::Files)) {
        const Places places = placesFor(lockFile.completeBaseName());
        auto lock = FileLock::tryLock(places.lock);
        if (!lock)
            continue; // being opened or let go right now
        const QList<QByteArray> holders = livingHolders(places.holders);
        if (!holders.isEmpty())
            continue;
        QFile::remove(places.holders);
        if (const auto mounted = EncryptedFolder::mountedFrom(places.mountPoint)) {
            lines << QStringLiteral("Closed the plaintext view of “") + *mounted
                         + QStringLiteral("” that a process which ended without closing it had left open.");
        }
        takeDown(places);
    }
    return lines;
}
