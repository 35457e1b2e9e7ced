// SPDX-License-Identifier: GPL-3.0-or-later
// Making the destination, or a second copy's folder, an encrypted folder.
#pragma once

#include "core/model/AppSettings.h"

#include <QString>
#include <QUuid>

#include <tl/expected.hpp>

// What the command line and the window do alike to set up encryption: the
// place is found and checked (empty but for a drive's marker, not encrypted
// yet, its drive there, the key file usable and the one other encrypted
// folders use), gocryptfs sets it up, and the configuration notes it.
namespace EncryptionSetup {

struct Place
{
    QString shown;  // as the user wrote it
    QString folder; // absolute
    QUuid target;   // null: the destination
};

// The destination (an empty `target`), or the folder target of that id or name.
tl::expected<Place, QString> place(const AppSettings &settings, const QString &target);

// Sets the place up with the passphrase on the first line of `keyFile`
// (absolute); returns the recovery key. Messages in the user's language.
tl::expected<QString, QString> setUp(const AppSettings &settings, const Place &where, const QString &keyFile);

// What the configuration says once the place is set up.
void record(AppSettings &settings, const Place &where, const QString &keyFile);

} // namespace EncryptionSetup
