// The rsync command line for one path of a run.
#pragma once

#include "core/engine/RsyncProbe.h"
#include "core/model/BackupPath.h"
#include "core/model/Server.h"

#include <QString>
#include <QStringList>

// The rsync command line for one path of a run.
namespace RsyncInvocation {

QString targetFolder(const QString &runFolder, const BackupPath &path);
// user@host:escaped-source, a folder's source ending in "/".
QString remoteSource(const Server &server, const BackupPath &path);
// The text given to rsync's "-e".
QString remoteShellCommand(const Server &server);
QStringList arguments(const Server &server, const BackupPath &path, bool compress, bool deleteExtraneous,
                      const QString &targetFolder, const RsyncProbe &probe);

} // namespace RsyncInvocation
