// SPDX-License-Identifier: GPL-3.0-or-later
// Planning and copying a restore to this computer.
#include "core/restore/LocalRestore.h"

#include "core/model/SafePathComponent.h"
#include "core/system/AppPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace LocalRestore {

namespace {

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

void add(Plan &plan, const QString &source, const QString &target)
{
    const QFileInfo info(source);
    Plan::Entry entry{source, target, info.isDir() && !info.isSymLink(), info.isSymLink(),
                      info.isSymLink() || info.isDir() ? 0 : info.size()};
    const QFileInfo there(target);
    const bool exists = there.exists() || there.isSymLink();
    // A folder merges into a folder that is there; anything else in the way is a conflict.
    if (exists && !(entry.isDirectory && there.isDir() && !there.isSymLink()))
        plan.conflicts << target;
    plan.bytes += entry.size;
    plan.entries << entry;
    if (!entry.isDirectory)
        return;
    const QStringList names =
        QDir(source).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &name : names)
        add(plan, source + u'/' + name, target + u'/' + name);
}

// Modification time (and, but for links, permissions) as the source has them.
bool keepAttributes(const QString &source, const QString &target, QString *error)
{
    struct stat info;
    if (::lstat(QFile::encodeName(source).constData(), &info) != 0) {
        *error = systemError();
        return false;
    }
    const QByteArray path = QFile::encodeName(target);
    if (!S_ISLNK(info.st_mode) && ::chmod(path.constData(), info.st_mode & 07777) != 0) {
        *error = systemError();
        return false;
    }
    const struct timespec times[2] = {info.st_atim, info.st_mtim};
    if (::utimensat(AT_FDCWD, path.constData(), times, AT_SYMLINK_NOFOLLOW) != 0) {
        *error = systemError();
        return false;
    }
    return true;
}

bool copyFile(const QString &source, const QString &target, std::atomic<qint64> *done, const std::atomic<bool> *stop,
              QString *error)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        *error = in.errorString();
        return false;
    }
    // Written beside and renamed over: a file that is replaced is never half written.
    const QString partial =
        QFileInfo(target).absolutePath() + QStringLiteral("/.tidewell-restoring-") + QFileInfo(target).fileName();
    QFile out(partial);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        *error = out.errorString();
        return false;
    }
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    for (;;) {
        if (stop && *stop) {
            out.remove();
            *error = QStringLiteral("cancelled");
            return false;
        }
        const qint64 n = in.read(buffer.data(), buffer.size());
        if (n < 0 || (n > 0 && out.write(buffer.constData(), n) != n)) {
            *error = n < 0 ? in.errorString() : out.errorString();
            out.remove();
            return false;
        }
        if (n == 0)
            break;
        if (done)
            *done += n;
    }
    out.close();
    if (!keepAttributes(source, partial, error)
        || ::rename(QFile::encodeName(partial).constData(), QFile::encodeName(target).constData()) != 0) {
        if (error->isEmpty())
            *error = systemError();
        QFile::remove(partial);
        return false;
    }
    return true;
}

bool copyLink(const QString &source, const QString &target, QString *error)
{
    char buffer[4096];
    const ssize_t n = ::readlink(QFile::encodeName(source).constData(), buffer, sizeof buffer - 1);
    if (n < 0) {
        *error = systemError();
        return false;
    }
    QFile::remove(target);
    if (::symlink(QByteArray(buffer, int(n)).constData(), QFile::encodeName(target).constData()) != 0) {
        *error = systemError();
        return false;
    }
    return keepAttributes(source, target, error);
}

} // namespace

Plan plan(const QList<Item> &items, const QString &targetFolder)
{
    Plan result;
    for (const Item &item : items)
        add(result, item.source, targetFolder + u'/' + item.name);
    return result;
}

QString keepBothName(const QString &target, const QDate &snapshotDate)
{
    const QFileInfo info(target);
    const QString name = info.fileName();
    // Before the extension ("archive.tar.gz": before ".tar.gz"); a dot file has none.
    const qsizetype dot = name.indexOf(u'.', 1);
    const QString base = dot < 0 ? name : name.left(dot);
    const QString extension = dot < 0 ? QString() : name.mid(dot);
    const QString mark = QStringLiteral(" (restored ") + snapshotDate.toString(Qt::ISODate) + u')';
    QString candidate = info.absolutePath() + u'/' + base + mark + extension;
    for (int n = 2; QFileInfo(candidate).exists() || QFileInfo(candidate).isSymLink(); ++n)
        candidate = info.absolutePath() + u'/' + base + mark + u' ' + QString::number(n) + extension;
    return candidate;
}

QString defaultFolder(const QString &serverName, const QString &snapshotDate)
{
    return AppPaths::homeFolder() + QStringLiteral("/Restored/") + safePathComponent(serverName) + u'/' + snapshotDate;
}

Outcome copy(const Plan &plan, const QHash<QString, Choice> &choices, const QDate &snapshotDate,
             std::atomic<qint64> *done, const std::atomic<bool> *stop)
{
    Outcome outcome;
    // Folders whose times are set once what they hold is in place, deepest first.
    QList<QPair<QString, QString>> folders;
    QString skippedFolder; // what lies under a skipped folder is skipped with it
    for (const Plan::Entry &entry : plan.entries) {
        if (stop && *stop) {
            outcome.cancelled = true;
            break;
        }
        if (!skippedFolder.isEmpty() && entry.target.startsWith(skippedFolder + u'/'))
            continue;
        QString target = entry.target;
        if (plan.conflicts.contains(entry.target)) {
            const Choice choice = choices.value(entry.target, Choice::skip);
            if (choice == Choice::skip) {
                ++outcome.skipped;
                if (entry.isDirectory)
                    skippedFolder = entry.target;
                continue;
            }
            if (choice == Choice::keepBoth) {
                target = keepBothName(entry.target, snapshotDate);
                outcome.keptBoth << QFileInfo(target).fileName();
            } else if (QFileInfo(target).isDir() && !QFileInfo(target).isSymLink()) {
                // Replacing a folder by a file: the folder goes first.
                QDir(target).removeRecursively();
            }
        }
        QString error;
        bool ok = true;
        if (entry.isDirectory) {
            ok = QDir().mkpath(target);
            if (!ok)
                error = QStringLiteral("could not create the folder");
            else
                folders.prepend({entry.source, target});
        } else {
            QDir().mkpath(QFileInfo(target).absolutePath());
            ok = entry.isLink ? copyLink(entry.source, target, &error)
                              : copyFile(entry.source, target, done, stop, &error);
            if (ok) {
                ++outcome.copied;
                outcome.bytes += entry.size;
            }
        }
        if (!ok) {
            if (stop && *stop) {
                outcome.cancelled = true;
                break;
            }
            outcome.failures << target + QStringLiteral(": ") + error;
        }
    }
    for (const auto &[source, target] : std::as_const(folders)) {
        QString error;
        if (!keepAttributes(source, target, &error))
            outcome.failures << target + QStringLiteral(": ") + error;
    }
    return outcome;
}

} // namespace LocalRestore
