// SPDX-License-Identifier: GPL-3.0-or-later
// Choosing the ssh cipher list from the CPU's features.
#include "core/ssh/CipherPreference.h"

#include <QFile>
#include <QRegularExpression>

namespace CipherPreference {

bool hasAesInstructions(const QString &cpuinfo)
{
    static const QRegularExpression featureLine(QStringLiteral("^(flags|Features)\\s*:(.*)$"),
                                                QRegularExpression::MultilineOption);
    for (auto it = featureLine.globalMatch(cpuinfo); it.hasNext();) {
        const QStringList words = it.next().captured(2).split(u' ', Qt::SkipEmptyParts);
        if (words.contains(QStringLiteral("aes")))
            return true;
    }
    return false;
}

QString automatic(bool aesInstructions)
{
    const QString gcm = QStringLiteral("aes128-gcm@openssh.com,aes256-gcm@openssh.com");
    const QString chacha = QStringLiteral("chacha20-poly1305@openssh.com");
    const QString rest = QStringLiteral("aes128-ctr,aes192-ctr,aes256-ctr");
    return (aesInstructions ? gcm + u',' + chacha : chacha + u',' + gcm) + u',' + rest;
}

QString forServer(const Server &server)
{
    if (!server.sshCiphers.trimmed().isEmpty())
        return server.sshCiphers.trimmed();
    static const QString list = [] {
        QFile file(QStringLiteral("/proc/cpuinfo"));
        // Read as text up to its end: /proc files report no size.
        const bool aes =
            file.open(QIODevice::ReadOnly | QIODevice::Text) && hasAesInstructions(QString::fromLatin1(file.readAll()));
        return automatic(aes);
    }();
    return list;
}

} // namespace CipherPreference
