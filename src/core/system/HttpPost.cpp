// SPDX-License-Identifier: GPL-3.0-or-later
// Report requests with Qt's network access.
#include "core/system/HttpPost.h"

#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QTimer>

#include <qcoro/qcorosignal.h>
#include <qcoro/qcorotimer.h>

#include <chrono>
#include <memory>

namespace HttpPost {

tl::expected<void, Error> check(const QUrl &url)
{
    if (!url.isValid() || url.host().isEmpty())
        return tl::unexpected(Error{Error::Code::invalid, QStringLiteral("not a URL")});
    const QString scheme = url.scheme().toLower();
    if (scheme == QStringLiteral("https"))
        return {};
    if (scheme == QStringLiteral("http")) {
        const QHostAddress address(url.host());
        if (url.host().compare(QStringLiteral("localhost"), Qt::CaseInsensitive) == 0 || address.isLoopback())
            return {};
        return tl::unexpected(
            Error{Error::Code::invalid, QStringLiteral("plain http is only for this computer: use https")});
    }
    return tl::unexpected(Error{Error::Code::invalid, QStringLiteral("only https URLs are used")});
}

QString redacted(const QUrl &url)
{
    QString shown = url.scheme() + QStringLiteral("://") + url.host();
    if (url.port() > 0)
        shown += u':' + QString::number(url.port());
    return shown + QStringLiteral("/…");
}

QByteArray headerValue(const QString &text)
{
    const bool plain = std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c >= u' ' && c <= u'~'; });
    if (plain)
        return text.toLatin1();
    return QByteArrayLiteral("=?UTF-8?B?") + text.toUtf8().toBase64() + QByteArrayLiteral("?=");
}

QCoro::Task<tl::expected<int, Failure>> post(QNetworkAccessManager *network, Request request, Limits limits)
{
    if (const auto allowed = check(request.url); !allowed)
        co_return tl::unexpected(Failure{0, allowed.error().message});
    QPointer<QNetworkAccessManager> guard(network);
    Failure last{0, QStringLiteral("not sent")};
    for (int attempt = 1; attempt <= limits.tries; ++attempt) {
        if (attempt > 1) {
            QTimer pause;
            pause.setSingleShot(true);
            pause.start(std::chrono::milliseconds(limits.pauseMs));
            co_await pause;
        }
        if (!guard)
            co_return tl::unexpected(Failure{0, QStringLiteral("cancelled")});
        QNetworkRequest call(request.url);
        call.setHeader(QNetworkRequest::ContentTypeHeader, request.contentType);
        call.setHeader(QNetworkRequest::UserAgentHeader, QByteArrayLiteral("Tidewell"));
        for (const auto &[name, value] : request.headers)
            call.setRawHeader(name, value);
        call.setTransferTimeout(limits.timeoutMs);
        // Redirects could lead off https; reports go where they were told.
        call.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
        std::unique_ptr<QNetworkReply, void (*)(QNetworkReply *)> reply(network->post(call, request.body),
                                                                        [](QNetworkReply *r) { r->deleteLater(); });
        // The answer is read and dropped as it comes, to a bound: what the
        // endpoint says beyond it never reaches memory.
        reply->setReadBufferSize(maxAnswerBytes);
        qint64 answered = 0;
        bool cut = false;
        QNetworkReply *watched = reply.get();
        QObject::connect(watched, &QNetworkReply::readyRead, watched, [watched, &answered, &cut] {
            answered += watched->skip(watched->bytesAvailable());
            if (answered >= maxAnswerBytes && !cut) {
                cut = true;
                watched->abort();
            }
        });
        if (!reply->isFinished())
            co_await qCoro(watched, &QNetworkReply::finished, std::chrono::milliseconds(limits.timeoutMs + 1000));
        QObject::disconnect(watched, &QNetworkReply::readyRead, watched, nullptr);
        if (!reply->isFinished()) {
            reply->abort();
            last = Failure{0, QStringLiteral("timeout")};
            continue;
        }
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (status >= 200 && status < 300)
            co_return status;
        if (!cut
            && (reply->error() == QNetworkReply::OperationCanceledError
                || reply->error() == QNetworkReply::TimeoutError)) {
            last = Failure{0, QStringLiteral("timeout")};
            continue;
        }
        if (status >= 300 && status < 400) {
            last = Failure{status, QStringLiteral("redirects are not followed")};
            continue;
        }
        if (status >= 400 && status < 500) // asking again will not help
            co_return tl::unexpected(Failure{status, QStringLiteral("HTTP ") + QString::number(status)});
        last = status > 0 ? Failure{status, QStringLiteral("HTTP ") + QString::number(status)}
                          : Failure{0, reply->errorString()};
    }
    co_return tl::unexpected(last);
}

} // namespace HttpPost
