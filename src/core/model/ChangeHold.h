// SPDX-License-Identifier: GPL-3.0-or-later
// A day on which most of a server's files changed at once, held for the user.
#pragma once

#include "core/model/DecodeError.h"

#include <QJsonObject>
#include <QString>

#include <tl/expected.hpp>

// A run found that most of the files the previous complete day held were
// changed or gone (files encrypted on the server, a mount missing there).
// The day is kept, and old days are not pruned until the user says the
// change was expected: otherwise retention would, night by night, delete
// every day from before it.
struct ChangeHold
{
    // Regular files the server's paths held where the history reads them,
    // fewer than this, are too few for a share of them to mean anything.
    static constexpr qint64 minimumFiles = 200;
    static constexpr qint64 defaultPercent = 40;

    QString day;   // the run's snapshot (yyyy-MM-dd, or yyyy-MM-dd_HHmm)
    QString since; // the complete day it was measured against
    qint64 changed = 0;
    qint64 of = 0; // regular files `since` held in the paths the run copied

    // Rounded, but "100 %" only when it is every file.
    qint64 percent() const;
    // "87 % of the files changed since 2026-12-06 (41,203 of 47,360)".
    QString englishText() const;
    // The run log's line ("!! …: old backups are kept until you confirm this change.").
    QString logLine() const;
    // The same in the user's language, for the window.
    QString shownText() const;

    // Whether `changed` of `of` is more than `percent` (0: never).
    static bool exceeds(qint64 changed, qint64 of, qint64 percent);

    QJsonObject toJson() const;
    static tl::expected<ChangeHold, DecodeError> fromJson(const QJsonObject &object, const QString &context);

    friend bool operator==(const ChangeHold &, const ChangeHold &) = default;
};
