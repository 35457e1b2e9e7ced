// SPDX-License-Identifier: GPL-3.0-or-later
// A program with its arguments, run on this computer around a run.
#pragma once

#include "core/model/Phrase.h"

#include <QString>
#include <QStringList>

// A command is a list of words: the program's absolute path, then its
// arguments, handed to the program as they are (no shell reads them).
namespace LocalCommand {

enum class When { beforeRun, afterSuccess, afterFailure };

// Why `command` cannot be run here (empty: it can, or there is none): its
// program must be an absolute path to an executable file.
Phrase problem(const QStringList &command, When when);
// The words as one line a user edits: each quoted with "…" when it holds
// white space, a quote or a backslash, so parsed() gives them back.
QString shown(const QStringList &command);
// A line as shown() writes it (or typed so) back into its words.
QStringList parsed(const QString &line);

} // namespace LocalCommand
