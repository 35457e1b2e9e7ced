// SPDX-License-Identifier: GPL-3.0-or-later
// The sheet that follows a running backup.
#pragma once

#include <QDialog>
#include <QTimer>

class Desktop;
class QVBoxLayout;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QUuid;
class RsyncRunner;
class TransferRunner;

// The live run sheet of a backup (or of a restore to the server): status,
// progress, the log with rsync's error lines in red, and the buttons to
// reveal, copy, pause (a backup; then resume), cancel or close.
class BackupRunView : public QDialog
{
    Q_OBJECT

public:
    enum class Kind { backup, restore };

    BackupRunView(TransferRunner *runner, Desktop *desktop, QWidget *parent = nullptr, Kind kind = Kind::backup);

    // The log as shown: every line, with "! " lines in red.
    QString shownLog() const;
    QList<int> redLineNumbers() const;
    QString headerText() const;

    // Log updates are gathered for this long before they are drawn.
    static constexpr int coalesceMs = 50;

Q_SIGNALS:
    // Resume was pressed after a pause: the same server is to run again.
    void resumeRequested(const QUuid &serverID);

protected:
    // While a restore is in progress its sheet stays: neither Esc nor the
    // window's close button dismiss it. A backup's sheet closes; the
    // backup goes on.
    void reject() override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildButtons(QVBoxLayout *layout);
    void refreshState();
    void scheduleLogUpdate();
    void updateLog();

    TransferRunner *m_runner;
    RsyncRunner *m_backup; // m_runner when it runs backups, which can pause
    Kind m_kind;
    Desktop *m_desktop;
    QLabel *m_statusIcon;
    QLabel *m_heading;
    QProgressBar *m_spinner;
    QProgressBar *m_progress;
    QPlainTextEdit *m_log;
    QPushButton *m_reveal;
    QPushButton *m_copy;
    QPushButton *m_pause;
    QPushButton *m_resume;
    QPushButton *m_cancel;
    QPushButton *m_close;
    QTimer m_logTimer;
    qint64 m_shownSerial = 0;
    qint64 m_shownRevision = 0;
    qsizetype m_shownCount = 0;
    qint64 m_shownDropped = 0;
};
