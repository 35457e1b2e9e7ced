#include "core/ssh/TargetCheck.h"

namespace TargetCheck {

static QString check(const QString &value, const QString &what)
{
    if (value.startsWith(u'-'))
        return QStringLiteral("Refusing %1 “%2”: it begins with “-” and would be read as an ssh option.").arg(what, value);
    for (const QChar c : value) {
        if (c.isSpace() || c.category() == QChar::Other_Control)
            return QStringLiteral("Refusing %1 “%2”: it contains white space or control characters.").arg(what, value);
    }
    return QString();
}

QString hostProblem(const QString &host)
{
    return check(host, QStringLiteral("host name"));
}

QString userProblem(const QString &username)
{
    return check(username, QStringLiteral("user name"));
}

QString problem(const QString &host, const QString &username)
{
    const QString hostError = hostProblem(host);
    return hostError.isEmpty() ? userProblem(username) : hostError;
}

} // namespace TargetCheck
