// SPDX-License-Identifier: GPL-3.0-or-later
// Which rsync runs start, and which options it understands.
#pragma once

#include <QString>
#include <QStringList>
#include <QVersionNumber>

// Which rsync every run starts, and what it understands.
struct RsyncProbe
{
    QString executable = QStringLiteral("/usr/bin/rsync");
    bool isModern = false;
    QVersionNumber version;
    // From the capabilities --version lists ("no ACLs", "no xattrs" when built without).
    bool supportsACLs = true;
    bool supportsXattrs = true;

    // rsync 3.2.4 and later protect remote arguments themselves; "--old-args"
    // makes them leave our remote-shell escaping alone.
    bool needsOldArgs() const;
    // --link-dest arrived in rsync 2.5.6; an unknown version is not trusted with it.
    bool supportsLinkDest() const;

    static QStringList defaultCandidates();
    // The first executable candidate, probed once with --version; the search
    // stops there even when it is not modern.
    static RsyncProbe compute(const QStringList &candidates = defaultCandidates());
    // The same, with the answer of --version kept in `cacheFile` for as long
    // as the binary keeps its path, size and modification time: a run need
    // not start rsync once more only to ask its version.
    static RsyncProbe computeCached(const QString &cacheFile, const QStringList &candidates = defaultCandidates());
    // Where computeCached() keeps it for the program: in the data folder.
    static QString defaultCacheFile();
    static bool probeIsModern(const QString &path);
    // Classifies the text of `rsync --version`.
    static RsyncProbe classify(const QString &executable, const QString &versionOutput);
};
