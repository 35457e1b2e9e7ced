#pragma once

#include <QString>

// Host and user names reach ssh, rsync's ssh and ssh-keyscan as arguments.
// One that begins with "-" would be taken as an option (-oProxyCommand=… runs
// a command here), and white space or control characters would split it.
namespace TargetCheck {

// Empty when the host is safe to pass on, otherwise why not.
QString hostProblem(const QString &host);
QString userProblem(const QString &username);
QString problem(const QString &host, const QString &username);

} // namespace TargetCheck
