// SPDX-License-Identifier: GPL-3.0-or-later
// One backup path in the editor.
#pragma once

#include "core/model/BackupPath.h"

#include <QUuid>
#include <QWidget>

#include <functional>

class PathField;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QToolButton;

// The enabled box, label, remote path, kind (a folder, a file or a database
// dump with its database), pre- and after-backup commands, exclude
// patterns (folders only) with their preview, and remove button of one path,
// kept for the path's id and updated in place.
class PathRow : public QWidget
{
    Q_OBJECT

public:
    explicit PathRow(const BackupPath &path, QWidget *parent = nullptr);

    QUuid pathID() const { return m_id; }
    // Its controls in the order Tab visits them.
    const QList<QWidget *> &tabChain() const { return m_tabChain; }
    // Shows the path as stored, and what a run would refuse about it.
    void setPath(const BackupPath &path, const QString &problem);

Q_SIGNALS:
    void edited(const QUuid &pathID, const std::function<void(BackupPath &)> &change);
    void removeRequested(const QUuid &pathID);
    // "Preview": what a run would copy and exclude.
    void previewRequested(const QUuid &pathID);
    // "Browse…": choose the remote path on the server.
    void browseRequested(const QUuid &pathID);

private:
    QWidget *buildKind();
    // The kind of database, its name and account, for a dump.
    QWidget *buildDump();
    void showDump(const BackupPath &path);
    void buildTexts();
    void connectEdits();
    static void fitHeight(QPlainTextEdit *edit);

    QUuid m_id;
    PathField *m_remoteField;
    QPushButton *m_preview;
    QToolButton *m_trash;
    QList<QWidget *> m_tabChain;
    QCheckBox *m_enabled;
    QLineEdit *m_name;
    QLabel *m_problem;
    QLineEdit *m_remote;
    QRadioButton *m_directory;
    QRadioButton *m_file;
    QRadioButton *m_dump;
    QWidget *m_dumpRow;
    QComboBox *m_dumpKind;
    QLineEdit *m_dumpDatabase;
    QLineEdit *m_dumpAccount;
    QPlainTextEdit *m_command;
    QPlainTextEdit *m_afterCommand;
    QWidget *m_excludeRow;
    QPlainTextEdit *m_excludes;
};
