// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a backup day against the server in rsync's dry run.
#include "core/restore/RemoteCheck.h"

#include "core/engine/BackupPlan.h"
#include "core/engine/LineSplitter.h"
#include "core/engine/ProcessStream.h"
#include "core/engine/RsyncInvocation.h"
#include "core/engine/RsyncStats.h"
#include "core/engine/Snapshots.h"
#include "core/model/ExitCode.h"
#include "core/system/Subprocess.h"

#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>

namespace {

// rsync's itemized line: YXcstpoguax and the name.
const QRegularExpression itemized(QStringLiteral("^([<>ch.*])([fdLDS])([^ ]{9,}) (.*)$"));
const QRegularExpression deleting(QStringLiteral("^\\*deleting +(.*)$"));
constexpr qsizetype maxErrors = 20;

// The complete snapshot asked for (a day: its newest complete one), or the
// newest; empty with the reason when none.
std::optional<Snapshots::Backup> chooseDay(const QString &serverFolder, const std::optional<QString> &day,
                                           QStringList &refusal)
{
    std::optional<Snapshots::Backup> incomplete;
    for (const Snapshots::Backup &backup : Snapshots::list(serverFolder)) {
        if (day && !Snapshots::isOf(backup.name, *day))
            continue;
        if (backup.complete)
            return backup;
        if (day && !incomplete)
            incomplete = backup;
    }
    if (incomplete) {
        refusal << QStringLiteral("The backup of ") + incomplete->name
                       + QStringLiteral(" is not complete: it cannot be compared.");
        return std::nullopt;
    }
    refusal << (day ? QStringLiteral("There is no backup of ") + *day + u'.'
                    : QStringLiteral("There is no complete backup of this server yet."));
    return std::nullopt;
}

QString count(qint64 value)
{
    return QLocale(QLocale::English).toString(value);
}

} // namespace

qint64 RemoteCheck::Result::silentCount() const
{
    qint64 total = 0;
    for (const PathResult &path : paths)
        total += path.silentCount;
    return total;
}

int RemoteCheck::Result::exitCode() const
{
    if (!refusal.isEmpty())
        return ExitCode::refused;
    if (cancelled)
        return ExitCode::cancelled;
    for (const PathResult &path : paths) {
        // 24: files vanished on the server while it was read.
        if (path.exitCode != 0 && path.exitCode != 24)
            return path.exitCode;
    }
    return silentCount() > 0 ? ExitCode::failing : ExitCode::success;
}

RemoteCheck::RemoteCheck(QObject *parent)
    : QObject(parent)
{ }

RemoteCheck::~RemoteCheck() = default;

QStringList RemoteCheck::checkArguments(const QStringList &runArguments)
{
    // Nothing is written in a dry run: --delete only names what is gone.
    QStringList args{QStringLiteral("--dry-run"), QStringLiteral("--checksum"), QStringLiteral("--itemize-changes")};
    if (!runArguments.contains(QStringLiteral("--delete")))
        args << QStringLiteral("--delete");
    for (const QString &argument : runArguments) {
        if (argument == QStringLiteral("--info=progress2") || argument == QStringLiteral("--progress"))
            continue;
        args << argument;
    }
    return args;
}

void RemoteCheck::take(PathResult &result, const QString &line)
{
    if (line.isEmpty())
        return;
    if (const QRegularExpressionMatch gone = deleting.match(line); gone.hasMatch()) {
        if (!gone.captured(1).endsWith(u'/'))
            ++result.gone;
        return;
    }
    const QRegularExpressionMatch match = itemized.match(line);
    if (!match.hasMatch())
        return; // rsync's statistics
    if (match.captured(2) != u'f' || match.captured(1) != u'>')
        return;
    const QString attributes = match.captured(3);
    if (attributes.startsWith(QLatin1String("+++")))
        ++result.added;
    else if (attributes.at(0) == u'c' && attributes.at(1) == u'.' && attributes.at(2) == u'.') {
        if (result.silent.size() < shownFiles)
            result.silent << match.captured(4);
        ++result.silentCount;
    } else
        ++result.changed;
}

QCoro::Task<RemoteCheck::Result> RemoteCheck::run(Server server, AppSettings settings, std::optional<QString> day,
                                                  RsyncProbe probe)
{
    Result result;
    m_cancelled = false;
    const auto plan = BackupPlan::prepare(server, settings, QDateTime::currentDateTime(), probe);
    if (!plan) {
        result.refusal = plan.error().lines;
        co_return result;
    }
    QString root = plan->serverFolder;
    if (settings.useDateSubfolder) {
        const auto chosen = chooseDay(plan->serverFolder, day, result.refusal);
        if (!chosen)
            co_return result;
        result.day = chosen->name;
        root = chosen->path;
    }
    QPointer<RemoteCheck> self(this);
    for (const BackupPlan::Step &step : plan->steps) {
        const QString folder = RsyncInvocation::targetFolder(root, step.path);
        if (!QFileInfo(folder).isDir()) {
            PathResult missing;
            missing.name = step.path.name;
            missing.missing = true;
            result.paths << missing;
            continue;
        }
        const QStringList arguments =
            checkArguments(RsyncInvocation::arguments(plan->transfer, step.path, folder, RsyncInvocation::Base()));
        const PathResult checked = co_await checkPath(plan->rsync, arguments, step.path.name);
        if (!self)
            co_return result;
        result.paths << checked;
        if (m_cancelled)
            break;
    }
    result.cancelled = m_cancelled;
    co_return result;
}

QCoro::Task<RemoteCheck::PathResult> RemoteCheck::checkPath(QString rsync, QStringList arguments, QString name)
{
    PathResult result;
    result.name = name;
    auto *stream = new ProcessStream(20, this);
    stream->setEnvironment(Subprocess::numbersInC());
    m_stream = stream;
    LineSplitter out;
    LineSplitter err;
    QStringList tail;
    connect(stream, &ProcessStream::outputRead, this, [&](const QByteArray &data, bool fromStandardError) {
        for (const QString &line : (fromStandardError ? err : out).feed(data)) {
            if (fromStandardError && result.errors.size() < maxErrors)
                result.errors << line;
            take(result, line);
            tail << line;
            if (tail.size() > 40)
                tail.removeFirst();
        }
    });
    result.exitCode = co_await stream->run(rsync, arguments);
    for (LineSplitter *splitter : {&out, &err}) {
        for (const QString &line : splitter->finish()) {
            take(result, line);
            tail << line;
        }
    }
    if (!stream->started())
        result.errors << stream->startError();
    if (const auto stats = RsyncStats::parse(tail))
        result.files = stats->files;
    m_stream = nullptr;
    stream->deleteLater();
    co_return result;
}

void RemoteCheck::cancel()
{
    m_cancelled = true;
    if (m_stream)
        m_stream->terminate();
}

QStringList RemoteCheck::report(const Server &server, const Result &result)
{
    if (!result.refusal.isEmpty())
        return result.refusal;
    const QString what =
        result.day.isEmpty() ? QStringLiteral("the backup") : QStringLiteral("the backup of ") + result.day;
    QStringList lines{QStringLiteral("Comparing ") + what + QStringLiteral(" with ") + server.logName()
                      + QStringLiteral(": every file is read on both sides.")};
    for (const PathResult &path : result.paths) {
        if (path.missing) {
            lines << path.name + QStringLiteral(": not in ") + what + QStringLiteral(", not compared.");
            continue;
        }
        for (const QString &name : path.silent)
            lines << QStringLiteral("!! ") + path.name + u'/' + name
                         + QStringLiteral(": the contents differ though size and modification time agree");
        if (path.silentCount > path.silent.size())
            lines << QStringLiteral("!! … and ") + count(path.silentCount - path.silent.size())
                         + QStringLiteral(" more");
        lines << path.name + QStringLiteral(": ") + count(path.files) + QStringLiteral(" files on the server; ")
                     + count(path.silentCount) + QStringLiteral(" differ silently, ") + count(path.changed)
                     + QStringLiteral(" changed since, ") + count(path.added) + QStringLiteral(" new, ")
                     + count(path.gone) + QStringLiteral(" gone.");
        if (path.exitCode != 0 && path.exitCode != 24) {
            lines << QStringLiteral("!! ") + path.name + QStringLiteral(": rsync ended with ")
                         + QString::number(path.exitCode) + QStringLiteral(", not every file was compared:");
            for (const QString &error : path.errors)
                lines << QStringLiteral("   ") + error;
        }
    }
    if (result.cancelled)
        lines << QStringLiteral("The check was cancelled.");
    else if (result.silentCount() > 0)
        lines << QStringLiteral("!! ") + count(result.silentCount())
                     + QStringLiteral(" file(s) differ from the server though size and time agree: the copy or the "
                                      "server's file changed without a trace.");
    else if (result.exitCode() == 0)
        lines << QStringLiteral("No silent difference: ") + what + QStringLiteral(" agrees with the server.");
    return lines;
}
