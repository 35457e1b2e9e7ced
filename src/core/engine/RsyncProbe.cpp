// SPDX-License-Identifier: GPL-3.0-or-later
// Finding rsync and reading its version.
#include "core/engine/RsyncProbe.h"

#include "core/system/AppPaths.h"
#include "core/system/FileUtil.h"
#include "core/system/Subprocess.h"

#include <QDateTime>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

#include <QRegularExpression>
#include <algorithm>

bool RsyncProbe::needsOldArgs() const
{
    return isModern && version >= QVersionNumber(3, 2, 4);
}

bool RsyncProbe::supportsLinkDest() const
{
    return !version.isNull() && version >= QVersionNumber(2, 5, 6);
}

QStringList RsyncProbe::defaultCandidates()
{
    return {QStringLiteral("/opt/homebrew/bin/rsync"), QStringLiteral("/usr/local/bin/rsync"),
            QStringLiteral("/usr/bin/rsync")};
}

static bool isExecutableFile(const QString &path)
{
    const QFileInfo info(path);
    return info.isFile() && info.isExecutable();
}

RsyncProbe RsyncProbe::compute(const QStringList &candidates)
{
    for (const QString &candidate : candidates) {
        if (!isExecutableFile(candidate))
            continue;
        const Subprocess::Result result = Subprocess::runBlocking(candidate, {QStringLiteral("--version")});
        if (!result) {
            RsyncProbe probe;
            probe.executable = candidate;
            return probe;
        }
        return classify(candidate, Subprocess::strictUtf8(result->out));
    }
    return RsyncProbe();
}

QString RsyncProbe::defaultCacheFile()
{
    return AppPaths::dataFolder() + QStringLiteral("/rsync-version.json");
}

RsyncProbe RsyncProbe::computeCached(const QString &cacheFile, const QStringList &candidates)
{
    const auto found = std::find_if(candidates.begin(), candidates.end(), isExecutableFile);
    if (found == candidates.end())
        return RsyncProbe();
    const QFileInfo binary(*found);
    const QJsonObject key{
        {QStringLiteral("executable"), *found},
        {QStringLiteral("size"), binary.size()},
        {QStringLiteral("modified"), binary.lastModified().toMSecsSinceEpoch()},
    };
    if (const auto cached = FileUtil::readRegularFile(cacheFile); cached && *cached) {
        const QJsonObject stored = QJsonDocument::fromJson(**cached).object();
        bool same = true;
        for (auto it = key.begin(); it != key.end(); ++it)
            same = same && stored.value(it.key()) == it.value();
        if (same && stored.value(QStringLiteral("versionOutput")).isString())
            return classify(*found, stored.value(QStringLiteral("versionOutput")).toString());
    }
    const Subprocess::Result result = Subprocess::runBlocking(*found, {QStringLiteral("--version")});
    if (!result) {
        RsyncProbe probe;
        probe.executable = *found;
        return probe;
    }
    const QString output = Subprocess::strictUtf8(result->out);
    QJsonObject stored = key;
    stored.insert(QStringLiteral("versionOutput"), output);
    // A cache that cannot be written costs the next run one probe, nothing more.
    if (FileUtil::makePrivateFolder(QFileInfo(cacheFile).absolutePath()))
        (void)FileUtil::writeAtomically(cacheFile, QJsonDocument(stored).toJson(QJsonDocument::Compact));
    return classify(*found, output);
}

bool RsyncProbe::probeIsModern(const QString &path)
{
    return compute({path}).isModern;
}

RsyncProbe RsyncProbe::classify(const QString &executable, const QString &versionOutput)
{
    RsyncProbe probe;
    probe.executable = executable;
    if (versionOutput.toLower().contains(QLatin1String("openrsync")))
        return probe;
    static const QRegularExpression versionPattern(QStringLiteral("version\\s+(\\d+)\\."));
    const QRegularExpressionMatch match = versionPattern.match(versionOutput);
    if (!match.hasMatch())
        return probe;
    bool ok = false;
    const int major = match.captured(1).toInt(&ok);
    if (!ok)
        return probe;
    probe.isModern = major >= 3;
    probe.supportsACLs = !versionOutput.contains(QLatin1String("no ACLs"));
    probe.supportsXattrs = !versionOutput.contains(QLatin1String("no xattrs"));
    probe.version = QVersionNumber::fromString(versionOutput.mid(match.capturedStart(1)));
    return probe;
}
