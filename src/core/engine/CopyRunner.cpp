// SPDX-License-Identifier: GPL-3.0-or-later
// Second copies: complete days from the destination to another drive or host.
#include "core/engine/CopyRunner.h"

#include "core/engine/DestinationMarker.h"
#include "core/engine/KeepOptions.h"
#include "core/engine/OutputDecoder.h"
#include "core/engine/Retention.h"
#include "core/engine/RsyncInvocation.h"
#include "core/model/SafePathComponent.h"
#include "core/model/ServerCheck.h"
#include "core/model/ServerId.h"
#include "core/ssh/SSHTester.h"
#include "core/ssh/Shell.h"
#include "core/system/AppPaths.h"
#include "core/system/EncryptedFolder.h"
#include "core/system/FileLock.h"
#include "core/system/FileUtil.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>

#include <qcoro/qcorofuture.h>
#include <qcoro/qcorotimer.h>

#include <algorithm>

namespace {

// ssh's own status when it could not connect (or was refused).
constexpr int sshFailed = 255;
// What is kept of a command's output on the target.
constexpr qsizetype maxTargetOutput = 1024 * 1024;

QString rerunName(const QString &day)
{
    return Snapshots::rerunPrefix + day;
}

QString targetLockFile(const QUuid &targetID)
{
    return AppPaths::dataFolder() + QStringLiteral("/locks/copy-") + ServerId::text(targetID) + QStringLiteral(".lock");
}

} // namespace

CopyRunner::CopyRunner(QObject *parent)
    : TransferRunner(parent)
    , m_wait(new QTimer(this))
{
    m_wait->setSingleShot(true);
}

void CopyRunner::cancel()
{
    TransferRunner::cancel();
}

QString CopyRunner::header(const CopyTarget &target)
{
    return QStringLiteral("=== Copy to ") + target.shownName() + QStringLiteral(" (") + target.where()
           + QStringLiteral(") ===");
}

CopyRunner::Outcome CopyRunner::fail(Result result, const QString &reason)
{
    append((result == Result::skipped ? QStringLiteral("Skipped: ") : QStringLiteral("!! ")) + reason);
    return Outcome{result, {}, reason, 0};
}

QCoro::Task<CopyRunner::Outcome> CopyRunner::copy(CopyTarget target, Server server, AppSettings settings, QDateTime now)
{
    QPointer<CopyRunner> self(this);
    begin(server, settings);
    m_target = target;
    m_unlocked = false;
    if (!m_probe)
        m_probe = RsyncProbe::computeCached(RsyncProbe::defaultCacheFile());
    append(header(target));
    Outcome outcome = co_await copyLocked(server, settings, now);
    if (!self)
        co_return outcome;
    if (m_wasCancelled && outcome.result != Result::skipped)
        outcome.result = Result::cancelled;
    if (m_copy && (m_targetLock.isLocked() || m_unlocked)) {
        m_copy->lastAttempt = QDateTime::currentDateTime();
        if (outcome.result == Result::copied || outcome.result == Result::upToDate) {
            m_copy->lastSuccess = m_copy->lastAttempt;
            m_copy->lastError.clear();
        } else {
            m_copy->lastError = outcome.reason.isEmpty() ? QStringLiteral("cancelled") : outcome.reason;
        }
        (void)CopyState::save(m_target.id, m_state);
    }
    m_copy = nullptr;
    m_targetView.release();
    m_sourceView.release();
    m_targetLock.unlock();
    m_slot.unlock();
    const bool good =
        outcome.result == Result::copied || outcome.result == Result::upToDate || outcome.result == Result::skipped;
    setExitCode(good ? ExitCode::success : outcome.result == Result::cancelled ? cancelledExitCode : 1);
    setRunning(false, std::nullopt);
    co_return outcome;
}

QCoro::Task<CopyRunner::Outcome> CopyRunner::copyLocked(Server server, AppSettings settings, QDateTime now)
{
    QPointer<CopyRunner> self(this);
    if (!m_target.enabled)
        co_return fail(Result::skipped, QStringLiteral("the copy is switched off."));
    if (m_target.kind == CopyTarget::Kind::folder && !QDir::isAbsolutePath(AppPaths::expandTilde(m_target.path)))
        co_return fail(Result::failed, QStringLiteral("the copy has no folder (an absolute path)."));
    if (m_target.kind == CopyTarget::Kind::ssh) {
        const auto host = ServerCheck::checkHost(m_target.host);
        const auto user = host ? ServerCheck::checkUser(m_target.username) : host;
        if (!user)
            co_return fail(Result::failed, user.error().message);
        if (m_target.path.isEmpty())
            co_return fail(Result::failed,
                           QStringLiteral("the copy has no folder on ") + m_target.host + QStringLiteral("."));
    }
    const std::optional<QString> closed = co_await openViews(settings);
    if (!self)
        co_return Outcome{Result::cancelled, {}, QString(), 0};
    if (closed)
        co_return fail(Result::failed, *closed);
    m_sourceFolder = Retention::serverFolder(settings.destinationPath, server);
    m_folderName = safePathComponent(server.name);
    // A backup of the server may be writing or swapping its days.
    auto runLock = FileLock::tryLock(AppPaths::runLockFile(server.id));
    if (!runLock)
        co_return fail(Result::skipped, QStringLiteral("a backup of ") + server.shownName()
                                            + QStringLiteral(" is running; its days are copied after it."));
    const bool waited = co_await waitForTarget();
    if (!self || !waited)
        co_return Outcome{Result::cancelled, {}, QString(), 0};
    // Read and written only under the target's lock.
    m_state = CopyState::load(m_target.id);
    m_copy = &m_state[server.id];
    if (m_target.kind == CopyTarget::Kind::folder) {
        const DestinationMarker::Check check =
            DestinationMarker::beforeCopy(m_target.path, settings.requiresMarker(AppPaths::expandTilde(m_target.path)));
        for (const QString &line : check.lines.mid(check.refused ? 1 : 0))
            append(line);
        if (check.refused)
            co_return fail(Result::skipped, check.lines.value(0));
    }
    const std::optional<QString> locked = co_await openTargetView(settings);
    if (!self)
        co_return Outcome{Result::cancelled, {}, QString(), 0};
    if (locked)
        co_return fail(Result::failed, *locked);
    bool unreachable = false;
    const std::optional<QString> problem = co_await prepareTarget(&unreachable);
    if (!self)
        co_return Outcome{Result::cancelled, {}, QString(), 0};
    if (problem)
        co_return fail(unreachable ? Result::skipped : Result::failed, *problem);
    if (!settings.useDateSubfolder) {
        const int status = co_await mirror(server);
        if (!self || status != 0)
            co_return Outcome{
                Result::failed, {}, QStringLiteral("rsync exited with code ") + QString::number(status), 0};
        co_return Outcome{Result::copied, {}, QString(), 0};
    }
    co_return co_await copyDays(server, now);
}

QCoro::Task<std::optional<QString>> CopyRunner::openViews(AppSettings settings)
{
    QPointer<CopyRunner> self(this);
    if (settings.destinationEncrypted) {
        QFuture<PlainView::Opened> opening = PlainView::openInBackground(PlainView::destination(settings));
        const PlainView::Opened opened = co_await opening;
        if (!self)
            co_return std::nullopt;
        if (!opened)
            co_return opened.error().message + u'.';
        m_sourceView = *opened;
    }
    if (m_target.encrypted && m_target.kind != CopyTarget::Kind::folder)
        co_return QStringLiteral("a copy on a host cannot be encrypted here; nothing was sent.");
    co_return std::nullopt;
}

QCoro::Task<std::optional<QString>> CopyRunner::openTargetView(AppSettings settings)
{
    QPointer<CopyRunner> self(this);
    const QString folder = QDir::cleanPath(AppPaths::expandTilde(m_target.path));
    if (m_target.kind != CopyTarget::Kind::folder)
        co_return std::nullopt;
    if (!m_target.encrypted) {
        if (EncryptedFolder::isEncrypted(folder))
            co_return folder + QStringLiteral(" holds an encrypted folder (") + EncryptedFolder::configName
                + QStringLiteral(") but the copy is not set as encrypted; nothing was copied.");
        co_return std::nullopt;
    }
    QFuture<PlainView::Opened> opening = PlainView::openInBackground(PlainView::copyTarget(m_target, settings));
    const PlainView::Opened opened = co_await opening;
    if (!self)
        co_return std::nullopt;
    if (!opened)
        co_return opened.error().message + u'.';
    m_targetView = *opened;
    co_return std::nullopt;
}

QCoro::Task<bool> CopyRunner::waitForTarget()
{
    QPointer<CopyRunner> self(this);
    const int slots = int(std::clamp<qint64>(runSettings().maxConcurrentRuns, 1, 32));
    bool said = false;
    for (;;) {
        if (!m_targetLock.isLocked()) {
            auto lock = FileLock::tryLock(targetLockFile(m_target.id));
            if (lock)
                m_targetLock = std::move(*lock);
            else if (lock.error().code != Error::Code::busy) {
                // Locks share the machine; one that cannot be had never stops a copy.
                append(QStringLiteral("The copy's lock cannot be taken: ") + lock.error().message);
                m_unlocked = true;
                co_return true;
            }
        }
        for (int i = 0; m_targetLock.isLocked() && !m_slot.isLocked() && i < slots; ++i) {
            auto lock = FileLock::tryLock(AppPaths::runSlotFile(i));
            if (lock)
                m_slot = std::move(*lock);
            else if (lock.error().code != Error::Code::busy)
                co_return true; // slots share the machine; they never stop a copy
        }
        if (m_targetLock.isLocked() && m_slot.isLocked())
            co_return true;
        if (!said) {
            append(m_targetLock.isLocked()
                       ? QStringLiteral("Waiting for a free slot…")
                       : QStringLiteral("Waiting for another copy to ") + m_target.shownName() + QStringLiteral("…"));
            setCurrentItem(QStringLiteral("Waiting"));
            said = true;
        }
        m_wait->start(std::chrono::milliseconds(200));
        co_await qCoro(m_wait).waitForTimeout();
        if (!self || m_wasCancelled)
            co_return false;
    }
}

QString CopyRunner::targetLocation(const QString &relative) const
{
    const QString root = m_target.kind == CopyTarget::Kind::folder
                             ? PlainView::through(QDir::cleanPath(AppPaths::expandTilde(m_target.path)))
                             : m_target.path;
    const QString path =
        QDir::cleanPath(root + u'/' + m_folderName + (relative.isEmpty() ? QString() : u'/' + relative));
    if (m_target.kind == CopyTarget::Kind::folder)
        return path;
    return RsyncInvocation::remoteLocation(m_target.connection(), path);
}

QCoro::Task<std::optional<QString>> CopyRunner::onTarget(QString script)
{
    // The script's only variable parts are the target's folder (quoted by
    // Shell::quotePath) and day names (yyyy-MM-dd, quoted all the same).
    QPointer<CopyRunner> self(this);
    QString output;
    // A listing of days is small; a host that says more is not kept listening to.
    const OutputSink sink = [&output](const QByteArray &data, bool) {
        if (output.size() < maxTargetOutput)
            output += QString::fromUtf8(data.left(maxTargetOutput));
    };
    const QStringList args = SSHTester::runCommandArgs(m_target.connection(), script);
    const auto status = co_await runChild(SSHTester::executable, args, sink, 0, false);
    if (!self)
        co_return std::nullopt;
    if (!status) {
        m_lastStatus = -1;
        co_return std::nullopt;
    }
    m_lastStatus = *status;
    co_return output;
}

QString CopyRunner::inServerFolder() const
{
    return QStringLiteral("cd -- ") + Shell::quotePath(m_target.path) + u'/' + Shell::quote(m_folderName);
}

QCoro::Task<bool> CopyRunner::step(QString script)
{
    QPointer<CopyRunner> self(this);
    m_lastOutput.clear();
    const std::optional<QString> output = co_await onTarget(script);
    if (!self)
        co_return false;
    const bool done = output && m_lastStatus == 0;
    if (!done)
        m_lastOutput = output.value_or(QString()).trimmed();
    co_return done;
}

QCoro::Task<int> CopyRunner::transfer(QStringList args)
{
    const RsyncProbe probe = m_probe.value_or(RsyncProbe());
    append(QStringLiteral("$ ") + OutputDecoder::visible(Shell::displayCommandLine(probe.executable, args)));
    co_return co_await runTransfer(probe.executable, args, 0);
}

QCoro::Task<std::optional<QString>> CopyRunner::prepareTarget(bool *unreachable)
{
    QPointer<CopyRunner> self(this);
    if (m_target.kind == CopyTarget::Kind::folder) {
        const QString folder = targetLocation(QString());
        if (const auto made = FileUtil::makeFolder(folder); !made)
            co_return QStringLiteral("cannot make ") + folder + QStringLiteral(": ") + made.error().message;
        m_xattrs = KeepOptions::checkXattrs(folder).has_value();
        for (const QString &line : Snapshots::recover(folder, QString()))
            append(line);
        co_return std::nullopt;
    }
    const QString root = Shell::quotePath(m_target.path);
    const QString name = Shell::quote(m_folderName);
    // A swap cut off between its two renames is put back first, and days a
    // cut-off prune had taken out of the list are deleted.
    const QString replaced = Snapshots::replacedPrefix;
    const QString script =
        QStringLiteral("cd -- ") + root + QStringLiteral(" && mkdir -p -- ") + name + QStringLiteral(" && cd -- ")
        + name + QStringLiteral(" && { for r in ") + replaced
        + QStringLiteral("*; do [ -d \"$r\" ] || continue; d=${r#") + replaced
        + QStringLiteral("}; if [ -e \"$d\" ]; then rm -rf -- \"$r\"; else mv -- \"$r\" \"$d\"; fi; done; for x in ")
        + Snapshots::deletingPrefix + QStringLiteral("*; do [ -d \"$x\" ] && rm -rf -- \"$x\"; done; true; }");
    const std::optional<QString> output = co_await onTarget(script);
    if (!self)
        co_return QString();
    if (output && m_lastStatus == 0)
        co_return std::nullopt;
    const QStringList lines = output.value_or(QString()).split(u'\n', Qt::SkipEmptyParts);
    for (const QString &line : lines)
        append(OutputDecoder::visible(line));
    if (const QString reason = unreachableReason(lines); !reason.isEmpty()) {
        *unreachable = SSHTester::hostKeyRefusal(lines) == SSHTester::HostKeyRefusal::none;
        co_return reason;
    }
    co_return QStringLiteral("cannot use ") + m_target.path + QStringLiteral(" on ") + m_target.host
        + QStringLiteral(" (it must be a folder that exists).");
}

QString CopyRunner::unreachableReason(const QStringList &lines) const
{
    const auto refusal = SSHTester::hostKeyRefusal(lines);
    if (refusal == SSHTester::HostKeyRefusal::changed)
        return m_target.host + QStringLiteral("'s host key has changed; nothing is copied until it is trusted again.");
    if (refusal == SSHTester::HostKeyRefusal::unknown)
        return m_target.host + QStringLiteral("'s host key is not trusted yet.");
    if (m_lastStatus == sshFailed || m_lastStatus < 0)
        return m_target.host + QStringLiteral(" is not reachable; the copy catches up at the next run.");
    return QString();
}

QString CopyRunner::readingReason(const QStringList &lines) const
{
    // Without what it means for the copies ("…; the copy catches up at the next run.").
    const QString reason = unreachableReason(lines).section(QStringLiteral("; "), 0, 0);
    return reason.isEmpty() || reason.endsWith(u'.') ? reason : QString(reason + u'.');
}

void CopyRunner::aimAt(const CopyTarget &target, const Server &server)
{
    m_target = target;
    m_folderName = safePathComponent(server.name);
    if (!m_probe)
        m_probe = RsyncProbe::computeCached(RsyncProbe::defaultCacheFile());
}

QCoro::Task<tl::expected<QList<Snapshots::Backup>, QString>> CopyRunner::listDays(CopyTarget target, Server server)
{
    QPointer<CopyRunner> self(this);
    begin(server, AppSettings());
    aimAt(target, server);
    const std::optional<QList<Snapshots::Backup>> days = co_await listTarget();
    if (!self)
        co_return tl::unexpected(QString());
    setRunning(false, std::nullopt);
    if (days)
        co_return *days;
    const QStringList lines = m_lastOutput.split(u'\n', Qt::SkipEmptyParts);
    const QString reason = readingReason(lines);
    co_return tl::unexpected(reason.isEmpty() ? QStringLiteral("cannot list ") + m_target.path + QStringLiteral(" on ")
                                                    + m_target.host
                                              : reason);
}

QCoro::Task<tl::expected<QString, QString>> CopyRunner::firstLink(QString day, QStringList prefixes)
{
    QPointer<CopyRunner> self(this);
    if (prefixes.isEmpty())
        co_return QString();
    QStringList quoted;
    for (const QString &prefix : prefixes)
        quoted << Shell::quote(prefix);
    const QString script = inServerFolder() + QStringLiteral(" && cd -- ") + Shell::quote(day)
                           + QStringLiteral(" && i=0; for p in ") + quoted.join(u' ')
                           + QStringLiteral("; do i=$((i+1)); if [ -L \"$p\" ] || { [ -e \"$p\" ] && [ ! -d \"$p\" ]; "
                                            "}; then echo \"$i\"; exit 0; fi; done; echo none");
    const std::optional<QString> output = co_await onTarget(script);
    if (!self)
        co_return tl::unexpected(QString());
    if (!output || m_lastStatus != 0) {
        const QString reason = readingReason(output.value_or(QString()).split(u'\n', Qt::SkipEmptyParts));
        co_return tl::unexpected(reason.isEmpty() ? QStringLiteral("cannot read the day ") + day
                                                        + QStringLiteral(" on ") + m_target.host
                                                  : reason);
    }
    // Its number, not its name: a name may hold a line break.
    const QString answer = output->trimmed();
    if (answer == QLatin1String("none"))
        co_return QString();
    bool isNumber = false;
    const int found = answer.toInt(&isNumber);
    if (!isNumber || found < 1 || found > prefixes.size())
        co_return tl::unexpected(QStringLiteral("cannot read what ") + m_target.host
                                 + QStringLiteral(" said of the day ") + day);
    co_return prefixes.at(found - 1);
}

QCoro::Task<tl::expected<void, QString>> CopyRunner::fetchOne(Server server, QString day, QString item, QString into)
{
    QPointer<CopyRunner> self(this);
    // Every folder on the way is one of the day's, not a link: what the
    // target's shell would follow is fetched as the link it is (and what is
    // no folder at all, such as a link kept as a file, in the item's place).
    const QStringList names = item.split(u'/', Qt::SkipEmptyParts);
    QStringList prefixes;
    for (qsizetype i = 1; i < names.size(); ++i)
        prefixes << names.mid(0, i).join(u'/');
    const tl::expected<QString, QString> link = co_await firstLink(day, prefixes);
    if (!self || !link)
        co_return tl::unexpected(link ? QString() : link.error());
    const QString fetched = link->isEmpty() ? names.join(u'/') : *link;
    const QString dayFolder = into + u'/' + m_folderName + u'/' + day;
    const QString parent = QFileInfo(dayFolder + u'/' + fetched).path();
    if (!QDir().mkpath(parent))
        co_return tl::unexpected(QStringLiteral("cannot make ") + parent);
    QStringList args = dayArguments(server, QString());
    args.removeAll(QStringLiteral("--delete"));
    args << targetLocation(day + u'/' + fetched) << parent + u'/';
    const int status = co_await transfer(args);
    if (!self || status != 0)
        co_return tl::unexpected(QStringLiteral("rsync exited with code ") + QString::number(status));
    co_return {};
}

QCoro::Task<tl::expected<void, QString>> CopyRunner::fetch(CopyTarget target, Server server, QString day,
                                                           QStringList items, QString into)
{
    QPointer<CopyRunner> self(this);
    begin(server, AppSettings());
    aimAt(target, server);
    tl::expected<void, QString> done;
    if (!Snapshots::isSnapshotName(day)) // only such a name ever reaches a script
        done = tl::unexpected(QStringLiteral("no day ") + day);
    for (const QString &item : std::as_const(items)) {
        if (!done || m_wasCancelled)
            break;
        done = co_await fetchOne(server, day, item, into);
        if (!self)
            co_return tl::unexpected(QString());
    }
    setRunning(false, std::nullopt);
    if (done && m_wasCancelled)
        co_return tl::unexpected(QStringLiteral("cancelled"));
    co_return done;
}

QCoro::Task<std::optional<QList<Snapshots::Backup>>> CopyRunner::listTarget()
{
    QPointer<CopyRunner> self(this);
    if (m_target.kind == CopyTarget::Kind::folder)
        co_return Snapshots::list(targetLocation(QString()));
    const QString script = inServerFolder()
                           + QStringLiteral(" && for d in [0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9] "
                                            "[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]_[0-9][0-9][0-9][0-9]; do "
                                            "[ -d \"$d\" ] || continue; if [ -e \"$d/")
                           + Snapshots::incompleteMarker
                           + QStringLiteral("\" ]; then echo \"$d incomplete\"; else echo \"$d\"; fi; done");
    const std::optional<QString> output = co_await onTarget(script);
    if (!self)
        co_return std::nullopt;
    if (!output || m_lastStatus != 0) {
        m_lastOutput = output.value_or(QString());
        co_return std::nullopt;
    }
    QList<Snapshots::Backup> days;
    for (const QString &line : output->split(u'\n', Qt::SkipEmptyParts)) {
        const QString name = line.section(u' ', 0, 0);
        if (Snapshots::isSnapshotName(name))
            days.prepend(Snapshots::Backup{name, name, !line.endsWith(QStringLiteral(" incomplete"))});
    }
    std::sort(days.begin(), days.end(),
              [](const Snapshots::Backup &a, const Snapshots::Backup &b) { return a.name > b.name; });
    co_return days;
}

bool CopyRunner::prunes(const Server &server) const
{
    const Server kept = m_target.retentionOf(server);
    return kept.retentionCount > 0
           || (m_target.keepDaily && (kept.keepHourly > 0 || kept.keepWeekly > 0 || kept.keepMonthly > 0));
}

QList<CopyRunner::Day> CopyRunner::missingDays(const QList<Snapshots::Backup> &onTarget, const Server &server,
                                               const QDateTime &now)
{
    QHash<QString, bool> there;
    QString newestThere;
    for (const Snapshots::Backup &day : onTarget) {
        there.insert(day.name, day.complete);
        if (day.complete && day.name > newestThere)
            newestThere = day.name;
    }
    // Days the target no longer holds (pruned there, or lost) are no copies.
    for (auto day = m_copy->days.begin(); day != m_copy->days.end();)
        day = there.value(day.key(), false) ? std::next(day) : m_copy->days.erase(day);
    QList<Day> missing;
    QList<Snapshots::Backup> after = onTarget; // what the target would hold: for its retention
    QList<Snapshots::Backup> source = Snapshots::list(m_sourceFolder);
    std::reverse(source.begin(), source.end()); // oldest first
    for (const Snapshots::Backup &day : std::as_const(source)) {
        if (!day.complete || Snapshots::timeOf(day.name) > now)
            continue;
        if (there.value(day.name, false)) {
            // What the target holds and this computer has no record of was
            // copied earlier (or from another computer): taken as it is.
            const QString identity = CopyState::identity(day.path);
            const QString recorded = m_copy->days.value(day.name);
            if (recorded.isEmpty())
                m_copy->days.insert(day.name, identity);
            else if (recorded != identity)
                missing << Day{day, true}; // the destination made the day again
            continue;
        }
        // Older than the target's newest copy: pruned there, never sent again.
        if (day.name < newestThere)
            continue;
        missing << Day{day, false};
        after << Snapshots::Backup{day.name, day.name, true};
    }
    if (!prunes(server))
        return missing;
    // A day the target's own retention would delete at once is not sent.
    std::sort(after.begin(), after.end(),
              [](const Snapshots::Backup &a, const Snapshots::Backup &b) { return a.name > b.name; });
    QSet<QString> doomed;
    for (const Snapshots::Backup &day : Retention::decide(after, m_target.retentionOf(server), now).doomed)
        doomed.insert(day.name);
    missing.removeIf([&doomed](const Day &day) { return !day.replaces && doomed.contains(day.source.name); });
    return missing;
}

QCoro::Task<CopyRunner::Outcome> CopyRunner::copyDays(Server server, QDateTime now)
{
    QPointer<CopyRunner> self(this);
    const std::optional<QList<Snapshots::Backup>> listed = co_await listTarget();
    if (!self)
        co_return Outcome{Result::cancelled, {}, QString(), 0};
    if (!listed)
        co_return fail(Result::failed, QStringLiteral("cannot list the copy's days."));
    QStringList complete; // the target's complete days, oldest first: bases
    for (const Snapshots::Backup &day : *listed) {
        if (day.complete)
            complete.prepend(day.name);
    }
    const QList<Day> days = missingDays(*listed, server, now);
    Outcome outcome;
    if (days.isEmpty())
        append(QStringLiteral("Up to date: the copy holds every day up to ")
               + (complete.isEmpty() ? QStringLiteral("now") : complete.last()) + u'.');
    for (const Day &day : days) {
        QString base;
        for (const QString &name : std::as_const(complete)) {
            if (name < day.source.name || (day.replaces && name == day.source.name))
                base = name;
        }
        setCurrentItem(day.source.name);
        const bool started = co_await startDay(day);
        if (!self)
            co_return outcome;
        if (!started)
            co_return fail(Result::failed, QStringLiteral("cannot start the copy of ") + day.source.name
                                               + QStringLiteral(" on the target."));
        const int status = co_await copyDay(day, base, server);
        if (!self)
            co_return outcome;
        append(QStringLiteral("→ exit ") + QString::number(status));
        if (status != 0) {
            // The day stays incomplete there (or, made again, beside its copy).
            outcome = fail(m_wasCancelled ? Result::cancelled : Result::failed,
                           day.source.name + QStringLiteral(" was not copied (rsync exited with code ")
                               + QString::number(status) + QStringLiteral(")."));
            break;
        }
        const bool finished = co_await finishDay(day);
        if (!self)
            co_return outcome;
        if (!finished)
            co_return fail(Result::failed,
                           QStringLiteral("cannot complete ") + day.source.name + QStringLiteral(" on the target."));
        m_copy->days.insert(day.source.name, CopyState::identity(day.source.path));
        (void)CopyState::save(m_target.id, m_state);
        if (!complete.contains(day.source.name)) {
            complete << day.source.name;
            std::sort(complete.begin(), complete.end());
        }
        outcome.result = Result::copied;
        outcome.days << day.source.name;
    }
    if (outcome.result == Result::failed || outcome.result == Result::cancelled || !prunes(server))
        co_return outcome;
    outcome.retentionFailures = co_await prune(server, now);
    co_return outcome;
}

QStringList CopyRunner::dayArguments(const Server &server, const QString &base) const
{
    const RsyncProbe probe = m_probe.value_or(RsyncProbe());
    QStringList args{QStringLiteral("-a"), QStringLiteral("--numeric-ids"), QStringLiteral("--stats")};
    if (probe.isModern)
        args << QStringLiteral("--human-readable") << QStringLiteral("--info=progress2");
    if (server.preserveHardLinks)
        args << QStringLiteral("-H");
    if (server.preserveACLs && probe.supportsACLs)
        args << QStringLiteral("-A");
    // The destination keeps owners, modes and kinds (--fake-super) and the
    // server's attributes in user attributes of its copies: they go as they
    // are, rsync's own among them (-XX), so the target's days read back the
    // same. Only user attributes: the others are this computer's.
    const bool attributes = server.preserveXattrs || server.preserveOwnership || KeepOptions::Local::current().isRoot;
    if (attributes && probe.supportsXattrs && m_xattrs)
        args << QStringLiteral("-XX") << QStringLiteral("--filter=-x! user.*");
    if (server.sparseFiles)
        args << QStringLiteral("--sparse");
    // Within the day only; the marker is neither sent nor deleted.
    args << QStringLiteral("--delete") << QStringLiteral("--filter=- /") + Snapshots::incompleteMarker;
    if (!base.isEmpty()) {
        const QString folder = m_target.kind == CopyTarget::Kind::folder
                                   ? QString(targetLocation(QString()) + u'/' + base)
                                   : QString(QStringLiteral("../") + base);
        args << QStringLiteral("--link-dest=") + folder;
    }
    if (m_target.kind == CopyTarget::Kind::ssh) {
        args << QStringLiteral("-e") << RsyncInvocation::remoteShellCommand(m_target.connection());
        if (probe.needsOldArgs())
            args << QStringLiteral("--old-args");
    }
    return args;
}

QCoro::Task<bool> CopyRunner::startDay(Day day)
{
    QPointer<CopyRunner> self(this);
    const QString name = day.replaces ? rerunName(day.source.name) : day.source.name;
    if (m_target.kind == CopyTarget::Kind::folder) {
        const QString folder = targetLocation(name);
        if (!FileUtil::makeFolder(folder))
            co_return false;
        if (!day.replaces)
            Snapshots::markIncomplete(folder);
        co_return day.replaces || QFileInfo::exists(folder + u'/' + Snapshots::incompleteMarker);
    }
    QString script = inServerFolder() + QStringLiteral(" && mkdir -p -- ") + Shell::quote(name);
    if (!day.replaces)
        script += QStringLiteral(" && : > ") + Shell::quote(name + u'/' + Snapshots::incompleteMarker);
    const bool done = co_await step(script);
    if (self && !done)
        append(OutputDecoder::visible(m_lastOutput));
    co_return done;
}

QCoro::Task<int> CopyRunner::copyDay(Day day, QString base, Server server)
{
    const QString name = day.replaces ? rerunName(day.source.name) : day.source.name;
    QStringList args = dayArguments(server, base);
    args << day.source.path + u'/' << targetLocation(name) + u'/';
    co_return co_await transfer(args);
}

QCoro::Task<bool> CopyRunner::finishDay(Day day)
{
    QPointer<CopyRunner> self(this);
    if (m_target.kind == CopyTarget::Kind::folder) {
        if (!day.replaces) {
            Snapshots::markComplete(targetLocation(day.source.name));
            co_return !QFileInfo::exists(targetLocation(day.source.name) + u'/' + Snapshots::incompleteMarker);
        }
        Snapshots::Target swap;
        swap.folder = targetLocation(day.source.name);
        swap.writeFolder = targetLocation(rerunName(day.source.name));
        const auto replaced = Snapshots::replace(swap);
        if (!replaced)
            append(QStringLiteral("!! ") + replaced.error().message);
        co_return replaced.has_value();
    }
    const QString dayName = Shell::quote(day.source.name);
    QString script = inServerFolder();
    if (day.replaces) {
        const QString old = Shell::quote(Snapshots::replacedPrefix + day.source.name);
        script += QStringLiteral(" && mv -- ") + dayName + u' ' + old + QStringLiteral(" && mv -- ")
                  + Shell::quote(rerunName(day.source.name)) + u' ' + dayName + QStringLiteral(" && rm -rf -- ") + old;
    } else {
        script += QStringLiteral(" && rm -f -- ") + Shell::quote(day.source.name + u'/' + Snapshots::incompleteMarker);
    }
    const bool done = co_await step(script);
    if (self && !done)
        append(OutputDecoder::visible(m_lastOutput));
    co_return done;
}

QCoro::Task<bool> CopyRunner::deleteOnTarget(QString day)
{
    const QString doomed = Shell::quote(Snapshots::deletingPrefix + day);
    // Out of the list first, as at the destination.
    const QString script = inServerFolder() + QStringLiteral(" && mv -- ") + Shell::quote(day) + u' ' + doomed
                           + QStringLiteral(" && rm -rf -- ") + doomed;
    co_return co_await step(script);
}

QCoro::Task<qsizetype> CopyRunner::prune(Server server, QDateTime now)
{
    QPointer<CopyRunner> self(this);
    const Server kept = m_target.retentionOf(server);
    Retention::Outcome outcome;
    if (m_target.kind == CopyTarget::Kind::folder) {
        outcome = Retention::pruneAsDecided(targetLocation(QString()), kept, now);
    } else {
        const std::optional<QList<Snapshots::Backup>> listed = co_await listTarget();
        if (!self)
            co_return 0;
        const Retention::Decision decision = Retention::decide(listed.value_or(QList<Snapshots::Backup>()), kept, now);
        outcome.ignored = decision.ignored;
        outcome.keptWeekly = decision.keptWeekly;
        outcome.keptMonthly = decision.keptMonthly;
        for (const Snapshots::Backup &day : decision.doomed) {
            const bool deleted = co_await deleteOnTarget(day.name);
            if (!self)
                co_return 0;
            if (deleted)
                outcome.deleted << day.name;
            else
                outcome.failed << Retention::Failure{day.name, m_lastOutput};
        }
    }
    for (const auto &day : outcome.deleted)
        m_copy->days.remove(QFileInfo(day).fileName());
    (void)CopyState::save(m_target.id, m_state);
    for (const QString &line : Retention::report(outcome, kept))
        append(line);
    co_return outcome.failed.size();
}

QCoro::Task<int> CopyRunner::mirror(Server server)
{
    // No date folders: the server's folder is one tree, mirrored.
    QStringList args = dayArguments(server, QString());
    args << m_sourceFolder + u'/' << targetLocation(QString()) + u'/';
    const int status = co_await transfer(args);
    append(QStringLiteral("→ exit ") + QString::number(status));
    co_return status;
}
