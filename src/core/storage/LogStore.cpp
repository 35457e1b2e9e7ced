// SPDX-License-Identifier: GPL-3.0-or-later
// Writing each server's last run log.
#include "core/storage/LogStore.h"

#include "core/model/ServerId.h"
#include "core/system/AppPaths.h"
#include "core/system/FileUtil.h"

#include <QDir>

namespace LogStore {

QString directory()
{
    const QString path = AppPaths::dataFolder() + QStringLiteral("/logs");
    FileUtil::makePrivateFolder(AppPaths::dataFolder());
    FileUtil::makePrivateFolder(path);
    return path;
}

QString logFile(const QUuid &serverID)
{
    return directory() + u'/' + ServerId::text(serverID) + QStringLiteral(".log");
}

QString restoreLogFile(const QUuid &serverID)
{
    return directory() + u'/' + ServerId::text(serverID) + QStringLiteral(".restore.log");
}

static void write(const QString &file, const QString &header, const QStringList &lines)
{
    const QString text = header + u'\n' + lines.join(u'\n') + u'\n';
    // Only a run of this server writes its logs, and it holds the server's run lock.
    FileUtil::removeStaleTemporaries(file);
    // A log that cannot be written leaves the previous one as it was.
    (void)FileUtil::writeAtomically(file, text.toUtf8());
}

void save(const QUuid &serverID, const QString &header, const QStringList &lines)
{
    write(logFile(serverID), header, lines);
}

void append(const QUuid &serverID, const QStringList &lines)
{
    const QString file = logFile(serverID);
    const auto before = FileUtil::readRegularFile(file);
    if (!before || !*before)
        return;
    QByteArray text = **before;
    if (!text.isEmpty() && !text.endsWith('\n'))
        text += '\n';
    text += lines.join(u'\n').toUtf8() + '\n';
    (void)FileUtil::writeAtomically(file, text);
}

void saveRestore(const QUuid &serverID, const QString &header, const QStringList &lines)
{
    write(restoreLogFile(serverID), header, lines);
}

QString statusWord(bool wasCancelled, std::optional<int> exitCode)
{
    if (wasCancelled)
        return QStringLiteral("CANCELLED");
    if (!exitCode)
        return QStringLiteral("UNKNOWN");
    if (*exitCode == 0)
        return QStringLiteral("SUCCESS");
    return QStringLiteral("FAILED (exit %1)").arg(*exitCode);
}

QString timeStamp(const QDateTime &time)
{
    const QDateTime local = time.toLocalTime();
    const int offset = local.offsetFromUtc();
    const int minutes = std::abs(offset) / 60;
    return local.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss "))
           + QStringLiteral("%1%2%3")
                 .arg(offset < 0 ? QChar(u'-') : QChar(u'+'))
                 .arg(minutes / 60, 2, 10, QLatin1Char('0'))
                 .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

static QString headerOf(const QString &title, const QDateTime &startedAt, const QDateTime &finishedAt,
                        const QString &status)
{
    return title + QStringLiteral("\n# Started:   ") + timeStamp(startedAt) + QStringLiteral("\n# Finished:  ")
           + timeStamp(finishedAt) + QStringLiteral("\n# Status:    ") + status;
}

QString header(const QDateTime &startedAt, const QDateTime &finishedAt, const QString &status)
{
    return headerOf(QStringLiteral("# Tidewell log"), startedAt, finishedAt, status);
}

QString restoreHeader(const QDateTime &startedAt, const QDateTime &finishedAt, const QString &status)
{
    return headerOf(QStringLiteral("# Tidewell restore log"), startedAt, finishedAt, status);
}

} // namespace LogStore
