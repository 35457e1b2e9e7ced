// SPDX-License-Identifier: GPL-3.0-or-later
// Export of the configuration to JSON and import back, with their status lines.
#pragma once

#include "core/model/AppSettings.h"
#include "core/model/Error.h"

#include <QDate>
#include <QString>

#include <tl/expected.hpp>

// Export of the whole configuration to a JSON file and reading it back for
// an import (which ConfigImport applies, with the schedules).
namespace ConfigTransfer {

// Why an export or import did not (wholly) work: unreadable (the file could
// not be opened or read), notAConfiguration, notWritten (the export), or
// schedulesFailed (imported, but some daily schedules were not installed: one
// "<server>: <reason>" line each in `details`); `message` is the status line
// Settings shows.
using TransferError = Error;
// The status line of an export or import that worked, or why it did not.
using Outcome = tl::expected<QString, TransferError>;

struct PendingImport
{
    AppSettings settings;
    QString fileName;
    // Servers that repeated another's id in the file and were given new ones.
    int reassignedIds = 0;

    QString confirmationTitle() const;
    QString confirmationText() const;
};

// Key paths emptied, last-run fields removed, and report addresses (URLs may
// hold tokens) unless asked for; everything else unchanged.
AppSettings sanitizedForExport(const AppSettings &settings, bool withReportAddresses = false);
QString defaultExportName(const QDate &today = QDate::currentDate());

Outcome exportTo(const QString &path, const AppSettings &settings, bool withReportAddresses = false);
// The decoded file waiting for confirmation, or the failure to report.
tl::expected<PendingImport, TransferError> readImport(const QString &path);
} // namespace ConfigTransfer
