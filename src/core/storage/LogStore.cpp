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
    QDir().mkpath(path);
    return path;
}

QString logFile(const QUuid &serverID)
{
    return directory() + u'/' + ServerId::text(serverID) + QStringLiteral(".log");
}

void save(const QUuid &serverID, const QString &header, const QStringList &lines)
{
    const QString text = header + u'\n' + lines.join(u'\n') + u'\n';
    // Only the run of this server writes its log, and it holds the server's run lock.
    FileUtil::removeStaleTemporaries(logFile(serverID));
    // A log that cannot be written leaves the previous one as it was.
    (void)FileUtil::writeAtomically(logFile(serverID), text.toUtf8());
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

QString header(const QDateTime &startedAt, const QDateTime &finishedAt, const QString &status)
{
    return QStringLiteral("# Tidewell log\n# Started:   ") + timeStamp(startedAt) + QStringLiteral("\n# Finished:  ")
           + timeStamp(finishedAt) + QStringLiteral("\n# Status:    ") + status;
}

} // namespace LogStore
