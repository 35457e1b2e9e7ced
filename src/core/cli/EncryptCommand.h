// SPDX-License-Identifier: GPL-3.0-or-later
// Encrypting the backup destination from the command line.
#pragma once

#include "core/system/EncryptedFolder.h"

#include <QString>

#include <tl/expected.hpp>

namespace EncryptCommand {

// tidewell --encrypt-destination [--target TARGET] --passphrase-file FILE:
// sets the empty destination (or the folder of a second copy) up as an
// encrypted folder, notes FILE as where the passphrase is kept, and prints
// the recovery key once. Exit 0 when done, 2 when refused (not empty,
// encrypted already, a key file others may read, another key file noted).
int encryptDestination(const QString &passphraseFile, const QString &target);

// For a command that reads the destination, or the second copy `from`: its
// plaintext view when it is encrypted (an empty view when it is not), or
// why it cannot be opened.
tl::expected<PlainView, QString> holdDestination(const QString &from = QString());

} // namespace EncryptCommand
