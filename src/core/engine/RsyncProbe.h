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

    // rsync 3.2.4 and later protect remote arguments themselves; "--old-args"
    // makes them leave our remote-shell escaping alone.
    bool needsOldArgs() const;
    // --link-dest arrived in rsync 2.5.6; an unknown version is not trusted with it.
    bool supportsLinkDest() const;

    static QStringList defaultCandidates();
    // The first executable candidate, probed once with --version; the search
    // stops there even when it is not modern.
    static RsyncProbe compute(const QStringList &candidates = defaultCandidates());
    static bool probeIsModern(const QString &path);
    // Classifies the text of `rsync --version`.
    static RsyncProbe classify(const QString &executable, const QString &versionOutput);
};
