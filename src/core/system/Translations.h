// SPDX-License-Identifier: GPL-3.0-or-later
// Loading the user's language: Tidewell's catalogue and Qt's own.
#pragma once

#include "core/model/Error.h"

#include <tl/expected.hpp>

#include <QByteArray>
#include <QLocale>
#include <QString>
#include <QStringList>

// The window, notifications, --help and --status speak the user's language
// when a catalogue for it exists; logs, JSON and exit codes never change.
namespace Translations {

// Where the catalogues are looked for: beside the binary in the build tree
// it was built in, or share/tidewell/translations of where it is installed;
// never a folder the environment names.
QStringList folders();

// Installs the catalogue of the first of the locale's UI languages that has
// one, and Qt's own for it, on the running QCoreApplication. English, or a
// language without a catalogue, gets the English one: the texts are English
// already, it holds their plural forms ("1 day ago", "2 days ago"). Returns
// the language loaded ("de", "en"), empty when no catalogue was found. A
// later call replaces the earlier catalogues.
QString install(const QLocale &locale = QLocale(), const QStringList &searchFolders = folders());

// Why the bytes of a .qm file are no sound catalogue: no Qt catalogue at
// all (its magic), larger than a catalogue is, a block or message record
// that runs past its end, a context table that points outside, or a
// catalogue that would load others (code damaged); fine when every lookup Qt
// makes in it stays inside it. A catalogue that is not sound is never
// installed: one warning, and the program speaks English.
tl::expected<void, Error> check(const QByteArray &catalogue);

} // namespace Translations
