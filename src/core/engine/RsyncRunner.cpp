#include "core/engine/RsyncRunner.h"

#include "core/system/AppPaths.h"
#include "core/storage/ConfigStore.h"
#include "core/storage/LogStore.h"
#include "core/system/NotificationService.h"
#include "core/engine/OutputDecoder.h"
#include "core/engine/PipeReader.h"
#include "core/model/ReferenceDate.h"
#include "core/engine/Retention.h"
#include "core/engine/RsyncInvocation.h"
#include "core/ssh/SSHTester.h"
#include "core/model/SafePathComponent.h"
#include "core/ssh/Shell.h"
#include "core/system/Subprocess.h"
#include "core/ssh/TargetCheck.h"

#include <QDir>
#include <QLocale>
#include <QStorageInfo>

#include <qcoro/qcorotimer.h>

#include <chrono>
#include <filesystem>

#include <signal.h>
#include <unistd.h>

const QSet<int> RsyncRunner::transientExitCodes = {10, 11, 12, 20, 23, 24, 30, 35, 255};

namespace {

// Probed once per process, on first use.
const RsyncProbe &processProbe()
{
    static const RsyncProbe probe = RsyncProbe::compute();
    return probe;
}

// Trims spaces and tabs but not line ends, as the key path check wants.
QString trimBlanks(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    auto blank = [](QChar c) { return c.isSpace() && c != u'\n' && c != u'\r'; };
    while (begin < end && blank(text.at(begin)))
        ++begin;
    while (end > begin && blank(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}

// Creates the folder and its parents; false with the reason when it cannot.
bool createFolder(const QString &path, QString *error)
{
    std::error_code code;
    const std::filesystem::path target(path.toStdString());
    std::filesystem::create_directories(target, code);
    if (!code && std::filesystem::is_directory(target, code))
        return true;
    *error = code ? QString::fromStdString(code.message())
                  : QStringLiteral("“%1” exists and is not a folder").arg(path);
    return false;
}

} // namespace

RsyncRunner::RsyncRunner(QObject *parent)
    : QObject(parent)
{
}

RsyncRunner::~RsyncRunner()
{
    // A run suspended in rsync must not outlive its runner unseen.
    terminateCurrentProcess();
}

RsyncProbe RsyncRunner::rsyncProbe()
{
    if (!m_probe)
        m_probe = processProbe();
    return *m_probe;
}

void RsyncRunner::append(const QString &line)
{
    m_logLines.append(line);
    ++m_logLineSerial;
    if (m_logLines.size() > maxLogLines)
        m_logLines.remove(0, m_logLines.size() - maxLogLines);
    Q_EMIT logLinesChanged();
}

std::optional<double> RsyncRunner::leftmostPercent(QStringView line)
{
    // The leftmost match of (\d{1,3})% belongs to the first "%" that follows
    // a digit: the one to three digits right before it.
    for (qsizetype at = line.indexOf(u'%'); at >= 0; at = line.indexOf(u'%', at + 1)) {
        qsizetype start = at;
        while (start > 0 && at - start < 3 && line.at(start - 1).isDigit())
            --start;
        if (start == at)
            continue;
        bool ok = false;
        const double value = line.mid(start, at - start).toDouble(&ok);
        return ok ? std::optional<double>(value) : std::nullopt;
    }
    return std::nullopt;
}

void RsyncRunner::appendLines(const QStringList &lines, bool fromStandardError)
{
    if (lines.isEmpty())
        return;
    m_logLineSerial += lines.size();
    if (fromStandardError) {
        for (const QString &line : lines)
            m_logLines.append(QStringLiteral("! ") + line);
    } else {
        // Lines that the bound would drop at once are not stored at all.
        m_logLines.append(lines.size() > maxLogLines ? lines.mid(lines.size() - maxLogLines) : lines);
        // Standard error is never searched; of one chunk only the last
        // percentage stands, so it is the one looked for.
        for (qsizetype i = lines.size() - 1; i >= 0; --i) {
            if (const auto percent = leftmostPercent(lines.at(i))) {
                setProgressPercent(percent);
                break;
            }
        }
    }
    // One change per chunk keeps a flood of progress lines cheap to observe.
    if (m_logLines.size() > maxLogLines)
        m_logLines.remove(0, m_logLines.size() - maxLogLines);
    Q_EMIT logLinesChanged();
}

void RsyncRunner::cancel()
{
    m_wasCancelled = true;
    terminateCurrentProcess();
}

void RsyncRunner::terminateCurrentProcess()
{
    if (!m_currentProcess || m_currentProcess->state() == QProcess::NotRunning)
        return;
    const qint64 pid = m_currentProcess->processId();
    // rsync runs in a process group of its own, with the ssh it started.
    if (pid > 0)
        ::kill(-pid_t(pid), SIGTERM);
    m_currentProcess->terminate();
}

QCoro::Task<int> RsyncRunner::runProcess(QString executable, QStringList args)
{
    QPointer<RsyncRunner> self(this);
    // Our own pipes, read in batches: rsync writes each progress update on
    // its own, and reading them one by one costs more than the copy.
    PipeReader outPipe(readPauseMs);
    PipeReader errPipe(readPauseMs);
    OutputDecoder out;
    OutputDecoder err;
    connect(&outPipe, &PipeReader::dataRead, this, [this, &out](const QByteArray &data) { appendLines(out.feed(data), false); });
    connect(&errPipe, &PipeReader::dataRead, this, [this, &err](const QByteArray &data) { appendLines(err.feed(data), true); });

    auto process = std::make_unique<QProcess>();
    process->setProgram(executable);
    process->setArguments(args);
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    const int outFd = outPipe.writeFd();
    const int errFd = errPipe.writeFd();
    process->setChildProcessModifier([outFd, errFd] {
        // A process group of its own, so that cancel reaches the ssh it starts.
        ::setpgid(0, 0);
        ::dup2(outFd, STDOUT_FILENO);
        ::dup2(errFd, STDERR_FILENO);
    });
    QProcess *child = process.get();
    if (!outPipe.isValid() || !errPipe.isValid() || !Subprocess::start(child)) {
        append(QStringLiteral("Failed to start rsync: ") + child->errorString());
        co_return -1;
    }
    outPipe.closeWriteEnd();
    errPipe.closeWriteEnd();
    m_currentProcess = child;
    co_await Subprocess::waitForExit(child);
    const int status = Subprocess::exitStatus(*child);
    if (!self)
        co_return status;
    // Whatever is still in the pipes (rsync's --stats summary) goes into the
    // log before the caller resumes.
    appendLines(out.feed(outPipe.drain()) + out.finish(), false);
    appendLines(err.feed(errPipe.drain()) + err.finish(), true);
    co_return status;
}

std::optional<double> RsyncRunner::freeSpaceGB(const QString &folder)
{
    const QStorageInfo storage(folder);
    if (!storage.isValid())
        return std::nullopt;
    return double(storage.bytesAvailable()) / 1073741824.0;
}

QCoro::Task<> RsyncRunner::run(Server server, ConfigStore *store)
{
    if (m_isRunning)
        co_return;
    QPointer<RsyncRunner> self(this);
    QPointer<ConfigStore> storeGuard(store);

    setRunning(true, server.id);
    m_logLines.clear();
    m_logLineSerial = 0;
    Q_EMIT logLinesChanged();
    setExitCode(std::nullopt);
    setProgressPercent(std::nullopt);
    m_wasCancelled = false;

    const AppSettings settings = store ? store->settings() : AppSettings();
    const QDateTime startedAt = QDateTime::currentDateTime();

    co_await performRun(server, settings);
    if (!self)
        co_return;
    finish(server, startedAt, settings, storeGuard);
}

QCoro::Task<> RsyncRunner::performRun(Server server, AppSettings settings)
{
    QPointer<RsyncRunner> self(this);

    QList<BackupPath> enabledPaths;
    for (const BackupPath &path : std::as_const(server.paths)) {
        if (path.enabled)
            enabledPaths.append(path);
    }
    if (enabledPaths.isEmpty()) {
        append(QStringLiteral("No enabled paths."));
        setExitCode(0);
        co_return;
    }

    const QString targetProblem = TargetCheck::problem(server.host, server.username);
    if (!targetProblem.isEmpty()) {
        append(QStringLiteral("!! ") + targetProblem);
        setExitCode(2);
        co_return;
    }

    const QString keyPath = AppPaths::expandTilde(server.privateKeyPath);
    if (!server.useSSHAgent) {
        if (trimBlanks(keyPath).isEmpty()) {
            append(QStringLiteral("!! Private key path is empty — open this server's settings and set the SSH key path, or enable “Use ssh-agent”."));
            append(QStringLiteral("   (Exported configs strip the key path on purpose; it must be re-entered after import.)"));
            setExitCode(2);
            co_return;
        }
        if (::access(QFile::encodeName(keyPath).constData(), R_OK) != 0) {
            append(QStringLiteral("!! Private key not readable at: ") + keyPath);
            append(QStringLiteral("   Copy the key to this machine or update the path in this server's settings."));
            setExitCode(2);
            co_return;
        }
    }

    // Run folder: destination / server name / optional date.
    const QString root = AppPaths::expandTilde(settings.destinationPath);
    QString folderError;
    if (root.trimmed().isEmpty())
        folderError = QStringLiteral("no backup destination folder is set; choose one in Settings");
    else if (!QDir::isAbsolutePath(root))
        folderError = QStringLiteral("the backup destination “%1” is not an absolute path; choose a folder such as ~/Backups in Settings")
                          .arg(settings.destinationPath);
    QString runFolder = QDir::cleanPath(root + u'/' + safePathComponent(server.name));
    if (settings.useDateSubfolder)
        runFolder += u'/' + QLocale::c().toString(m_clock().date(), QStringLiteral("yyyy-MM-dd"));
    if (folderError.isEmpty())
        createFolder(runFolder, &folderError);
    if (!folderError.isEmpty()) {
        append(QStringLiteral("Failed to create destination: ") + folderError);
        setExitCode(-1);
        co_return;
    }
    setLastDestination(runFolder);

    append(QStringLiteral("Destination: ") + runFolder);
    append(QStringLiteral("SSH: %1@%2:%3").arg(server.username, server.host).arg(server.port));
    append(server.useSSHAgent ? QStringLiteral("Auth: ssh-agent") : QStringLiteral("Key: ") + keyPath);
    append(QString());

    if (settings.minFreeSpaceGB > 0) {
        if (const auto free = freeSpaceGB(runFolder)) {
            append(QString::asprintf("Free space at destination: %.2f GB (min required: %lld GB)", *free,
                                     static_cast<long long>(settings.minFreeSpaceGB)));
            if (*free < double(settings.minFreeSpaceGB)) {
                append(QStringLiteral("!! Not enough free space. Aborting."));
                setExitCode(28);
                co_return;
            }
            append(QString());
        }
    }

    for (const BackupPath &path : std::as_const(enabledPaths)) {
        const bool copied = co_await copyPath(server, path, settings, runFolder);
        if (!self || !copied)
            co_return;
    }

    setExitCode(0);
    append(QStringLiteral("=== All backups completed ==="));
    // Only dated folders are pruned, and only when runs create them.
    if (server.retentionCount >= 1 && settings.useDateSubfolder) {
        const QStringList pruned = Retention::prune(settings.destinationPath, server);
        if (pruned.isEmpty()) {
            append(QStringLiteral("Retention: nothing to prune (keeping last %1).").arg(server.retentionCount));
        } else {
            append(QStringLiteral("Retention: pruned %1 older backup(s):").arg(pruned.size()));
            for (const QString &folder : pruned)
                append(QStringLiteral("  - ") + QFileInfo(folder).fileName());
        }
    }
}

// Copies one path with its retries; false when the run must end (exitCode set).
QCoro::Task<bool> RsyncRunner::copyPath(Server server, BackupPath path, AppSettings settings, QString runFolder)
{
    QPointer<RsyncRunner> self(this);
    setCurrentItem(path.name);
    setProgressPercent(std::nullopt);
    append(QStringLiteral("=== %1 (%2) ===").arg(path.name, path.remotePath));

    const QString command = path.preBackupCommand.trimmed();
    if (!command.isEmpty()) {
        append(QStringLiteral("↳ pre-backup: ") + command);
        const SSHTester::Report report = co_await SSHTester::runRemoteCommand(server, command, 60);
        if (!self)
            co_return false;
        const QStringList messageLines = report.message.split(u'\n', Qt::SkipEmptyParts);
        for (const QString &line : messageLines)
            append(QStringLiteral("  ") + line);
        if (!report.ok) {
            append(QStringLiteral("!! pre-backup command failed — skipping rsync for this path"));
            setExitCode(2);
            co_return false;
        }
    }

    const QString target = RsyncInvocation::targetFolder(runFolder, path);
    QDir().mkpath(target); // rsync reports a folder it cannot write into
    const RsyncProbe probe = rsyncProbe();
    const QStringList args = RsyncInvocation::arguments(server, path, settings.compress, settings.deleteExtraneous, target, probe);
    append(QStringLiteral("$ ") + Shell::displayCommandLine(probe.executable, args));

    const qint64 maxAttempts = std::max<qint64>(settings.retryAttempts + 1, 1);
    qint64 attempt = 1;
    int lastFailedStatus = -1;
    auto abort = [this](int status) {
        append(QString());
        setExitCode(status);
        append(m_wasCancelled ? QStringLiteral("Cancelled by user.") : QStringLiteral("Aborting: remaining paths skipped."));
    };
    while (true) {
        const int status = co_await runProcess(probe.executable, args);
        if (!self)
            co_return false;
        append(QStringLiteral("→ exit %1").arg(status));
        if (status == 0) {
            append(QString());
            co_return true;
        }
        if (m_wasCancelled || !transientExitCodes.contains(status)) {
            abort(status);
            co_return false;
        }
        append(QStringLiteral("(exit %1 is transient — will retry)").arg(status));
        if (attempt >= maxAttempts) {
            abort(status);
            co_return false;
        }
        const qint64 delay = std::min<qint64>(qint64(1) << std::min<qint64>(attempt, 5), 30);
        append(QStringLiteral("↻ retry %1/%2 in %3s…").arg(attempt).arg(maxAttempts - 1).arg(delay));
        ++attempt;
        lastFailedStatus = status;
        co_await QCoro::sleepFor(std::chrono::milliseconds(delay * m_retryDelayUnitMs));
        if (!self)
            co_return false;
        if (m_wasCancelled) {
            abort(lastFailedStatus);
            co_return false;
        }
    }
}

void RsyncRunner::finish(const Server &server, const QDateTime &startedAt, const AppSettings &settings, ConfigStore *store)
{
    setRunning(false, std::nullopt);
    setCurrentItem(QString());
    setProgressPercent(std::nullopt);
    persistLog(server.id, startedAt);
    const std::optional<qint64> code = m_exitCode ? std::optional<qint64>(*m_exitCode) : std::nullopt;
    if (store)
        store->recordRunResult(server.id, ReferenceDate::fromDateTime(startedAt), code);
    if (settings.notificationsEnabled)
        NotificationService::postBackupResult(server, code);
}

void RsyncRunner::persistLog(const QUuid &serverID, const QDateTime &startedAt)
{
    const QString status = LogStore::statusWord(m_wasCancelled, m_exitCode);
    LogStore::save(serverID, LogStore::header(startedAt, QDateTime::currentDateTime(), status), m_logLines);
}

void RsyncRunner::setRunning(bool running, std::optional<QUuid> serverID)
{
    if (m_isRunning != running) {
        m_isRunning = running;
        Q_EMIT isRunningChanged();
    }
    if (m_runningServerID != serverID) {
        m_runningServerID = serverID;
        Q_EMIT runningServerIDChanged();
    }
}

void RsyncRunner::setCurrentItem(const QString &item)
{
    if (m_currentItem == item)
        return;
    m_currentItem = item;
    Q_EMIT currentItemChanged();
}

void RsyncRunner::setProgressPercent(std::optional<double> percent)
{
    if (m_progressPercent == percent)
        return;
    m_progressPercent = percent;
    Q_EMIT progressPercentChanged();
}

void RsyncRunner::setExitCode(std::optional<int> code)
{
    if (m_exitCode == code)
        return;
    m_exitCode = code;
    Q_EMIT exitCodeChanged();
}

void RsyncRunner::setLastDestination(const QString &folder)
{
    if (m_lastDestination == folder)
        return;
    m_lastDestination = folder;
    Q_EMIT lastDestinationChanged();
}
