// SPDX-License-Identifier: GPL-3.0-or-later
// The ssh ciphers a transfer offers, fastest first for this machine.
#pragma once

#include "core/model/Server.h"

#include <QString>

// ssh's cipher is what limits a large transfer. With AES instructions in the
// CPU, AES-GCM is much faster than chacha20-poly1305 (OpenSSH's first
// choice); without them, chacha20-poly1305 is. Each list ends with OpenSSH's
// other secure defaults, so a server that offers none of the first still
// connects; CBC modes and arcfour are never offered.
namespace CipherPreference {

// Whether /proc/cpuinfo's text names AES instructions: the "aes" flag on
// x86 ("flags"), the "aes" feature on ARM ("Features").
bool hasAesInstructions(const QString &cpuinfo);
// The list for a CPU with or without AES instructions.
QString automatic(bool aesInstructions);
// The server's own list (sshCiphers), or the automatic one for this
// machine's CPU (read once).
QString forServer(const Server &server);

} // namespace CipherPreference
