// SPDX-License-Identifier: GPL-3.0-or-later
// Setting up an encrypted destination or second copy.
#include "core/engine/EncryptionSetup.h"

#include "core/engine/DestinationMarker.h"
#include "core/system/AppPaths.h"
#include "core/system/EncryptedFolder.h"

#include <QCoreApplication>
#include <QDir>

#include <algorithm>

namespace EncryptionSetup {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("EncryptionSetup", text);
}

const CopyTarget *targetOf(const AppSettings &settings, const Place &where)
{
    for (const CopyTarget &target : settings.copyTargets) {
        if (target.id == where.target)
            return &target;
    }
    return nullptr;
}

// Why the place cannot become encrypted now; empty when it can.
QString refusal(const AppSettings &settings, const Place &where, const QString &keyFile)
{
    const CopyTarget *target = targetOf(settings, where);
    const bool marked = target ? target->encrypted : settings.destinationEncrypted;
    if (marked || EncryptedFolder::isEncrypted(where.folder))
        return tr("“%1” is encrypted already").arg(where.shown);
    if (!QDir::isAbsolutePath(where.folder))
        return tr("“%1” is not an absolute path").arg(where.shown);
    const bool othersEncrypted = settings.destinationEncrypted
                                 || std::any_of(settings.copyTargets.cbegin(), settings.copyTargets.cend(),
                                                [](const CopyTarget &t) { return t.encrypted; });
    if (othersEncrypted && !settings.passphraseFile.isEmpty() && settings.passphraseFile != keyFile)
        return tr("encrypted folders here use the passphrase file %1; give that one").arg(settings.passphraseFile);
    const DestinationMarker::Check drive =
        target ? DestinationMarker::beforeCopy(where.folder, settings.requiresMarker(where.folder))
               : DestinationMarker::beforeRun(settings);
    if (drive.refused)
        return drive.lines.join(u' ');
    if (const auto empty = EncryptedFolder::checkEmpty(where.folder, DestinationMarker::fileName); !empty)
        return empty.error().message;
    return {};
}

} // namespace

tl::expected<Place, QString> place(const AppSettings &settings, const QString &target)
{
    if (target.isEmpty())
        return Place{settings.destinationPath, QDir::cleanPath(AppPaths::expandTilde(settings.destinationPath)), {}};
    const CopyTarget *found = settings.copyTarget(target);
    if (!found)
        return tl::unexpected(tr("there is no second copy “%1”").arg(target));
    if (found->kind != CopyTarget::Kind::folder)
        return tl::unexpected(tr("“%1” is a copy on a host; only a copy in a folder of this computer can be encrypted")
                                  .arg(found->shownName()));
    return Place{found->path, QDir::cleanPath(AppPaths::expandTilde(found->path)), found->id};
}

tl::expected<QString, QString> setUp(const AppSettings &settings, const Place &where, const QString &keyFile)
{
    auto passphrase = EncryptedFolder::readPassphraseFile(keyFile);
    if (!passphrase)
        return tl::unexpected(passphrase.error().message);
    if (const QString refused = refusal(settings, where, keyFile); !refused.isEmpty())
        return tl::unexpected(refused);
    const auto key = EncryptedFolder::initialise(where.folder, *passphrase);
    passphrase->fill('\0');
    if (!key)
        return tl::unexpected(key.error().message);
    return *key;
}

void record(AppSettings &settings, const Place &where, const QString &keyFile)
{
    settings.passphraseFile = keyFile;
    if (where.target.isNull())
        settings.destinationEncrypted = true;
    for (CopyTarget &target : settings.copyTargets)
        target.encrypted = target.encrypted || target.id == where.target;
}

} // namespace EncryptionSetup
