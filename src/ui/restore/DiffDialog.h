// SPDX-License-Identifier: GPL-3.0-or-later
// What changed inside one file between two backups.
#pragma once

#include <QDialog>

#include <qcoro/qcorotask.h>

class QLabel;
class QPlainTextEdit;

// Two versions of a file as a unified diff, made in the background; binary
// and very large files are said to be so.
class DiffDialog : public QDialog
{
    Q_OBJECT

public:
    // The labels name the versions in the diff (a remote path and its day).
    DiffDialog(const QString &older, const QString &newer, const QString &olderLabel, const QString &newerLabel,
               QWidget *parent);

    // For tests: what is shown, once it is there.
    bool isReady() const { return m_ready; }
    QString text() const;
    QString state() const;

private:
    QCoro::Task<> showChanges(QString older, QString newer, QString olderLabel, QString newerLabel);

    QLabel *m_state;
    QPlainTextEdit *m_text;
    bool m_ready = false;
};
