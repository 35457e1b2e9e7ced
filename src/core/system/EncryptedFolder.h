// SPDX-License-Identifier: GPL-3.0-or-later
// Folders encrypted with gocryptfs, and their plaintext view while it is needed.
#pragma once

#include "core/model/AppSettings.h"
#include "core/model/Error.h"

#include <QByteArray>
#include <QFuture>
#include <QString>

#include <memory>
#include <optional>

#include <tl/expected.hpp>

// A folder that holds only gocryptfs's ciphertext: file names, contents and
// extended attributes are encrypted with a key that the passphrase unlocks
// (kept, encrypted, in the folder's "gocryptfs.conf"). The passphrase
// reaches gocryptfs on its standard input alone, never in its arguments or
// environment.
namespace EncryptedFolder {

inline const QString configName = QStringLiteral("gocryptfs.conf");

// Whether the folder was set up by gocryptfs (it holds its configuration).
bool isEncrypted(const QString &cipherFolder);
// Whether the folder may become encrypted: it exists (or is created) and
// holds nothing but the drive's marker and a file system's lost+found.
tl::expected<void, Error> checkEmpty(const QString &cipherFolder, const QString &markerName);

// Sets the empty folder up and returns its master key, written as gocryptfs
// writes it (eight groups of eight hex digits): with it the copies can be
// read without the passphrase, even without "gocryptfs.conf".
tl::expected<QString, Error> initialise(const QString &cipherFolder, const QByteArray &passphrase);

// The passphrase from the first line of a file, which must be a regular
// file of this user that no other user may read (as 0600 or 0400).
tl::expected<QByteArray, Error> readPassphraseFile(const QString &path);

// Mounts the plaintext view of `cipherFolder` at the empty folder
// `mountPoint`, for this user alone; returns once it is there.
tl::expected<void, Error> mount(const QString &cipherFolder, const QString &mountPoint, const QByteArray &passphrase);
// Unmounts it; a view still in use (a shell inside it) is detached at once
// and goes when the last file in it is closed.
tl::expected<void, Error> unmount(const QString &mountPoint);
// The folder whose gocryptfs view is mounted at `mountPoint`, if one is.
std::optional<QString> mountedFrom(const QString &mountPoint);

} // namespace EncryptedFolder

// The plaintext view of an encrypted folder, held open while a run, a check
// or a restore works in it: the first holder on this computer mounts it
// under the runtime folder ("<runtime>/<id>", for this user alone), the last
// one to let go unmounts it. Holders in other processes are listed beside it
// and counted while their process lives; a view that a killed process left
// behind is unmounted by the next start (cleanStale()). A value is a share
// of the view: copies hold the same one, the view is let go with the last.
class PlainView
{
public:
    struct Request
    {
        QString cipherFolder;   // absolute
        QString id;             // names the mount point: "destination", a copy target's id
        QString passphraseFile; // see AppSettings::passphraseFile
        QString name;           // for messages: the folder as the user wrote it
    };
    using Opened = tl::expected<PlainView, Error>;

    PlainView() = default;

    // The destination's view (id "destination"), and a folder target's
    // (its id); both unlocked by the same passphrase.
    static Request destination(const AppSettings &settings);
    static Request copyTarget(const CopyTarget &target, const AppSettings &settings);

    static Opened open(const Request &request);
    // open() on a worker thread, for callers on an event loop (the scrypt
    // key derivation and the mount take about a second).
    static QFuture<Opened> openInBackground(const Request &request);

    bool isOpen() const { return m_share != nullptr; }
    QString path() const;
    void release();

    // `path` seen through a view this process holds: the same place in the
    // plaintext view when it lies in a held cipher folder, else unchanged.
    static QString through(const QString &path);
    // Whether this process holds the view of `cipherFolder`.
    static bool isHeld(const QString &cipherFolder);
    // Unmounts the views under the runtime folder that no living process
    // holds; returns a line for each.
    static QStringList cleanStale();

    // What the copies of a value share (opaque).
    struct Share;

private:
    explicit PlainView(std::shared_ptr<Share> share)
        : m_share(std::move(share))
    { }
    std::shared_ptr<Share> m_share;
};
