// SPDX-License-Identifier: GPL-3.0-or-later
// A server named on the command line: by its id or by its name.
#pragma once

#include "core/model/AppSettings.h"
#include "core/model/Error.h"

#include <QString>

#include <tl/expected.hpp>

namespace ServerReference {

// The server `reference` names: the one with that id (any case, without
// braces), else the one whose name it is when no other has it. Otherwise
// the one line that says why, with the servers it could mean.
tl::expected<Server, Error> find(const AppSettings &settings, const QString &reference);

} // namespace ServerReference
