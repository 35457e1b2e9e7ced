// SPDX-License-Identifier: GPL-3.0-or-later
// Every modal question the windows ask, answerable by tests.
#pragma once

#include <QObject>
#include <QQueue>
#include <QString>

class QWidget;

// Every modal question the windows ask goes through here, so tests can
// answer it: queued answers are used first, real dialogs otherwise.
class Dialogs : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // A warning with a confirm and a cancel button; true when confirmed. A
    // destructive confirmation has Cancel as its default button.
    bool confirm(QWidget *parent, const QString &title, const QString &text, const QString &informative,
                 const QString &confirmLabel, bool destructive = true);
    // Empty when cancelled.
    QString saveFileName(QWidget *parent, const QString &title, const QString &message, const QString &suggested,
                         const QString &filter);
    QString openFileName(QWidget *parent, const QString &title, const QString &folder, const QString &filter,
                         bool showHidden = false);
    QString folderName(QWidget *parent, const QString &title, const QString &folder);

    void setNextAnswer(bool answer) { m_answers.enqueue(answer); }
    void setNextFileName(const QString &fileName) { m_fileNames.enqueue(fileName); }
    // The texts of the confirmations shown so far (for tests).
    QStringList askedTexts() const { return m_asked; }

private:
    QQueue<bool> m_answers;
    QQueue<QString> m_fileNames;
    QStringList m_asked;
};
