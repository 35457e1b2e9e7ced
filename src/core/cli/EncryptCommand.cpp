// SPDX-License-Identifier: GPL-3.0-or-later
// Encrypting the backup destination from the command line.
#include "core/cli/EncryptCommand.h"

#include "core/cli/CommandOutput.h"
#include "core/engine/EncryptionSetup.h"
#include "core/model/ExitCode.h"
#include "core/storage/ConfigStore.h"
#include "core/system/AppPaths.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace EncryptCommand {

namespace {

using CommandOutput::say;

QString tr(const char *text)
{
    return QCoreApplication::translate("EncryptCommand", text);
}

void sayKey(const QString &shown, const QString &keyFile, const QString &key)
{
    say(stdout, tr("“%1” is encrypted; its passphrase is read from %2.").arg(shown, keyFile));
    say(stdout, tr("Recovery key (shown this once):"));
    say(stdout, QString());
    say(stdout, QStringLiteral("    ") + key);
    say(stdout, QString());
    say(stdout, tr("Write it down or print it and keep it away from this computer: with it the backups can be read "
                   "without the passphrase, even if gocryptfs.conf is lost."));
}

} // namespace

int encryptDestination(const QString &passphraseFile, const QString &target)
{
    ConfigStore store;
    if (!CommandOutput::usable(store))
        return ExitCode::refused;
    const AppSettings settings = store.settings();
    if (passphraseFile.isEmpty()) {
        say(stderr, tr("tidewell: --encrypt-destination needs --passphrase-file FILE, a file readable by you alone "
                       "whose first line is the passphrase"));
        return ExitCode::refused;
    }
    const auto where = EncryptionSetup::place(settings, target);
    if (!where) {
        say(stderr, QStringLiteral("tidewell: ") + where.error());
        return ExitCode::refused;
    }
    const QString keyFile = QFileInfo(AppPaths::expandTilde(passphraseFile)).absoluteFilePath();
    const auto key = EncryptionSetup::setUp(settings, *where, keyFile);
    if (!key) {
        say(stderr, QStringLiteral("tidewell: ") + key.error());
        return ExitCode::refused;
    }
    store.update([&](AppSettings &changed) { EncryptionSetup::record(changed, *where, keyFile); });
    if (const auto saved = store.save(); !saved) {
        say(stderr, tr("tidewell: the configuration could not be saved: %1").arg(saved.error().message));
        return ExitCode::refused;
    }
    sayKey(where->shown, keyFile, *key);
    return ExitCode::success;
}

tl::expected<PlainView, QString> holdDestination(const QString &from)
{
    const auto settings = ConfigStore::readOnly(AppPaths::configFile());
    if (!settings)
        return PlainView(); // the command says itself what it cannot read
    const CopyTarget *target = from.isEmpty() ? nullptr : settings->copyTarget(from);
    if (from.isEmpty() ? !settings->destinationEncrypted
                       : !target || !target->encrypted || target->kind != CopyTarget::Kind::folder)
        return PlainView();
    const auto opened =
        PlainView::open(target ? PlainView::copyTarget(*target, *settings) : PlainView::destination(*settings));
    if (!opened)
        return tl::unexpected(QStringLiteral("tidewell: ") + opened.error().message);
    return *opened;
}

} // namespace EncryptCommand
