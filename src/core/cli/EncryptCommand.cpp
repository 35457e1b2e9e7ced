// SPDX-License-Identifier: GPL-3.0-or-later
// Encrypting the backup destination from the command line.
#include "core/cli/EncryptCommand.h"

#include "core/cli/CommandOutput.h"
#include "core/engine/DestinationMarker.h"
#include "core/model/ExitCode.h"
#include "core/storage/ConfigStore.h"
#include "core/system/AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace EncryptCommand {

namespace {

using CommandOutput::say;

QString tr(const char *text)
{
    return QCoreApplication::translate("EncryptCommand", text);
}

// What is to become encrypted: the destination, or a folder target.
struct Place
{
    QString shown;  // as the user wrote it
    QString folder; // absolute
    const CopyTarget *target = nullptr;
};

tl::expected<Place, QString> place(const AppSettings &settings, const QString &target)
{
    if (target.isEmpty())
        return Place{settings.destinationPath, QDir::cleanPath(AppPaths::expandTilde(settings.destinationPath)),
                     nullptr};
    const CopyTarget *found = settings.copyTarget(target);
    if (!found)
        return tl::unexpected(tr("tidewell: there is no second copy “%1”").arg(target));
    if (found->kind != CopyTarget::Kind::folder)
        return tl::unexpected(
            tr("tidewell: “%1” is a copy on a host; only a copy in a folder of this computer can be encrypted")
                .arg(found->shownName()));
    return Place{found->path, QDir::cleanPath(AppPaths::expandTilde(found->path)), found};
}

// Why the place cannot become encrypted now, if it cannot.
QString refusal(const AppSettings &settings, const Place &where, const QString &keyFile)
{
    const bool marked = where.target ? where.target->encrypted : settings.destinationEncrypted;
    if (marked || EncryptedFolder::isEncrypted(where.folder))
        return tr("tidewell: “%1” is encrypted already").arg(where.shown);
    if (!QDir::isAbsolutePath(where.folder))
        return tr("tidewell: “%1” is not an absolute path").arg(where.shown);
    if (!settings.passphraseFile.isEmpty() && settings.passphraseFile != keyFile
        && (settings.destinationEncrypted
            || std::any_of(settings.copyTargets.cbegin(), settings.copyTargets.cend(),
                           [](const CopyTarget &t) { return t.encrypted; })))
        return tr("tidewell: encrypted folders here use the passphrase file %1; give that one")
            .arg(settings.passphraseFile);
    const DestinationMarker::Check drive =
        where.target ? DestinationMarker::beforeCopy(where.folder, settings.requiresMarker(where.folder))
                     : DestinationMarker::beforeRun(settings);
    if (drive.refused)
        return QStringLiteral("tidewell: ") + drive.lines.join(u' ');
    if (const auto empty = EncryptedFolder::checkEmpty(where.folder, DestinationMarker::fileName); !empty)
        return QStringLiteral("tidewell: ") + empty.error().message;
    return {};
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
    const auto where = place(settings, target);
    if (!where) {
        say(stderr, where.error());
        return ExitCode::refused;
    }
    const QString keyFile = QFileInfo(AppPaths::expandTilde(passphraseFile)).absoluteFilePath();
    auto passphrase = EncryptedFolder::readPassphraseFile(keyFile);
    if (!passphrase) {
        say(stderr, QStringLiteral("tidewell: ") + passphrase.error().message);
        return ExitCode::refused;
    }
    if (const QString refused = refusal(settings, *where, keyFile); !refused.isEmpty()) {
        say(stderr, refused);
        return ExitCode::refused;
    }
    const auto key = EncryptedFolder::initialise(where->folder, *passphrase);
    passphrase->fill('\0');
    if (!key) {
        say(stderr, QStringLiteral("tidewell: ") + key.error().message);
        return ExitCode::refused;
    }
    const QUuid targetID = where->target ? where->target->id : QUuid();
    store.update([&keyFile, &targetID](AppSettings &changed) {
        changed.passphraseFile = keyFile;
        if (targetID.isNull())
            changed.destinationEncrypted = true;
        for (CopyTarget &t : changed.copyTargets)
            t.encrypted = t.encrypted || t.id == targetID;
    });
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
