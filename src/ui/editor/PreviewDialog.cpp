// SPDX-License-Identifier: GPL-3.0-or-later
// The preview of a path's excludes: a dry run's count and lines.
#include "ui/editor/PreviewDialog.h"

#include "core/engine/RsyncPreview.h"
#include "core/engine/RunPool.h"
#include "core/presentation/ServerRules.h"
#include "core/ssh/RemoteListing.h"
#include "core/ssh/SSHTester.h"
#include "core/storage/ConfigStore.h"
#include "ui/widgets/Icons.h"
#include "ui/widgets/Style.h"
#include "ui/widgets/WindowFit.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <qcoro/qcorotask.h>

PreviewDialog::PreviewDialog(const QUuid &serverID, const QUuid &pathID, ConfigStore *store, RunPool *runs,
                             QWidget *parent)
    : QDialog(parent)
    , m_serverID(serverID)
    , m_pathID(pathID)
    , m_store(store)
    , m_runs(runs)
    , m_preview(new RsyncPreview(this))
{
    setObjectName(QStringLiteral("previewDialog"));
    setWindowTitle(tr("Preview"));
    WindowFit::fit(this, QSize(760, 480));
    auto *layout = new QVBoxLayout(this);
    m_summary = new QLabel(tr("Asking the server what a run would copy…"), this);
    m_summary->setObjectName(QStringLiteral("previewSummary"));
    m_summary->setTextFormat(Qt::PlainText);
    m_summary->setWordWrap(true);
    m_lines = new QPlainTextEdit(this);
    m_lines->setObjectName(QStringLiteral("previewLines"));
    m_lines->setReadOnly(true);
    m_lines->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_lines->setFont(Style::monospace(0.9));
    m_buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    m_cancel = m_buttons->addButton(tr("Stop"), QDialogButtonBox::ActionRole); // stops, and keeps what was seen
    m_cancel->setObjectName(QStringLiteral("previewCancel"));
    connect(m_cancel, &QPushButton::clicked, m_preview, &RsyncPreview::cancel);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &PreviewDialog::reject);
    m_resolved = Style::note(QString(), this);
    m_resolved->setObjectName(QStringLiteral("previewResolved"));
    m_resolved->setTextFormat(Qt::PlainText);
    m_resolved->hide();
    layout->addWidget(m_resolved);
    layout->addWidget(m_summary);
    layout->addWidget(m_lines, 1);
    layout->addWidget(
        Style::note(tr("A dry run with this path's real options: nothing is copied. Lines starting with “>f” or “cd” "
                       "would be copied, “hf” or “.f” taken unchanged; “hiding” lines are left out by a pattern."),
                    this));
    layout->addWidget(m_buttons);
    start();
}

bool PreviewDialog::isRunning() const
{
    return m_preview->isRunning();
}

QString PreviewDialog::summary() const
{
    return m_summary->text();
}

QString PreviewDialog::shownLines() const
{
    return m_lines->toPlainText();
}

void PreviewDialog::start()
{
    const AppSettings settings = m_store->settings();
    const Server *server = settings.server(m_serverID);
    if (!server) {
        m_summary->setText(tr("The server is no longer in the settings."));
        return;
    }
    for (const BackupPath &path : server->paths) {
        if (path.id != m_pathID)
            continue;
        setWindowTitle(tr("Preview of “%1” on %2").arg(path.shownName(), server->shownName()));
        // "~/www" is relative to the account's home: say where that is.
        if (path.remotePath == QStringLiteral("~") || path.remotePath.startsWith(QLatin1String("~/"))) {
            const QString command = RemoteListing::resolveCommand(path.remotePath);
            const QString shown = path.remotePath;
            QCoro::connect(SSHTester::runRemoteCommand(*server, command, 10), this,
                           [this, shown](const SSHTester::Report &report) {
                               if (!report)
                                   return;
                               m_resolved->setText(tr("%1 is %2 on the server.").arg(shown, report->trimmed()));
                               m_resolved->show();
                           });
        }
    }
    QCoro::connect(
        m_preview->run(*server, m_pathID, settings, m_runs->rsyncProbe()), this,
        [this](const RsyncPreview::Result &result) {
            m_cancel->setEnabled(false);
            if (!result.refusal.isEmpty()) {
                QPalette palette = m_summary->palette();
                palette.setColor(QPalette::WindowText, Icons::red());
                m_summary->setPalette(palette);
                m_summary->setText(result.refusal.join(u'\n'));
            } else {
                // What the run would take, also when nothing changed: the run
                // still makes a whole new snapshot from the earlier one. Each
                // count is a clause of its own, for its own plural.
                QString text = tr("A run would copy %n file(s)", nullptr, result.copiedFiles);
                if (!result.base.isEmpty())
                    text =
                        tr("%1 and take %n unchanged file(s) from the snapshot of %2", nullptr, result.unchangedFiles)
                            .arg(text, result.base);
                else if (result.unchangedFiles > 0)
                    text = tr("%1; %n file(s) in the destination are up to date", nullptr, result.unchangedFiles)
                               .arg(text);
                text = tr("%1; %n item(s) left out by exclude patterns.", nullptr, result.excluded).arg(text);
                if (result.cancelled)
                    text = tr("Cancelled. So far: %1").arg(text);
                if (!result.topLevel.isEmpty()) {
                    text += u'\n'
                            + tr("Included at the top: %1")
                                  .arg(result.topLevel.join(QStringLiteral(", "))
                                       + (result.topLevel.size() >= RsyncPreview::shownTopLevel ? QStringLiteral(", …")
                                                                                                : QString()));
                }
                if (!result.cancelled && result.exitCode != 0)
                    text += u' ' + tr("rsync ended with exit %1; see its lines below.").arg(result.exitCode);
                if (result.truncated)
                    text += u' ' + tr("The first %1 of rsync's lines are shown.").arg(RsyncPreview::shownLines);
                m_summary->setText(text);
            }
            m_lines->setPlainText(result.lines.join(u'\n'));
            Q_EMIT previewEnded();
            if (m_closed)
                deleteLater();
        });
}

void PreviewDialog::done(int result)
{
    m_closed = true;
    if (m_preview->isRunning())
        m_preview->cancel(); // deleted once the dry run has ended
    else
        deleteLater();
    QDialog::done(result);
}
