// SPDX-License-Identifier: GPL-3.0-or-later
// The live run sheet: header, progress, coloured log and buttons.
#include "ui/run/BackupRunView.h"

#include "core/engine/RsyncRunner.h"
#include "core/engine/TransferRunner.h"
#include "ui/widgets/Desktop.h"
#include "ui/widgets/Icons.h"
#include "ui/widgets/Style.h"
#include "ui/widgets/WindowFit.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QVBoxLayout>

BackupRunView::BackupRunView(TransferRunner *runner, Desktop *desktop, QWidget *parent, Kind kind)
    : QDialog(parent)
    , m_runner(runner)
    , m_backup(kind == Kind::backup ? qobject_cast<RsyncRunner *>(runner) : nullptr)
    , m_kind(kind)
    , m_desktop(desktop)
{
    setObjectName(QStringLiteral("backupRunView"));
    setWindowTitle(kind == Kind::backup ? tr("Backup") : tr("Restore"));
    // A backup's sheet is a window of its own: several can be open, and the
    // main window stays usable. A restore to the server holds its window.
    setWindowModality(kind == Kind::backup ? Qt::NonModal : Qt::WindowModal);
    WindowFit::fit(this, QSize(740, 480), QSize(740, 480));

    auto *layout = new QVBoxLayout(this);
    layout->setSpacing(10);

    auto *header = new QHBoxLayout;
    m_spinner = new QProgressBar(this);
    m_spinner->setRange(0, 0);
    m_spinner->setFixedSize(24, 10);
    m_spinner->setTextVisible(false);
    m_statusIcon = new QLabel(this);
    m_heading = new QLabel(this);
    m_heading->setObjectName(QStringLiteral("runHeading"));
    m_heading->setTextFormat(Qt::PlainText); // names and paths are shown as typed
    m_heading->setFont(Style::heading(m_heading));
    header->addWidget(m_spinner);
    header->addWidget(m_statusIcon);
    header->addWidget(m_heading, 1);
    layout->addLayout(header);

    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("runProgress"));
    layout->addWidget(m_progress);

    m_log = new QPlainTextEdit(this);
    m_log->setObjectName(QStringLiteral("runLog"));
    m_log->setReadOnly(true);
    m_log->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_log->setMaximumBlockCount(int(TransferRunner::maxLogLines));
    m_log->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_log->setFont(Style::monospace(0.9));
    m_log->document()->setDocumentMargin(10);
    layout->addWidget(m_log, 1);

    buildButtons(layout);
    for (auto signal : {&RunnerState::isRunningChanged, &RunnerState::exitCodeChanged, &RunnerState::currentItemChanged,
                        &RunnerState::progressPercentChanged, &RunnerState::lastDestinationChanged})
        connect(m_runner, signal, this, &BackupRunView::refreshState);
    m_logTimer.setSingleShot(true);
    m_logTimer.setInterval(coalesceMs);
    connect(&m_logTimer, &QTimer::timeout, this, &BackupRunView::updateLog);
    connect(m_runner, &RunnerState::logLinesChanged, this, &BackupRunView::scheduleLogUpdate);

    updateLog();
    refreshState();
}

// Reveal, copy, cancel and close, and what they do.
void BackupRunView::buildButtons(QVBoxLayout *layout)
{
    auto *buttons = new QHBoxLayout;
    m_reveal = new QPushButton(Icons::get(QStringLiteral("folder")), tr("Reveal destination"), this);
    m_reveal->setObjectName(QStringLiteral("revealDestination"));
    m_copy = new QPushButton(Icons::get(QStringLiteral("edit-copy")), tr("Copy log"), this);
    m_copy->setObjectName(QStringLiteral("copyLog"));
    m_pause = new QPushButton(Icons::get(QStringLiteral("media-playback-pause")), tr("Pause"), this);
    m_pause->setObjectName(QStringLiteral("pauseRun"));
    m_pause->setToolTip(tr("Stop now, keeping what was copied: Resume (or the next run) goes on from there."));
    m_resume = new QPushButton(Icons::get(QStringLiteral("media-playback-start")), tr("Resume"), this);
    m_resume->setObjectName(QStringLiteral("resumeRun"));
    m_cancel = new QPushButton(Icons::get(QStringLiteral("process-stop")), tr("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("cancelRun"));
    m_close = new QPushButton(Icons::get(QStringLiteral("window-close")), tr("Close"), this);
    m_close->setObjectName(QStringLiteral("closeRun"));
    m_close->setDefault(true);
    buttons->addWidget(m_reveal);
    buttons->addWidget(m_copy);
    buttons->addStretch(1);
    buttons->addWidget(m_pause);
    buttons->addWidget(m_resume);
    buttons->addWidget(m_cancel);
    buttons->addWidget(m_close);
    layout->addLayout(buttons);

    connect(m_reveal, &QPushButton::clicked, this, [this] {
        if (const auto folder = m_runner->lastDestination())
            m_desktop->openFolder(*folder);
    });
    connect(m_copy, &QPushButton::clicked, this, [this] { m_desktop->copyText(m_runner->logLines().join(u'\n')); });
    connect(m_cancel, &QPushButton::clicked, m_runner, &TransferRunner::cancel);
    if (m_backup) {
        connect(m_pause, &QPushButton::clicked, this, [this] {
            m_backup->pause();
            refreshState();
        });
        connect(m_resume, &QPushButton::clicked, this, [this] {
            if (!m_backup->isRunning() && m_backup->wasPaused())
                Q_EMIT resumeRequested(m_backup->runServer().id);
        });
    }
    connect(m_close, &QPushButton::clicked, this, &QDialog::accept);
}

QString BackupRunView::headerText() const
{
    return m_heading->text();
}

void BackupRunView::refreshState()
{
    const bool running = m_runner->isRunning();
    const auto exitCode = m_runner->exitCode();
    m_spinner->setVisible(running);
    if (m_backup && !m_backup->runServer().shownName().isEmpty())
        setWindowTitle(tr("Backup of %1").arg(m_backup->runServer().shownName()));
    m_statusIcon->setVisible(!running && exitCode.has_value());
    if (running && m_backup && m_backup->isWaitingForSlot()) {
        m_heading->setText(tr("Waiting for a free slot…"));
    } else if (running) {
        m_heading->setText(tr("Running: %1").arg(m_runner->currentItem()));
    } else if (!exitCode) {
        m_heading->setText(tr("Preparing…"));
    } else if (m_runner->wasRefused()) {
        m_statusIcon->setPixmap(Icons::get(QStringLiteral("dialog-error")).pixmap(22, 22));
        m_heading->setText(m_kind == Kind::backup ? tr("Backup not started") : tr("Restore not started"));
    } else if (m_runner->wasPaused()) {
        m_statusIcon->setPixmap(Icons::get(QStringLiteral("media-playback-pause")).pixmap(22, 22));
        m_heading->setText(tr("Backup paused"));
    } else if (m_runner->wasCancelled()) {
        m_statusIcon->setPixmap(Icons::get(QStringLiteral("process-stop")).pixmap(22, 22));
        m_heading->setText(m_kind == Kind::backup ? tr("Backup cancelled") : tr("Restore cancelled"));
    } else if (*exitCode == 0 && !m_runner->warning().isEmpty()) {
        m_statusIcon->setPixmap(Icons::get(QStringLiteral("dialog-warning")).pixmap(22, 22));
        m_heading->setText(tr("Backup completed, but %1").arg(m_runner->warning()));
    } else if (*exitCode == 0) {
        m_statusIcon->setPixmap(Icons::get(QStringLiteral("emblem-ok")).pixmap(22, 22));
        m_heading->setText(m_kind == Kind::backup ? tr("Backup completed") : tr("Restore completed"));
    } else {
        m_statusIcon->setPixmap(Icons::get(QStringLiteral("dialog-error")).pixmap(22, 22));
        m_heading->setText(
            (m_kind == Kind::backup ? tr("Backup failed (exit %1)") : tr("Restore failed (exit %1)")).arg(*exitCode));
    }

    m_progress->setVisible(running);
    if (const auto percent = m_runner->progressPercent()) {
        // Values above 100 are shown as read; the bar itself is full.
        m_progress->setRange(0, 100);
        m_progress->setValue(int(std::min(*percent, 100.0)));
        m_progress->setFormat(QString::asprintf("%.0f%%", *percent));
        m_progress->setTextVisible(true);
    } else {
        m_progress->setRange(0, 0);
        m_progress->setTextVisible(false);
    }

    // Not for a folder gone with the run (an encrypted destination's closed view).
    m_reveal->setVisible(!running && m_runner->lastDestination() && QFileInfo::exists(*m_runner->lastDestination()));
    m_copy->setEnabled(!m_runner->logLines().isEmpty());
    m_cancel->setVisible(running);
    m_pause->setVisible(running && m_backup);
    m_pause->setEnabled(!m_runner->wasPaused());
    const bool paused = !running && m_backup && m_runner->wasPaused();
    m_resume->setVisible(paused);
    m_resume->setDefault(paused);
    // A backup goes on when its sheet is closed; a restore's stays.
    m_close->setVisible(!running || m_backup);
    m_close->setDefault(!running && !paused);
    m_close->setToolTip(running ? tr("The backup goes on: show it again from its server or the tray.") : QString());
}

void BackupRunView::scheduleLogUpdate()
{
    // A new run clears the log: show that at once; otherwise gather lines.
    if (m_runner->logLines().isEmpty())
        updateLog();
    else if (!m_logTimer.isActive())
        m_logTimer.start();
}

namespace {

// What the sheet shows of one line: a few screens wide at most (the log
// file and Copy keep it whole), so a server printing endless lines cannot
// fill the window's memory.
QString shown(const QString &line)
{
    constexpr qsizetype widest = 2000;
    return line.size() > widest ? line.left(widest) + QStringLiteral("…") : line;
}

} // namespace

void BackupRunView::updateLog()
{
    const QStringList &lines = m_runner->logLines();
    const qint64 serial = m_runner->logLineSerial();
    qint64 fresh = serial - m_shownSerial;
    // Lines dropped from the middle of a huge log change what the lines
    // before the new ones are: draw it whole then too.
    const bool rebuild =
        fresh < 0 || m_shownCount == 0 || fresh > lines.size() || m_runner->logDroppedLines() != m_shownDropped;
    if (rebuild) {
        // A new run, or more new lines than the log keeps: draw it whole.
        m_log->clear();
        fresh = lines.size();
    } else if (m_runner->logRevision() != m_shownRevision && lines.size() > fresh) {
        // A progress update replaced the last line shown.
        const QString &line = lines.at(lines.size() - fresh - 1);
        QTextCursor last(m_log->document()->lastBlock());
        last.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        last.insertText(shown(line), QTextCharFormat());
    }
    m_copy->setEnabled(!lines.isEmpty());
    if (fresh > 0) {
        QTextCharFormat plain;
        QTextCharFormat error;
        error.setForeground(Icons::red());
        QTextCursor cursor(m_log->document());
        cursor.movePosition(QTextCursor::End);
        cursor.beginEditBlock();
        const qsizetype first = lines.size() - fresh;
        for (qsizetype i = first; i < lines.size(); ++i) {
            // A cleared document has one empty block for the first line.
            if (!(rebuild && i == first))
                cursor.insertBlock();
            const QString &line = lines.at(i);
            cursor.insertText(shown(line), line.startsWith(QLatin1String("! ")) ? error : plain);
        }
        cursor.endEditBlock();
    }
    const bool countChanged = lines.size() != m_shownCount || fresh > 0;
    m_shownSerial = serial;
    m_shownRevision = m_runner->logRevision();
    m_shownCount = lines.size();
    m_shownDropped = m_runner->logDroppedLines();
    if (countChanged && !lines.isEmpty())
        m_log->verticalScrollBar()->setValue(m_log->verticalScrollBar()->maximum());
}

void BackupRunView::reject()
{
    if (!m_runner->isRunning() || m_backup)
        QDialog::reject();
}

void BackupRunView::closeEvent(QCloseEvent *event)
{
    if (m_runner->isRunning() && !m_backup) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

QString BackupRunView::shownLog() const
{
    return m_shownCount == 0 ? QString() : m_log->toPlainText();
}

QList<int> BackupRunView::redLineNumbers() const
{
    QList<int> red;
    if (m_shownCount == 0)
        return red;
    int number = 0;
    for (QTextBlock block = m_log->document()->begin(); block.isValid(); block = block.next(), ++number) {
        const auto formats = block.textFormats();
        if (!formats.isEmpty() && formats.first().format.foreground().color() == Icons::red())
            red << number;
    }
    return red;
}
