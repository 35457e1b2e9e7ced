// SPDX-License-Identifier: GPL-3.0-or-later
// A dry run and a run of a restore to the server, logged like a backup.
#include "core/restore/ServerRestore.h"

#include "core/engine/OutputDecoder.h"
#include "core/engine/RsyncPreview.h"
#include "core/ssh/Shell.h"
#include "core/ssh/TargetCheck.h"
#include "core/storage/LogStore.h"
#include "core/system/AppPaths.h"
#include "core/system/FileLock.h"

#include <QCoreApplication>
#include <QPointer>
#include <QRegularExpression>

ServerRestore::ServerRestore(QObject *parent)
    : TransferRunner(parent)
{ }

QString ServerRestore::summary(const Preview &preview)
{
    return QCoreApplication::translate("ServerRestore", "%1 file(s) would be created, %2 would be replaced")
        .arg(preview.created)
        .arg(preview.replaced);
}

void ServerRestore::take(Preview &preview, const QString &line)
{
    // A push itemizes what it sends with "<": "<f+++++++++ new", "<f.st...... changed".
    static const QRegularExpression sent(QStringLiteral("^<f([^ ]{9,}|.{9}) "));
    if (const auto match = sent.match(line); match.hasMatch()) {
        if (match.captured(1).startsWith(u'+'))
            ++preview.created;
        else
            ++preview.replaced;
    }
    if (!line.isEmpty() && preview.lines.size() < RsyncPreview::shownLines)
        preview.lines << line;
}

QCoro::Task<ServerRestore::Preview> ServerRestore::preview(Server server, QList<Item> items,
                                                           std::optional<QString> otherFolder, AppSettings settings,
                                                           RsyncProbe probe)
{
    QPointer<ServerRestore> self(this);
    Preview preview;
    if (const auto safe = TargetCheck::target(server.host, server.username); !safe) {
        preview.errors << safe.error();
        preview.exitCode = 2;
        co_return preview;
    }
    const QDateTime stamp = m_clock();
    for (const Item &item : std::as_const(items)) {
        OutputDecoder out;
        OutputDecoder err;
        const QStringList args = RestoreInvocation::arguments(server, item, otherFolder, settings, probe, stamp, true);
        const auto status =
            co_await runChild(probe.executable, args, [&](const QByteArray &data, bool fromStandardError) {
                for (const QString &line : (fromStandardError ? err : out).feed(data))
                    fromStandardError ? void(preview.errors << line) : take(preview, line);
            });
        if (!self)
            co_return preview;
        for (const QString &line : out.finish())
            take(preview, line);
        preview.errors << err.finish();
        if (!status) {
            preview.errors << QStringLiteral("Failed to start rsync: ") + status.error();
            preview.exitCode = -1;
            break;
        }
        if (*status != 0 || m_wasCancelled) {
            preview.exitCode = m_wasCancelled ? cancelledExitCode : *status;
            break;
        }
    }
    co_return preview;
}

QCoro::Task<int> ServerRestore::run(Server server, QList<Item> items, std::optional<QString> otherFolder,
                                    AppSettings settings, RsyncProbe probe, QString snapshotName)
{
    if (isRunning())
        co_return alreadyRunningExitCode;
    QPointer<ServerRestore> self(this);
    const QString name = server.name.isEmpty() ? QStringLiteral("(untitled)") : server.name;
    // Never beside a backup of this server, which holds the same lock.
    auto lock = FileLock::tryLock(AppPaths::runLockFile(server.id));
    if (!lock) {
        refuse(lock.error().busy ? QStringLiteral("A backup of “") + name
                                       + QStringLiteral("” is running; restore after it has finished.")
                                 : lockFailure(server, lock.error().message),
               alreadyRunningExitCode);
        co_return alreadyRunningExitCode;
    }
    begin(server, settings);
    const QDateTime startedAt = m_clock();
    m_replacedFolders.clear();
    append(QStringLiteral("Restore from the snapshot of ") + snapshotName + QStringLiteral(" of ") + name);
    append(QStringLiteral("To: ") + server.username + u'@' + server.host + u':' + QString::number(server.port)
           + (otherFolder ? QStringLiteral(", into ") + *otherFolder : QStringLiteral(", where each item came from")));
    append(QString());
    // Owners come back only where the server's side runs as root.
    if (server.preserveOwnership && !server.remoteSudo && server.username != QStringLiteral("root"))
        append(QStringLiteral("Owners and groups cannot be set: the server's rsync does not run as root (turn on "
                              "“Run with sudo on the server”, or log in as root). The files will belong to ")
               + server.username + u'.');
    int exit = 0;
    QStringList written;
    if (const auto safe = TargetCheck::target(server.host, server.username); !safe) {
        append(QStringLiteral("!! ") + safe.error());
        exit = 2;
    }
    const int stallSeconds = int(std::clamp<qint64>(settings.ioTimeoutSeconds, 0, 86400));
    for (const Item &item : std::as_const(items)) {
        if (exit != 0)
            break;
        setCurrentItem(item.remotePath);
        append(QStringLiteral("=== ") + item.remotePath + QStringLiteral(" ==="));
        const QStringList args =
            RestoreInvocation::arguments(server, item, otherFolder, settings, probe, startedAt, false);
        append(QStringLiteral("$ ") + Shell::displayCommandLine(probe.executable, args));
        const QString replaced = RestoreInvocation::replacedFolder(item, otherFolder, startedAt);
        if (!m_replacedFolders.contains(replaced))
            m_replacedFolders << replaced;
        const int status = co_await runTransfer(probe.executable, args, stallSeconds);
        if (!self)
            co_return status;
        append(QStringLiteral("→ exit ") + QString::number(status));
        append(QString());
        if (m_wasCancelled) {
            exit = status == 0 ? cancelledExitCode : status;
            break;
        }
        if (status != 0) {
            exit = status;
            break;
        }
        written << RestoreInvocation::destinationPath(item, otherFolder);
    }
    setExitCode(exit);
    if (m_wasCancelled) {
        append(QStringLiteral("Cancelled by user."));
        append(written.isEmpty()
                   ? QStringLiteral("Nothing was restored completely before the cancel.")
                   : QStringLiteral("Restored completely before the cancel: ") + written.join(QStringLiteral(", ")));
    } else if (exit == 0) {
        append(QStringLiteral("=== Restore completed ==="));
    } else {
        append(QStringLiteral("Aborting: remaining items skipped."));
    }
    if (!written.isEmpty() || exit != 0)
        append(QStringLiteral("Files the restore replaced are kept on the server in ")
               + m_replacedFolders.join(QStringLiteral(", ")));
    setRunning(false, std::nullopt);
    setCurrentItem(QString());
    setProgressPercent(std::nullopt);
    LogStore::saveRestore(
        server.id, LogStore::restoreHeader(startedAt, m_clock(), LogStore::statusWord(m_wasCancelled, exitCode())),
        logLines());
    Q_EMIT restoreFinished(server.id, exitCode());
    co_return exit;
}
