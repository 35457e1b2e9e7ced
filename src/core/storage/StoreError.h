// SPDX-License-Identifier: GPL-3.0-or-later
// Why the configuration file could not be read or written.
#pragma once

#include <QString>

// Why the configuration file could not be read or written; `message` is the
// reason as the system or the decoder gives it.
struct StoreError
{
    enum class Code {
        unreadable, // the file is there but cannot be read (or is no regular file)
        locked,     // another process held the file's lock too long
        damaged,    // it does not hold a configuration
        notKept,    // a damaged file could not be kept aside, so it was not replaced
        notWritten, // the new file could not be written; the old one stays
    };
    Code code;
    QString message;
};
