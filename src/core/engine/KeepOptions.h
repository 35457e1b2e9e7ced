// SPDX-License-Identifier: GPL-3.0-or-later
// What the copies keep besides archive mode, and what to say when a side cannot.
#pragma once

#include "core/engine/RsyncProbe.h"
#include "core/model/Error.h"
#include "core/model/Server.h"

#include <QString>
#include <QStringList>

#include <tl/expected.hpp>

#include <optional>

// rsync's options for the "Keep" settings of a server (hard links, ACLs,
// extended attributes, numeric owners, sparse files, owners kept through
// --fake-super) and its remote program (--rsync-path, sudo), with the words
// for what this computer or the server cannot do. Copies made as root keep
// owners, setuid bits and devices as attributes too (--fake-super), never
// as working setuid-root files or device nodes.
namespace KeepOptions {

// What this side can do for a run.
struct Local
{
    bool isRoot = false;
    // The backup folder's file system stores user extended attributes (what
    // --fake-super and -X write); unset: not known, taken as yes.
    bool xattrsWork = true;

    // This process's: root or not (see setRootForTesting), xattrs unknown.
    static Local current();
};

// The options, in a fixed order; none when every setting is off. A setting
// this side cannot keep (the local rsync lacks it, or the folder keeps no
// extended attributes) is left out, as notes() says.
QStringList arguments(const Server &server, const RsyncProbe &probe, const Local &local);
// "--rsync-path=…" when the server's rsync is not the default one or runs
// through sudo; empty otherwise.
QString rsyncPathArgument(const Server &server);
// The remote program as the server's shell runs it: "sudo -n rsync", "/opt/bin/rsync".
QString remoteCommand(const Server &server);
// Lines for the run's log: the settings this side cannot keep.
QStringList notes(const Server &server, const RsyncProbe &probe, const Local &local);
// Whether the folder (or the nearest folder above it that exists) keeps user
// extended attributes: code unsupported, with the system's words, when its
// file system does not; fine when it does, or when that cannot be told.
tl::expected<void, Error> checkXattrs(const QString &folder);
// Plain words for the rsync and sudo errors of a failed transfer that come
// from these settings ("The server's rsync does not support ACLs (-A)…"),
// from the log lines of the transfer (a message may come in several lines).
QStringList explainFailure(const QStringList &lines);
// Test-only: whether Tidewell counts as running as root (unset: geteuid()).
void setRootForTesting(std::optional<bool> root);

} // namespace KeepOptions
