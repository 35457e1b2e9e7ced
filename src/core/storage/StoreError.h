// SPDX-License-Identifier: GPL-3.0-or-later
// Why the configuration file could not be read or written.
#pragma once

#include "core/model/Error.h"

// Why the configuration file could not be read or written: unreadable (there
// but cannot be read, or no regular file), locked, damaged, notKept (a damaged
// file could not be kept aside, so it was not replaced) or notWritten (the old
// file stays); `message` is the reason as the system or the decoder gives it.
using StoreError = Error;
