// SPDX-License-Identifier: GPL-3.0-or-later
// A dry run of one path, sorted into what would be copied and what is left out.
#include "core/engine/RsyncPreview.h"

#include "core/engine/BackupPlan.h"
#include "core/engine/LineSplitter.h"
#include "core/engine/OutputDecoder.h"
#include "core/engine/ProcessStream.h"
#include "core/system/Subprocess.h"

#include <QDateTime>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

// rsync's itemized line: YXcstpoguax and the name ("cd+++++++++ dir/"); an
// unchanged item, itemized twice, has spaces for its attributes ("hf          name").
const QRegularExpression itemized(QStringLiteral("^([<>ch.*])([fdLDS])(?:[^ ]{9,}|.{9}) "));
const QRegularExpression
    hiding(QStringLiteral("^\\[(sender|receiver|generator)\\] hiding (file|directory|symlink|device|special file) "));

} // namespace

RsyncPreview::RsyncPreview(QObject *parent)
    : QObject(parent)
{ }

RsyncPreview::~RsyncPreview() = default;

QStringList RsyncPreview::previewArguments(const QStringList &runArguments, const RsyncProbe &probe,
                                           bool remoteNamesExcluded)
{
    // Twice: unchanged files are listed too, so the preview can say what a
    // run takes from the previous snapshot.
    QStringList args{QStringLiteral("--dry-run"), QStringLiteral("--itemize-changes"),
                     QStringLiteral("--itemize-changes")};
    // The server's rsync is the one that leaves files out of a pull, so it is
    // the one asked to name them.
    if (probe.isModern) {
        args << QStringLiteral("--debug=FILTER1");
        if (remoteNamesExcluded)
            args << QStringLiteral("--remote-option=--debug=FILTER1");
    }
    for (const QString &argument : runArguments) {
        // Progress and statistics say nothing about single files.
        if (argument == QStringLiteral("--info=progress2") || argument == QStringLiteral("--progress")
            || argument == QStringLiteral("--stats") || argument == QStringLiteral("--human-readable"))
            continue;
        args << argument;
    }
    return args;
}

void RsyncPreview::take(Result &result, const QString &line)
{
    if (line.isEmpty())
        return;
    if (const QRegularExpressionMatch match = itemized.match(line); match.hasMatch()) {
        const QChar change = match.captured(1).at(0);
        const bool file = match.captured(2) == u'f';
        if (change == u'>' || change == u'c')
            ++result.copied;
        if (file && change == u'>')
            ++result.copiedFiles;
        else if (file && (change == u'h' || change == u'.'))
            ++result.unchangedFiles;
        // "name" or "name/" at the top of the path; "./" is the path itself.
        const QString name = line.mid(match.capturedEnd());
        const qsizetype slash = name.indexOf(u'/');
        if (name != QStringLiteral("./") && (slash < 0 || slash == name.size() - 1)
            && result.topLevel.size() < shownTopLevel)
            result.topLevel << name;
    } else if (hiding.match(line).hasMatch()) {
        ++result.excluded;
    }
    if (result.lines.size() < shownLines)
        result.lines << line;
    else
        result.truncated = true;
}

QCoro::Task<RsyncPreview::Result> RsyncPreview::run(Server server, QUuid pathID, AppSettings settings, RsyncProbe probe)
{
    Result result;
    // This path alone, on even when it is off: the others say nothing here.
    server.paths.removeIf([&](const BackupPath &path) { return path.id != pathID; });
    if (server.paths.isEmpty()) {
        result.refusal << tr("The path is no longer in this server's settings.");
        co_return result;
    }
    server.paths.first().enabled = true;
    const auto plan = BackupPlan::prepare(server, settings, QDateTime::currentDateTime(), probe);
    if (!plan) {
        result.refusal = plan.error().lines;
        co_return result;
    }
    const BackupPlan::Step &step = plan->steps.first();
    // A second run of a day takes unchanged files from that day's snapshot.
    const QString base = plan->replacesComplete() ? QFileInfo(plan->runFolder).fileName() : plan->linkBase;

    m_cancelled = false;
    // A server with an rsync older than 3.1 refuses --debug: ask it again without.
    for (const bool remoteNamesExcluded : {true, false}) {
        result = Result();
        result.base = base;
        auto *stream = new ProcessStream(20, this);
        stream->setEnvironment(Subprocess::numbersInC());
        m_stream = stream;
        LineSplitter out;
        LineSplitter err;
        connect(stream, &ProcessStream::outputRead, this, [&](const QByteArray &data, bool fromStandardError) {
            for (const QString &line : (fromStandardError ? err : out).feed(data))
                take(result, line);
        });
        const QStringList arguments = previewArguments(step.arguments, probe, remoteNamesExcluded);
        result.exitCode = co_await stream->run(plan->rsync, arguments);
        for (LineSplitter *splitter : {&out, &err}) {
            for (const QString &line : splitter->finish())
                take(result, line);
        }
        if (!stream->started())
            result.refusal << stream->startError();
        m_stream = nullptr;
        stream->deleteLater();
        const bool refusedDebug = result.exitCode != 0 && !result.lines.filter(QStringLiteral("--debug")).isEmpty();
        if (!remoteNamesExcluded || !refusedDebug || m_cancelled || !probe.isModern)
            break;
    }
    result.cancelled = m_cancelled;
    co_return result;
}

bool RsyncPreview::isRunning() const
{
    return m_stream;
}

void RsyncPreview::cancel()
{
    if (!m_stream)
        return;
    m_cancelled = true;
    m_stream->terminate();
}
