// SPDX-License-Identifier: GPL-3.0-or-later
// Finding rsync and reading its version.
#include "core/engine/RsyncProbe.h"

#include "core/system/Subprocess.h"

#include <QFileInfo>
#include <QRegularExpression>

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
    probe.version = QVersionNumber::fromString(versionOutput.mid(match.capturedStart(1)));
    return probe;
}
