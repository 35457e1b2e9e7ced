// SPDX-License-Identifier: GPL-3.0-or-later
// Why a configuration could not be read.
#pragma once

#include <QString>

// Why a configuration could not be read, in words that name the member:
// "“servers[0].port” must be a whole number."
struct DecodeError
{
    QString message;

    friend bool operator==(const DecodeError &, const DecodeError &) = default;
};
