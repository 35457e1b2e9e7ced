// SPDX-License-Identifier: GPL-3.0-or-later
// Composing a mail and giving it to sendmail.
#include "core/system/Sendmail.h"

#include "core/system/Subprocess.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>

namespace Sendmail {

namespace {

// RFC 2047 encoded words of at most 45 bytes of UTF-8 each, never cutting a character.
QByteArray encodedHeader(const QString &text)
{
    bool ascii = true;
    for (QChar c : text)
        ascii = ascii && c.unicode() >= 0x20 && c.unicode() < 0x7f;
    if (ascii)
        return text.toLatin1();
    QList<QByteArray> words;
    QByteArray piece;
    for (qsizetype i = 0; i < text.size(); ++i) {
        qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QByteArray character = text.mid(i, length).toUtf8();
        i += length - 1;
        if (piece.size() + character.size() > 45) {
            words << piece;
            piece.clear();
        }
        piece += character;
    }
    if (!piece.isEmpty())
        words << piece;
    QByteArray header;
    for (const QByteArray &word : std::as_const(words)) {
        if (!header.isEmpty())
            header += "\n ";
        header += "=?UTF-8?B?" + word.toBase64() + "?=";
    }
    return header;
}

} // namespace

tl::expected<void, Error> checkAddress(const QString &address)
{
    static const QRegularExpression plain(QStringLiteral("^[^@\\s,;<>()\"\\\\]+@[^@\\s,;<>()\"\\\\]+$"));
    if (address.isEmpty())
        return tl::unexpected(Error{Error::Code::invalid, QStringLiteral("no address")});
    if (address.startsWith(u'-') || !plain.match(address).hasMatch())
        return tl::unexpected(Error{Error::Code::invalid, QStringLiteral("“") + address
                                                              + QStringLiteral("” is not one plain e-mail address")});
    return {};
}

QByteArray message(const QString &to, const QString &subject, const QString &body)
{
    QByteArray text = "To: " + to.toUtf8() + "\nSubject: " + encodedHeader(subject)
                      + "\nMIME-Version: 1.0\nContent-Type: text/plain; charset=utf-8\n"
                        "Content-Transfer-Encoding: 8bit\nAuto-Submitted: auto-generated\n\n";
    QString normalized = body;
    normalized.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text += normalized.toUtf8();
    if (!text.endsWith('\n'))
        text += '\n';
    return text;
}

QCoro::Task<tl::expected<void, Error>> send(QString program, QString to, QString subject, QString body)
{
    if (const auto address = checkAddress(to); !address)
        co_return tl::unexpected(address.error());
    if (!QFileInfo(program).isExecutable())
        co_return tl::unexpected(
            Error{Error::Code::notFound, program + QStringLiteral(" is missing: no mail transfer agent is installed")});
    const QStringList arguments{QStringLiteral("-t"), QStringLiteral("-oi")};
    const Subprocess::Result result = co_await Subprocess::run(program, arguments, message(to, subject, body));
    if (!result)
        co_return tl::unexpected(result.error());
    if (result->status != 0) {
        const QString said = QString::fromUtf8(result->err).trimmed();
        co_return tl::unexpected(
            Error{Error::Code::toolFailed, program + QStringLiteral(" ended with ") + QString::number(result->status)
                                               + (said.isEmpty() ? QString() : QStringLiteral(": ") + said)});
    }
    co_return {};
}

} // namespace Sendmail
