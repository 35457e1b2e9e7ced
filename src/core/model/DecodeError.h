// SPDX-License-Identifier: GPL-3.0-or-later
// Why a configuration could not be read.
#pragma once

#include "core/model/Error.h"

// Why a configuration could not be read, in words that name the member:
// "“servers[0].port” must be a whole number." (code invalid), or why the text
// is no configuration at all (damaged, notAConfiguration).
using DecodeError = Error;
