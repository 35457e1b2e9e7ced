// SPDX-License-Identifier: GPL-3.0-or-later
// What a run of one path would copy and leave out, shown before any copy.
#pragma once

#include <QDialog>
#include <QUuid>

class ConfigStore;
class QDialogButtonBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class RsyncPreview;
class RunPool;

// Runs a dry run of one path (RsyncPreview) as soon as it opens and shows
// its count and first lines. Cancel stops the dry run; closing while it runs
// stops it too. The dialog deletes itself once it is closed and the dry run
// has ended.
class PreviewDialog : public QDialog
{
    Q_OBJECT

public:
    PreviewDialog(const QUuid &serverID, const QUuid &pathID, ConfigStore *store, RunPool *runs, QWidget *parent);

    bool isRunning() const;
    QString summary() const;
    QString shownLines() const;

    // However it closes (Close, Esc, the window's button), a dry run still
    // going is stopped, and the dialog goes once it has ended.
    void done(int result) override;

Q_SIGNALS:
    void previewEnded();

private:
    void start();

    QUuid m_serverID;
    QUuid m_pathID;
    ConfigStore *m_store;
    RunPool *m_runs;
    RsyncPreview *m_preview;
    QLabel *m_summary;
    QLabel *m_resolved; // where a "~/" path is on the server
    QPlainTextEdit *m_lines;
    QPushButton *m_cancel;
    QDialogButtonBox *m_buttons;
    bool m_closed = false;
};
