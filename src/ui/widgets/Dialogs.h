// SPDX-License-Identifier: GPL-3.0-or-later
// Every modal question the windows ask, answerable by tests.
#pragma once

#include "core/restore/LocalRestore.h"

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QQueue>
#include <QString>

#include <optional>

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
    // Where a restore to this computer goes: `suggested` (made when it is
    // not there yet) or another folder; and whether special files come
    // back as they were (offered only when `mayKeepSpecial`). Empty when cancelled.
    struct RestoreTarget
    {
        QString folder;
        bool keepSpecial = false;
    };
    std::optional<RestoreTarget> restoreTarget(QWidget *parent, const QString &suggested, bool mayKeepSpecial);
    // One line of text; empty optional when cancelled.
    std::optional<QString> text(QWidget *parent, const QString &title, const QString &label, const QString &suggested);

    // A password, typed hidden; empty optional when cancelled. Kept in
    // memory only, for the one call that needs it.
    std::optional<QString> password(QWidget *parent, const QString &title, const QString &label);

    // What to do with a file that is already where a restore puts one.
    struct ConflictAnswer
    {
        LocalRestore::Choice choice = LocalRestore::Choice::skip;
        bool forAll = false;
        bool cancelled = false; // the restore is called off
    };
    ConflictAnswer conflict(QWidget *parent, const QString &path);

    // Closes the confirmation that is open (the question it asked has been
    // settled meanwhile); confirm() returns `answer`.
    void closeConfirmation(bool answer);
    bool isConfirming() const { return !m_openConfirmation.isNull(); }

    void setNextAnswer(bool answer) { m_answers.enqueue(answer); }
    void setNextFileName(const QString &fileName) { m_fileNames.enqueue(fileName); }
    void setNextRestoreTarget(const std::optional<RestoreTarget> &target) { m_targets.enqueue(target); }
    void setNextText(const std::optional<QString> &text) { m_texts.enqueue(text); }
    void setNextConflictAnswer(const ConflictAnswer &answer) { m_conflicts.enqueue(answer); }
    // The texts of the confirmations shown so far (for tests).
    QStringList askedTexts() const { return m_asked; }

private:
    QQueue<bool> m_answers;
    QQueue<QString> m_fileNames;
    QQueue<std::optional<QString>> m_texts;
    QQueue<ConflictAnswer> m_conflicts;
    QQueue<std::optional<RestoreTarget>> m_targets;
    QStringList m_asked;
    QPointer<QMessageBox> m_openConfirmation;
    std::optional<bool> m_forcedAnswer;
};
