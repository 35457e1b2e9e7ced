// SPDX-License-Identifier: GPL-3.0-or-later
// Posting a report to a URL: bounded in time, retried, never in the way.
#pragma once

#include "core/model/Error.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>

#include <qcoro/qcorotask.h>

#include <tl/expected.hpp>

class QNetworkAccessManager;

// One POST with a time limit per try and a few tries (a server error, a
// redirect or no answer is tried again; a 4xx answer is not). Only https,
// or http to this computer: a report may carry a token in its URL and a
// run's log in its body. An answer is read to at most maxAnswerBytes, then
// the connection is dropped: an endpoint cannot fill the memory. Only a 2xx
// status counts as delivered; redirects are never followed.
namespace HttpPost {

constexpr qint64 maxAnswerBytes = 64 * 1024;

// Why a report was not delivered: the last answer's status (3xx, 4xx, 5xx),
// or no answer at all (0) with the network's words.
struct Failure
{
    int status = 0;
    QString message; // "timeout", the network's error, "HTTP 500", "redirects are not followed"
};

struct Request
{
    QUrl url;
    QByteArray body;
    QByteArray contentType;
    // More headers, as they are sent (printable ASCII only; see
    // headerValue()).
    QList<std::pair<QByteArray, QByteArray>> headers;
};

// Text as a header value: printable ASCII as it is, anything else (a name
// in another script, a line break) as one RFC 2047 encoded word.
QByteArray headerValue(const QString &text);

struct Limits
{
    int timeoutMs = 10000;
    int tries = 3;
    int pauseMs = 1000; // between tries
};

// Whether `url` may be posted to (code invalid, and why not, when not).
tl::expected<void, Error> check(const QUrl &url);
// The URL as logs may show it: "https://hc.example.org/…" (no path, query,
// user or password: those may hold tokens).
QString redacted(const QUrl &url);
// The 2xx status of the answer, or why there was none.
QCoro::Task<tl::expected<int, Failure>> post(QNetworkAccessManager *network, Request request, Limits limits);

} // namespace HttpPost
