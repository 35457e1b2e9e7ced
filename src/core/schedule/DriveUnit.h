// SPDX-License-Identifier: GPL-3.0-or-later
// The user unit that backs up when the backup drive is mounted.
#pragma once

#include <QString>

#include <optional>

// org.tidewell.drive.service is wanted by the mount unit the user manager
// has for the drive's mount point, so systemd starts it when the drive is
// mounted: no udev rule, nothing of root's. It runs `tidewell
// --run-overdue`, which starts the scheduled backups that are due.
namespace DriveUnit {

inline const QString serviceName = QStringLiteral("org.tidewell.drive.service");

// systemd's name for the mount unit of `mountPoint`, as `systemd-escape
// --path --suffix=mount` writes it ("/media/ann/My Drive" →
// "media-ann-My\x20Drive.mount").
QString mountUnitName(const QString &mountPoint);
// The mount point of the file system that holds `path`; none when that is
// the root file system (no drive of its own) or `path` cannot be looked at.
std::optional<QString> mountPointOf(const QString &path);
QString service(const QString &executable, const QString &mountUnit);
// The mount unit a service written by service() is wanted by; none without one.
std::optional<QString> wantedBy(const QString &serviceText);

} // namespace DriveUnit
