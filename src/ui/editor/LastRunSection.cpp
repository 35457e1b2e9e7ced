// SPDX-License-Identifier: GPL-3.0-or-later
// Showing a server's last run in the editor.
#include "ui/editor/LastRunSection.h"

#include "core/engine/CopyState.h"
#include "core/engine/KeepOptions.h"
#include "core/engine/MassChange.h"
#include "core/engine/Retention.h"
#include "core/engine/RunPool.h"
#include "core/model/ReferenceDate.h"
#include "core/presentation/Formatting.h"
#include "core/restore/BackupCheck.h"
#include "core/restore/RemoteCheck.h"
#include "core/storage/ConfigStore.h"
#include "core/storage/LogStore.h"
#include "core/system/Background.h"
#include "core/system/EncryptedFolder.h"
#include "ui/widgets/Icons.h"

#include <QFile>
#include <QFutureWatcher>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include <qcoro/qcorotask.h>

#include <algorithm>
#include <climits>

namespace {

// Holds the check for as long as it runs, whether or not the section stays.
// Whether the server's newest snapshot is a paused run's.
bool newestIsPaused(const AppSettings &settings, const Server &server)
{
    if (!settings.useDateSubfolder)
        return false;
    const QList<Snapshots::Backup> backups = Snapshots::list(Retention::serverFolder(settings.destinationPath, server));
    return !backups.isEmpty() && !backups.first().complete && Snapshots::isPaused(backups.first().path);
}

QCoro::Task<RemoteCheck::Result> checkHeld(std::shared_ptr<RemoteCheck> check, Server server, AppSettings settings,
                                           RsyncProbe probe)
{
    const std::optional<QString> newest;
    RemoteCheck::Result result = co_await check->run(server, settings, newest, probe);
    co_return result;
}

QString redDot()
{
    return QStringLiteral("<span style='color:") + Icons::red().name() + QStringLiteral("'>●</span> ");
}

// Why a check found nothing it could stand by: empty when it compared
// every path.
QString failure(const RemoteCheck::Result &result)
{
    if (!result.refusal.isEmpty())
        return result.refusal.first();
    for (const RemoteCheck::PathResult &path : result.paths) {
        if (path.exitCode != 0 && path.exitCode != 24)
            return path.errors.isEmpty() ? QStringLiteral("rsync %1").arg(path.exitCode) : path.errors.first();
    }
    return QString();
}

} // namespace

LastRunSection::LastRunSection(const QUuid &serverID, ConfigStore *store, RunPool *runs, QWidget *parent)
    : EditorSection(tr("Last run"), serverID, store, parent)
    , m_runs(runs)
{
    setObjectName(QStringLiteral("lastRunSection"));
    auto *layout = qobject_cast<QVBoxLayout *>(this->layout());
    m_when = new QLabel(this);
    m_when->setObjectName(QStringLiteral("lastRunWhen"));
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("lastRunStatus"));
    m_status->setTextFormat(Qt::RichText);
    layout->addWidget(field(tr("When"), m_when));
    layout->addWidget(field(tr("Status"), m_status));
    m_checked = new QLabel(this);
    m_checked->setObjectName(QStringLiteral("lastCheck"));
    m_checked->setWordWrap(true);
    m_check = new QPushButton(tr("Check backups…"), this);
    m_check->setObjectName(QStringLiteral("checkBackups"));
    m_check->setToolTip(tr("Read every copy once and compare it with its fingerprint"));
    auto *checkLine = new QHBoxLayout;
    checkLine->addWidget(m_checked, 1);
    checkLine->addWidget(m_check);
    auto *checkRow = new QWidget(this);
    checkRow->setLayout(checkLine);
    checkLine->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(field(tr("Checked"), checkRow, m_check));
    connect(m_check, &QPushButton::clicked, this, &LastRunSection::checkBackups);
    m_remoteChecked = new QLabel(this);
    m_remoteChecked->setObjectName(QStringLiteral("lastRemoteCheck"));
    m_remoteChecked->setWordWrap(true);
    m_remoteChecked->setTextFormat(Qt::RichText);
    m_checkRemote = new QPushButton(tr("Check against the server"), this);
    m_checkRemote->setObjectName(QStringLiteral("checkAgainstServer"));
    m_checkRemote->setToolTip(
        tr("Read the newest backup and the server's files and name those that differ though size and time agree"));
    // Below its result: the button's text is long in every language.
    auto *remoteLine = new QVBoxLayout;
    remoteLine->addWidget(m_remoteChecked);
    remoteLine->addWidget(m_checkRemote, 0, Qt::AlignLeading);
    auto *remoteRow = new QWidget(this);
    remoteRow->setLayout(remoteLine);
    remoteLine->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(field(tr("Server"), remoteRow, m_checkRemote));
    connect(m_checkRemote, &QPushButton::clicked, this, &LastRunSection::checkAgainstServer);
    m_copies = new QLabel(this);
    m_copies->setObjectName(QStringLiteral("copiedTo"));
    m_copies->setWordWrap(true);
    m_copiesRow = field(tr("Copies"), m_copies);
    layout->addWidget(m_copiesRow);
    m_held = new QLabel(this);
    m_held->setObjectName(QStringLiteral("heldChange"));
    m_held->setWordWrap(true);
    m_accept = new QPushButton(tr("These changes are expected"), this);
    m_accept->setObjectName(QStringLiteral("acceptChanges"));
    m_accept->setToolTip(tr("Old backups are pruned again from the next run"));
    auto *held = new QVBoxLayout;
    held->addWidget(m_held);
    auto *acceptLine = new QHBoxLayout;
    acceptLine->addWidget(m_accept);
    acceptLine->addStretch(1);
    held->addLayout(acceptLine);
    layout->addLayout(held);
    connect(m_accept, &QPushButton::clicked, this, &LastRunSection::acceptChanges);
    m_viewLog = new QPushButton(Icons::get(QStringLiteral("text-x-generic")), tr("View full log"), this);
    m_viewLog->setObjectName(QStringLiteral("viewFullLog"));
    auto *line = new QHBoxLayout;
    line->addWidget(m_viewLog);
    line->addStretch(1);
    layout->addLayout(line);
    connect(m_viewLog, &QPushButton::clicked, this, &LastRunSection::viewLogRequested);
}

void LastRunSection::showCopies(const Server &server)
{
    QStringList lines;
    for (const CopyState::Lag &lag : CopyState::lags(m_store->settings(), server)) {
        QString line = lag.newestDay.isEmpty() ? tr("Not copied to %1 yet").arg(lag.target)
                                               : tr("Copied to %1: up to %2").arg(lag.target, lag.newestDay);
        if (!lag.lastError.isEmpty())
            line += QStringLiteral(" · ") + tr("the last copy failed: %1").arg(lag.lastError);
        lines << line;
    }
    m_copies->setText(lines.join(u'\n'));
    m_copiesRow->setVisible(!lines.isEmpty());
}

LastRunSection::~LastRunSection()
{
    if (m_stopCheck)
        *m_stopCheck = true;
    if (m_remote)
        m_remote->cancel();
}

void LastRunSection::refresh(const Server &server)
{
    setVisible(server.lastRunAt.has_value());
    if (!m_stopCheck)
        showCheck(server);
    if (!m_remote)
        showRemoteCheck(server);
    m_viewLog->setEnabled(QFile::exists(LogStore::logFile(server.id)));
    showCopies(server);
    m_held->setVisible(server.heldChange.has_value());
    m_accept->setVisible(server.heldChange.has_value());
    if (server.heldChange)
        m_held->setText(server.heldChange->shownText());
    if (!server.lastRunAt)
        return;
    m_when->setText(Formatting::shortDateTime(*server.lastRunAt));
    if (!server.lastExitCode && newestIsPaused(m_store->settings(), server))
        m_status->setText(tr("Paused: the next run goes on from where it stopped"));
    else if (!server.lastExitCode)
        m_status->setText(tr("Cancelled"));
    else if (*server.lastExitCode == 0)
        m_status->setText(QStringLiteral("<span style='color:") + Icons::green().name() + QStringLiteral("'>●</span> ")
                          + tr("Success"));
    else
        m_status->setText(QStringLiteral("<span style='color:") + Icons::red().name() + QStringLiteral("'>●</span> ")
                          + tr("Failed (exit %1)").arg(*server.lastExitCode));
}

void LastRunSection::showCheck(const Server &server)
{
    const int damaged = int(std::clamp(server.damagedFiles, qint64(0), qint64(INT_MAX)));
    if (!server.lastVerifiedAt)
        m_checked->setText(tr("Never"));
    else if (server.damagedFiles == 0)
        m_checked->setText(tr("%1 · every file intact").arg(Formatting::shortDateTime(*server.lastVerifiedAt)));
    else
        m_checked->setText(redDot()
                           + tr("%1 · %n damaged file(s): see tidewell --verify", nullptr, damaged)
                                 .arg(Formatting::shortDateTime(*server.lastVerifiedAt)));
}

void LastRunSection::checkBackups()
{
    if (m_stopCheck) {
        // The check ends at the next file and keeps its place.
        *m_stopCheck = true;
        return;
    }
    const Server *server = m_store->settings().server(m_id);
    if (!server)
        return;
    const AppSettings &settings = m_store->settings();
    // An encrypted destination is read in its plaintext view, opened for the check.
    const std::optional<PlainView::Request> encrypted =
        settings.destinationEncrypted ? std::optional(PlainView::destination(settings)) : std::nullopt;
    BackupCheck::Options options;
    m_stopCheck = std::make_shared<std::atomic_bool>(false);
    options.stop = [stop = m_stopCheck] { return stop->load(); };
    QPointer<QLabel> label(m_checked);
    options.progress = [label](qint64 done, qint64 total) {
        QMetaObject::invokeMethod(
            label,
            [label, done, total] {
                if (label)
                    label->setText(
                        tr("Checking… %1 of %2 files").arg(QLocale().toString(done), QLocale().toString(total)));
            },
            Qt::QueuedConnection);
    };
    // The button stays where the focus is: it stops the check.
    m_check->setText(tr("Stop"));
    m_checked->setText(tr("Checking…"));
    auto *watcher = new QFutureWatcher<tl::expected<BackupCheck::Result, Error>>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher] {
        watcher->deleteLater();
        m_stopCheck.reset();
        m_check->setText(tr("Check backups…"));
        const auto result = watcher->result();
        if (!result) {
            m_checked->setText(tr("The backups could not be read: %1").arg(result.error().message));
            return;
        }
        const Server *checked = m_store->settings().server(m_id);
        if (result->finished && checked)
            m_store->recordVerification(m_id, ReferenceDate::now(),
                                        BackupCheck::damageToRecord(*checked, result->damaged.size(), true));
        if (const Server *now = m_store->settings().server(m_id))
            showCheck(*now);
    });
    watcher->setFuture(Background::run([encrypted, destination = settings.destinationPath, checked = *server,
                                        dated = settings.useDateSubfolder,
                                        options]() mutable -> tl::expected<BackupCheck::Result, Error> {
        PlainView view;
        if (encrypted) {
            const PlainView::Opened opened = PlainView::open(*encrypted);
            if (!opened)
                return tl::unexpected(opened.error());
            view = *opened;
        }
        const QString serverFolder = Retention::serverFolder(destination, checked);
        options.days = BackupCheck::allDays(serverFolder, dated);
        const bool attributes = KeepOptions::checkXattrs(serverFolder).has_value();
        return BackupCheck::run(serverFolder, attributes, options);
    }));
}

void LastRunSection::showRemoteCheck(const Server &server)
{
    const int differ = int(std::clamp(server.remoteDifferences, qint64(0), qint64(INT_MAX)));
    if (!server.lastRemoteCheckAt)
        m_remoteChecked->setText(tr("Never compared"));
    else if (differ == 0)
        m_remoteChecked->setText(
            tr("%1 · agrees with the server").arg(Formatting::shortDateTime(*server.lastRemoteCheckAt)));
    else
        m_remoteChecked->setText(
            redDot()
            + tr("%1 · %n file(s) differ though size and time agree: see tidewell --verify-remote", nullptr, differ)
                  .arg(Formatting::shortDateTime(*server.lastRemoteCheckAt)));
}

void LastRunSection::checkAgainstServer()
{
    if (m_remote) {
        m_remote->cancel();
        return;
    }
    const Server *server = m_store->settings().server(m_id);
    if (!server)
        return;
    m_remote = std::make_shared<RemoteCheck>();
    m_checkRemote->setText(tr("Stop"));
    m_remoteChecked->setText(tr("Comparing every file with the server…"));
    const RsyncProbe probe = m_runs->rsyncProbe();
    QCoro::connect(
        checkHeld(m_remote, *server, m_store->settings(), probe), this, [this](const RemoteCheck::Result &result) {
            m_remote.reset();
            m_checkRemote->setText(tr("Check against the server"));
            if (result.cancelled) {
                if (const Server *now = m_store->settings().server(m_id))
                    showRemoteCheck(*now);
                return;
            }
            if (const QString reason = failure(result); !reason.isEmpty()) {
                m_remoteChecked->setText(redDot() + tr("The check could not be made: %1").arg(reason.toHtmlEscaped()));
                return;
            }
            m_store->recordRemoteCheck(m_id, ReferenceDate::now(), result.silentCount());
            if (const Server *now = m_store->settings().server(m_id))
                showRemoteCheck(*now);
        });
}

void LastRunSection::acceptChanges()
{
    const auto accepted = MassChange::accept(*m_store, m_id);
    if (!accepted)
        m_held->setText(tr("The old backups stay kept: %1").arg(accepted.error().message));
}
