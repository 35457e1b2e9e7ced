// SPDX-License-Identifier: GPL-3.0-or-later
// Health-check pings, webhooks and e-mail for finished runs.
#include "core/report/RunReporter.h"

#include "core/engine/RsyncRunner.h"
#include "core/model/ReferenceDate.h"
#include "core/model/ServerId.h"
#include "core/presentation/OverdueWatch.h"
#include "core/presentation/ServerRules.h"
#include "core/report/MetricsFile.h"
#include "core/storage/LogStore.h"
#include "core/system/DiagnosticLog.h"
#include "core/system/NotificationService.h"
#include "core/system/Sendmail.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QNetworkAccessManager>
#include <QPointer>

namespace {

const QByteArray textPlain = QByteArrayLiteral("text/plain; charset=utf-8");
const QList<std::pair<QByteArray, QByteArray>> noHeaders;

QString statusOf(const RunReporter::Run &run)
{
    if (run.paused)
        return QStringLiteral("paused");
    if (run.cancelled)
        return QStringLiteral("cancelled");
    if (run.exitCode == 0 && run.foundHeldChange)
        return QStringLiteral("suspicious");
    return run.exitCode == 0 ? QStringLiteral("success") : QStringLiteral("failed");
}

QJsonValue isoText(const QDateTime &when)
{
    if (!when.isValid())
        return QJsonValue::Null;
    const QDateTime local = when.toLocalTime();
    return local.toOffsetFromUtc(local.offsetFromUtc()).toString(Qt::ISODate);
}

} // namespace

RunReporter::RunReporter(RsyncRunner *runner, QObject *parent)
    : QObject(parent)
    , m_runner(runner)
    , m_network(new QNetworkAccessManager(this))
    , m_sendmail(Sendmail::executable)
{
    if (!runner)
        return;
    connect(runner, &RsyncRunner::isRunningChanged, this, [this] {
        if (m_runner->isRunning())
            runStarted();
    });
    connect(runner, &RsyncRunner::runFinished, this, &RunReporter::runEnded);
}

RunReporter::~RunReporter() = default;

QUrl RunReporter::pingUrl(const QString &base, const QString &suffix)
{
    QUrl url(base.trimmed());
    if (suffix.isEmpty())
        return url;
    QString path = url.path();
    if (!path.endsWith(u'/'))
        path += u'/';
    url.setPath(path + suffix);
    return url;
}

QByteArray RunReporter::logTail(const QStringList &lines, qsizetype bytes)
{
    QByteArray tail;
    for (qsizetype i = lines.size() - 1; i >= 0; --i) {
        const QByteArray line = lines.at(i).toUtf8() + '\n';
        if (tail.size() + line.size() > bytes)
            break;
        tail.prepend(line);
    }
    return tail;
}

QByteArray RunReporter::webhookDocument(const Run &run)
{
    QJsonArray log;
    for (const QString &line : run.log.mid(std::max<qsizetype>(0, run.log.size() - webhookLogLines)))
        log.append(line);
    QString snapshot;
    for (const QString &line : run.log) {
        if (line.startsWith(QLatin1String("Snapshot: ")))
            snapshot = line;
    }
    const QJsonObject document{
        {QStringLiteral("schema"), 1},
        {QStringLiteral("server"),
         QJsonObject{{QStringLiteral("id"), ServerId::text(run.server.id)}, {QStringLiteral("name"), run.server.name}}},
        {QStringLiteral("started"), isoText(run.started)},
        {QStringLiteral("finished"), isoText(run.finished)},
        {QStringLiteral("exitCode"), run.exitCode ? QJsonValue(*run.exitCode) : QJsonValue::Null},
        {QStringLiteral("status"), statusOf(run)},
        {QStringLiteral("bytesReceived"), run.stats ? QJsonValue(qint64(run.stats->bytesReceived)) : QJsonValue::Null},
        {QStringLiteral("files"), run.stats ? QJsonValue(run.stats->files) : QJsonValue::Null},
        {QStringLiteral("snapshot"), snapshot.isEmpty() ? QJsonValue::Null : QJsonValue(snapshot)},
        {QStringLiteral("heldChange"), run.heldChange ? QJsonValue(run.heldChange->toJson()) : QJsonValue::Null},
        {QStringLiteral("verify"), ServerRules::checksJson(run.server)},
        {QStringLiteral("copies"), CopyState::lagsJson(run.copies, run.copyOverdueDays)},
        {QStringLiteral("log"), log},
    };
    return QJsonDocument(document).toJson(QJsonDocument::Compact);
}

QString RunReporter::mailSubject(const Run &run)
{
    const std::optional<qint64> code = run.exitCode ? std::optional<qint64>(*run.exitCode) : std::nullopt;
    return QStringLiteral("[Tidewell] ")
           + NotificationService::contentFor(run.server, code, run.cancelled, run.warning).body.section(u'\n', 0, 0);
}

QString RunReporter::mailBody(const Run &run)
{
    QString body = mailSubject(run).mid(QStringLiteral("[Tidewell] ").size()) + u'\n';
    body += QStringLiteral("Started:  ") + run.started.toLocalTime().toString(Qt::ISODate) + u'\n';
    body += QStringLiteral("Finished: ") + run.finished.toLocalTime().toString(Qt::ISODate) + u'\n';
    const QLocale english(QLocale::English);
    const auto when = [](double seconds) {
        return ReferenceDate::toDateTime(seconds).toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    };
    if (run.server.lastVerifiedAt)
        body += QStringLiteral("Copies last checked: ") + when(*run.server.lastVerifiedAt) + QStringLiteral(", ")
                + english.toString(run.server.damagedFiles) + QStringLiteral(" damaged\n");
    if (run.server.lastRemoteCheckAt)
        body += QStringLiteral("Last compared with the server: ") + when(*run.server.lastRemoteCheckAt)
                + QStringLiteral(", ") + english.toString(run.server.remoteDifferences)
                + QStringLiteral(" differing silently\n");
    for (const QString &line : copyLines(run.copies))
        body += line + u'\n';
    body += QStringLiteral("\nThe end of the run's log:\n\n") + QString::fromUtf8(logTail(run.log, pingBodyBytes));
    return body;
}

void RunReporter::runStarted()
{
    m_started = QDateTime::currentDateTime();
    const Server &server = m_runner->runServer();
    const QString base =
        server.healthCheckURL.isEmpty() ? m_runner->runSettings().healthCheckURL : server.healthCheckURL;
    if (!base.trimmed().isEmpty())
        QCoro::connect(postReport(server.id, pingUrl(base, QStringLiteral("start")), {}, textPlain, noHeaders), this,
                       [] {});
}

void RunReporter::runEnded(const QUuid &, std::optional<int> exitCode)
{
    const AppSettings &settings = m_runner->runSettings();
    Run run;
    run.server = m_runner->runServer();
    run.started = m_started;
    run.finished = QDateTime::currentDateTime();
    run.cancelled = m_runner->wasCancelled();
    run.paused = m_runner->wasPaused();
    run.exitCode = exitCode;
    run.stats = m_runner->runStats();
    run.log = m_runner->logLines();
    run.heldChange = m_runner->heldChange();
    run.foundHeldChange = m_runner->foundHeldChange();
    run.warning = m_runner->warning();
    run.copies = CopyState::lags(settings, run.server);
    run.copyOverdueDays = settings.copyOverdueDays;
    MetricsFile::recordRun(run.server.id, run.started, run.finished, run.stats);
    report(run, settings);
}

void RunReporter::report(const Run &run, const AppSettings &settings)
{
    const QUuid serverID = run.server.id;
    const std::optional<int> exitCode = run.exitCode;
    // A run that found most files changed is a warning to act on: said as
    // a failure is, to the health check and by mail.
    const bool success = !run.cancelled && exitCode == 0 && !run.foundHeldChange;

    // A cancelled run is no result: no failure is reported for it (a health
    // check that saw its start and no end says on its own that no backup
    // was made); the webhook says "cancelled".
    const QString base = run.server.healthCheckURL.isEmpty() ? settings.healthCheckURL : run.server.healthCheckURL;
    if (!base.trimmed().isEmpty() && !run.cancelled) {
        const QString suffix = success                      ? QString()
                               : exitCode && *exitCode != 0 ? QString::number(*exitCode)
                                                            : QStringLiteral("fail");
        QCoro::connect(
            postReport(serverID, pingUrl(base, suffix), logTail(run.log, pingBodyBytes), textPlain, noHeaders), this,
            [] {});
    }
    if (!settings.webhookURL.trimmed().isEmpty())
        QCoro::connect(postReport(serverID, QUrl(settings.webhookURL.trimmed()), webhookDocument(run),
                                  QByteArrayLiteral("application/json"), noHeaders),
                       this, [] {});
    const bool mailed = settings.reportEmailEveryRun || (!success && !run.cancelled);
    if (!settings.reportEmail.trimmed().isEmpty() && mailed)
        QCoro::connect(mailReport(serverID, settings.reportEmail.trimmed(), mailSubject(run), mailBody(run)), this,
                       [] {});
    if (!run.cancelled) {
        const std::optional<qint64> code = exitCode ? std::optional<qint64>(*exitCode) : std::nullopt;
        pushNtfy(serverID, settings, QStringLiteral("Tidewell: ") + run.server.logName(),
                 NotificationService::contentFor(run.server, code, false, run.warning).body, !success,
                 success ? QByteArrayLiteral("white_check_mark") : QByteArrayLiteral("x"));
    }
    // The run's result is in the configuration by now.
    if (!settings.metricsFile.trimmed().isEmpty())
        MetricsFile::refresh();
}

void RunReporter::begin()
{
    ++m_pending;
}

void RunReporter::end()
{
    if (--m_pending == 0)
        Q_EMIT idle();
}

QByteArray RunReporter::overdueDocument(const Server &server, const QDateTime &now)
{
    const std::optional<QDateTime> success = ServerRules::lastSuccess(server);
    const QJsonObject document{
        {QStringLiteral("schema"), 1},
        {QStringLiteral("event"), QStringLiteral("overdue")},
        {QStringLiteral("status"), QStringLiteral("overdue")},
        {QStringLiteral("server"),
         QJsonObject{{QStringLiteral("id"), ServerId::text(server.id)}, {QStringLiteral("name"), server.logName()}}},
        {QStringLiteral("lastSuccess"),
         success ? QJsonValue(success->toLocalTime().toString(Qt::ISODate)) : QJsonValue(QJsonValue::Null)},
        {QStringLiteral("checkedAt"), now.toLocalTime().toString(Qt::ISODate)},
        {QStringLiteral("verify"), ServerRules::checksJson(server)},
    };
    return QJsonDocument(document).toJson(QJsonDocument::Compact);
}

QStringList RunReporter::copyLines(const QList<CopyState::Lag> &copies)
{
    QStringList lines;
    for (const CopyState::Lag &lag : copies) {
        QString line =
            lag.newestDay.isEmpty()
                ? QString(QStringLiteral("Not copied to ") + lag.target + QStringLiteral(" yet"))
                : QString(QStringLiteral("Copied to ") + lag.target + QStringLiteral(": up to ") + lag.newestDay);
        if (lag.daysBehind > 0)
            line += QStringLiteral(" (") + QString::number(lag.daysBehind)
                    + (lag.daysBehind == 1 ? QStringLiteral(" day behind)") : QStringLiteral(" days behind)"));
        if (!lag.lastError.isEmpty())
            line += QStringLiteral("; the last copy failed: ") + lag.lastError;
        lines << line;
    }
    return lines;
}

QByteArray RunReporter::copiesDocument(const Server &server, const AppSettings &settings, const QList<Copy> &copies,
                                       const QDateTime &finished)
{
    QJsonArray entries;
    QString status = QStringLiteral("success");
    for (const Copy &copy : copies) {
        QJsonObject entry =
            CopyState::lagsJson({CopyState::lag(copy.target, settings, server)}, settings.copyOverdueDays)
                .first()
                .toObject();
        entry.insert(QStringLiteral("result"), copy.result);
        entry.insert(QStringLiteral("days"), QJsonArray::fromStringList(copy.days));
        entry.insert(QStringLiteral("reason"), copy.reason.isEmpty() ? QJsonValue::Null : QJsonValue(copy.reason));
        entries.append(entry);
        if (copy.result == QLatin1String("cancelled"))
            status = QStringLiteral("cancelled");
        else if (copy.result == QLatin1String("failed") && status != QLatin1String("cancelled"))
            status = QStringLiteral("failed");
    }
    const QJsonObject document{
        {QStringLiteral("schema"), 1},
        {QStringLiteral("event"), QStringLiteral("copies")},
        {QStringLiteral("status"), status},
        {QStringLiteral("server"),
         QJsonObject{{QStringLiteral("id"), ServerId::text(server.id)}, {QStringLiteral("name"), server.logName()}}},
        {QStringLiteral("finished"), isoText(finished)},
        {QStringLiteral("copies"), entries},
    };
    return QJsonDocument(document).toJson(QJsonDocument::Compact);
}

QString RunReporter::copiesMailBody(const Server &server, const AppSettings &settings, const QList<Copy> &copies)
{
    QString body;
    for (const Copy &copy : copies) {
        if (copy.result == QLatin1String("failed"))
            body += QStringLiteral("✗ The copy to ") + copy.target.shownName() + QStringLiteral(" failed: ")
                    + copy.reason + u'\n';
        else
            body += copyLines({CopyState::lag(copy.target, settings, server)}).join(QString()) + u'\n';
    }
    return body;
}

void RunReporter::reportCopies(const Server &server, const AppSettings &settings, const QList<Copy> &copies)
{
    if (copies.isEmpty())
        return;
    QStringList failed;
    for (const Copy &copy : copies) {
        if (copy.result == QLatin1String("failed"))
            failed << copy.target.shownName();
    }
    if (!settings.webhookURL.trimmed().isEmpty())
        QCoro::connect(postReport(server.id, QUrl(settings.webhookURL.trimmed()),
                                  copiesDocument(server, settings, copies, QDateTime::currentDateTime()),
                                  QByteArrayLiteral("application/json"), noHeaders),
                       this, [] {});
    if (failed.isEmpty() && !settings.reportEmailEveryRun)
        return;
    const QString subject =
        failed.isEmpty()
            ? QString(QStringLiteral("[Tidewell] ✓ ") + server.logName() + QStringLiteral(" — copies done"))
            : QString(QStringLiteral("[Tidewell] ✗ ") + server.logName() + QStringLiteral(" — copy to ")
                      + failed.join(QStringLiteral(", ")) + QStringLiteral(" failed"));
    if (!settings.reportEmail.trimmed().isEmpty())
        QCoro::connect(
            mailReport(server.id, settings.reportEmail.trimmed(), subject, copiesMailBody(server, settings, copies)),
            this, [] {});
    if (!failed.isEmpty())
        pushNtfy(server.id, settings, QStringLiteral("Tidewell: ") + server.logName(),
                 subject.mid(QStringLiteral("[Tidewell] ").size()), true, QByteArrayLiteral("x"));
}

void RunReporter::pushNtfy(const QUuid &serverID, const AppSettings &settings, const QString &title,
                           const QString &text, bool needsLook, const QByteArray &tags)
{
    if (settings.ntfyURL.trimmed().isEmpty())
        return;
    const QList<std::pair<QByteArray, QByteArray>> headers{
        {QByteArrayLiteral("Title"), HttpPost::headerValue(title)},
        {QByteArrayLiteral("Priority"), needsLook ? QByteArrayLiteral("high") : QByteArrayLiteral("low")},
        {QByteArrayLiteral("Tags"), tags}};
    QCoro::connect(postReport(serverID, QUrl(settings.ntfyURL.trimmed()), text.toUtf8(), textPlain, headers), this,
                   [] {});
}

void RunReporter::reportOverdue(const Server &server, const AppSettings &settings, const QDateTime &now)
{
    const QString notice = OverdueWatch::noticeText(server, now);
    pushNtfy(server.id, settings, QStringLiteral("Tidewell: ") + server.logName(), notice, true,
             QByteArrayLiteral("warning"));
    const QString base = server.healthCheckURL.isEmpty() ? settings.healthCheckURL : server.healthCheckURL;
    if (!base.trimmed().isEmpty())
        QCoro::connect(
            postReport(server.id, pingUrl(base, QStringLiteral("fail")), notice.toUtf8() + '\n', textPlain, noHeaders),
            this, [] {});
    if (!settings.webhookURL.trimmed().isEmpty())
        QCoro::connect(postReport(server.id, QUrl(settings.webhookURL.trimmed()), overdueDocument(server, now),
                                  QByteArrayLiteral("application/json"), noHeaders),
                       this, [] {});
    if (!settings.reportEmail.trimmed().isEmpty()) {
        const std::optional<QDateTime> success = ServerRules::lastSuccess(server);
        const QString body = notice + QStringLiteral("\nLast good backup: ")
                             + (success ? success->toLocalTime().toString(Qt::ISODate) : QStringLiteral("never"))
                             + QStringLiteral("\nChecked:  ") + now.toLocalTime().toString(Qt::ISODate) + u'\n';
        QCoro::connect(
            mailReport(server.id, settings.reportEmail.trimmed(), QStringLiteral("[Tidewell] ") + notice, body), this,
            [] {});
    }
}

QCoro::Task<> RunReporter::postReport(QUuid serverID, QUrl url, QByteArray body, QByteArray contentType,
                                      QList<std::pair<QByteArray, QByteArray>> headers)
{
    QPointer<RunReporter> self(this);
    begin();
    HttpPost::Request request;
    request.url = url;
    request.body = body;
    request.contentType = contentType;
    request.headers = headers;
    const auto sent = co_await HttpPost::post(m_network, request, m_limits);
    if (!self)
        co_return;
    if (!sent && sent.error().status > 0 && sent.error().status < 400)
        say(serverID, QStringLiteral("Report: ") + HttpPost::redacted(url) + QStringLiteral(" answered ")
                          + QString::number(sent.error().status) + QStringLiteral(": ") + sent.error().message);
    else if (!sent)
        say(serverID, QStringLiteral("Report: could not reach ") + HttpPost::redacted(url) + QStringLiteral(" (")
                          + sent.error().message + u')');
    end();
}

QCoro::Task<> RunReporter::mailReport(QUuid serverID, QString to, QString subject, QString body)
{
    QPointer<RunReporter> self(this);
    begin();
    const auto sent = co_await Sendmail::send(m_sendmail, to, subject, body);
    if (!self)
        co_return;
    if (!sent)
        say(serverID, QStringLiteral("Report: no mail to ") + to + QStringLiteral(" (") + sent.error().message + u')');
    end();
}

void RunReporter::say(const QUuid &serverID, const QString &line)
{
    DiagnosticLog::write(line);
    // After the run's own lines, in the log the window shows.
    QFile log(LogStore::logFile(serverID));
    if (log.exists() && log.open(QIODevice::Append))
        log.write(line.toUtf8() + '\n');
}
