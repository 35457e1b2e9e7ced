// The text of the two systemd user units of one server's daily backup.
#pragma once

#include <QString>
#include <QStringList>

// The text of the two user units that run one server's daily backup.
namespace SystemdUnits {

// An argument that systemd takes literally in ExecStart=: quoted, with its
// backslashes, quotes, "%" specifiers and "$" variables escaped.
QString quoteExecArgument(const QString &argument);
// The whole ExecStart= value.
QString execCommand(const QString &executable, const QStringList &arguments);
// A path for StandardOutput=append:… ("%" escaped).
QString escapeSpecifiers(const QString &text);

QString service(const QString &executable, const QString &serverID, const QString &stdoutLog, const QString &stderrLog);
QString timer(const QString &label, int hour, int minute);

} // namespace SystemdUnits
