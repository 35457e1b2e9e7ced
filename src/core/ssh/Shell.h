// SPDX-License-Identifier: GPL-3.0-or-later
// Quoting for remote shells and rsync -e, and the readable command line.
#pragma once

#include <QString>
#include <QStringList>

namespace Shell {

// The one quoting of a text for the server's shell: the whole text between
// single quotes, each single quote in it written '\''. A POSIX shell gives
// back exactly the text, whatever it holds (line feeds, carriage returns,
// every other control character, metacharacters, any byte).
QString quote(const QString &text);
// A remote path as one word for the server's shell: quoted, with "~" and
// "~/…" taken relative to the account's home (where ssh commands and rsync
// start; a quoted "~" would be a folder of that name) and a path starting
// with "-" written "./-…", so no program takes it for an option.
QString quotePath(const QString &path);
// One argument for rsync's "-e" text: rsync splits that text itself, where a
// doubled quote inside single quotes stands for one quote.
QString quoteForRsyncShell(const QString &argument);
// The readable form of a command line: arguments holding a space in double quotes.
QString displayCommandLine(const QString &executable, const QStringList &arguments);

} // namespace Shell
