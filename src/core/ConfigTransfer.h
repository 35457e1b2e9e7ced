// SPDX-License-Identifier: GPL-3.0-or-later
// Export of the configuration to JSON and import back, with their status lines.
#pragma once

#include "core/model/AppSettings.h"
#include "core/schedule/Scheduler.h"

#include <QDate>
#include <QString>

#include <qcoro/qcorotask.h>

#include <tl/expected.hpp>

#include <functional>

class ConfigStore;

// Export of the whole configuration to a JSON file and import back, with the
// daily schedules brought in line with the imported servers.
namespace ConfigTransfer {

// Why an export or import did not (wholly) work; `message` is the status
// line Settings shows.
struct TransferError
{
    enum class Code {
        unreadable,        // the file could not be opened or read
        notAConfiguration, // not JSON, or not Tidewell's configuration
        notWritten,        // the export could not be written
        schedulesFailed,   // imported, but some daily schedules were not installed
    };
    Code code;
    QString message;
    // schedulesFailed: "<server>: <reason>" for each schedule not installed.
    QStringList details;

    friend bool operator==(const TransferError &, const TransferError &) = default;
};
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
// Replaces the settings at once, then removes the old schedules and installs
// the new ones, calling `progress` with how many of the scheduled servers are
// done. Schedules that could not be installed come back as one line (how
// many, and the reason most share) with each one in the details. Report
// addresses the file does not hold are kept from the settings here.
QCoro::Task<Outcome> applyImport(ConfigStore *store, Scheduler scheduler, PendingImport pending,
                                 std::function<void(int done, int total)> progress = {});

} // namespace ConfigTransfer
