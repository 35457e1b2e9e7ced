// SPDX-License-Identifier: GPL-3.0-or-later
// Each server's figures for Prometheus, as node_exporter's textfile collector reads them.
#pragma once

#include "core/engine/RsyncStats.h"
#include "core/model/AppSettings.h"
#include "core/model/Error.h"

#include <QByteArray>
#include <QDateTime>
#include <QUuid>

#include <tl/expected.hpp>

#include <optional>

namespace MetricsFile {

// What a server's last run measured, kept beside its log for the metrics.
void recordRun(const QUuid &serverID, const QDateTime &started, const QDateTime &finished,
               const std::optional<RsyncStats> &stats);

// The metrics of every server, in the text exposition format: gauges named
// tidewell_* with the labels server (its name) and id, values in seconds,
// bytes and counts; a figure never measured is left out.
QByteArray text(const AppSettings &settings, const QDateTime &now);

// Writes text() to `path` (a leading "~" is the home folder) atomically and
// readable by others (node_exporter runs as its own user).
tl::expected<void, Error> write(const QString &path, const AppSettings &settings, const QDateTime &now);

// Rewrites the file named in the configuration as it is on disk now, when
// one is named; failures go to standard error (a run's result is not one).
void refresh();

} // namespace MetricsFile
