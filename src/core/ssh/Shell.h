// SPDX-License-Identifier: GPL-3.0-or-later
// Remote-shell escaping, rsync -e quoting and the readable command line.
#pragma once

#include <QString>
#include <QStringList>

namespace Shell {

// Backslash before each of the 23 characters a remote shell would interpret.
QString escapeRemotePath(const QString &path);
// One argument for rsync's "-e" text: rsync splits that text itself, where a
// doubled quote inside single quotes stands for one quote.
QString quoteForRsyncShell(const QString &argument);
// The readable form of a command line: arguments holding a space in double quotes.
QString displayCommandLine(const QString &executable, const QStringList &arguments);

} // namespace Shell
