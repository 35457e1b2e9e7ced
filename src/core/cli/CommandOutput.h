// SPDX-License-Identifier: GPL-3.0-or-later
// What the configuration commands say, and the store they all start from.
#pragma once

#include <QString>

#include <cstdio>

class ConfigStore;

namespace CommandOutput {

// One line on `stream`, in the locale's encoding.
void say(FILE *stream, const QString &line);

// True when the store read its file (or there was none); otherwise says
// why on standard error.
bool usable(const ConfigStore &store);

} // namespace CommandOutput
