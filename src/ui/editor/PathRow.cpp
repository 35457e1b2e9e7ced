// SPDX-License-Identifier: GPL-3.0-or-later
// Editing one backup path in place.
#include "ui/editor/PathRow.h"

#include "ui/widgets/FormRow.h"
#include "ui/widgets/Icons.h"
#include "ui/widgets/Style.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

PathRow::PathRow(const BackupPath &path, QWidget *parent)
    : QWidget(parent)
    , m_id(path.id)
{
    setObjectName(QStringLiteral("pathRow"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_enabled = new QCheckBox(this);
    m_enabled->setObjectName(QStringLiteral("pathEnabled"));
    m_enabled->setAccessibleName(tr("Copy this path"));
    layout->addWidget(m_enabled, 0, Qt::AlignTop);

    auto *column = new QVBoxLayout;
    column->setSpacing(4);
    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("pathName"));
    m_name->setPlaceholderText(tr("Label (e.g. SQLite DB, Media)"));
    m_name->setAccessibleName(tr("Path label"));
    m_problem = Style::note(QString(), this, Icons::red());
    m_problem->setObjectName(QStringLiteral("pathProblem"));
    m_problem->setTextFormat(Qt::PlainText);
    m_problem->hide();
    m_remoteField = new PathField(tr("Remote path (e.g. /var/www/app/media)"), this);
    m_remote = m_remoteField->edit();
    m_remote->setObjectName(QStringLiteral("pathRemote"));
    m_remote->setAccessibleName(tr("Remote path"));
    QPushButton *browse = m_remoteField->browseButton();
    browse->setObjectName(QStringLiteral("pathBrowse"));
    browse->setToolTip(tr("Choose the path among the server's folders"));
    QWidget *kind = buildKind();
    m_dumpRow = buildDump();
    buildTexts();
    column->addWidget(m_name);
    column->addWidget(m_problem);
    column->addWidget(m_remoteField);
    column->addWidget(kind);
    column->addWidget(m_dumpRow);
    column->addWidget(m_command);
    column->addWidget(m_afterCommand);
    column->addWidget(m_excludeRow);
    layout->addLayout(column, 1);

    m_trash = new QToolButton(this);
    m_trash->setObjectName(QStringLiteral("pathRemove"));
    m_trash->setAutoRaise(true);
    m_trash->setIcon(Icons::get(QStringLiteral("edit-delete")));
    m_trash->setToolTip(tr("Remove this path"));
    m_trash->setAccessibleName(tr("Remove this path"));
    layout->addWidget(m_trash, 0, Qt::AlignTop);
    // Tab goes as the row reads: the first line left to right, then down.
    m_tabChain = {m_enabled,  m_name,         m_trash,       m_remote,  browse,         m_directory, m_file,   m_dump,
                  m_dumpKind, m_dumpDatabase, m_dumpAccount, m_command, m_afterCommand, m_excludes,  m_preview};
    for (qsizetype i = 1; i < m_tabChain.size(); ++i)
        setTabOrder(m_tabChain.at(i - 1), m_tabChain.at(i));

    setPath(path, QString());
    connectEdits();
}

// Directory or file.
QWidget *PathRow::buildKind()
{
    auto *kind = new QWidget(this);
    auto *kindLayout = new QHBoxLayout(kind);
    kindLayout->setContentsMargins(0, 0, 0, 0);
    m_directory = new QRadioButton(tr("Directory"), kind);
    m_directory->setObjectName(QStringLiteral("pathDirectory"));
    m_file = new QRadioButton(tr("File"), kind);
    m_file->setObjectName(QStringLiteral("pathFile"));
    m_dump = new QRadioButton(tr("Database dump"), kind);
    m_dump->setObjectName(QStringLiteral("pathDump"));
    m_dump->setToolTip(tr("The remote path is a folder: the database is dumped into it before the transfer, "
                          "copied with it and removed after"));
    auto *group = new QButtonGroup(kind);
    group->addButton(m_directory);
    group->addButton(m_file);
    group->addButton(m_dump);
    kindLayout->addWidget(m_directory);
    kindLayout->addWidget(m_file);
    kindLayout->addWidget(m_dump);
    kindLayout->addStretch(1);
    return kind;
}

QWidget *PathRow::buildDump()
{
    auto *row = new QWidget(this);
    auto *rowLayout = new QHBoxLayout(row);
    rowLayout->setContentsMargins(0, 0, 0, 0);
    m_dumpKind = new QComboBox(row);
    m_dumpKind->setObjectName(QStringLiteral("pathDumpKind"));
    m_dumpKind->setAccessibleName(tr("Database"));
    m_dumpKind->addItem(QStringLiteral("PostgreSQL"), QStringLiteral("postgresql"));
    m_dumpKind->addItem(QStringLiteral("MySQL / MariaDB"), QStringLiteral("mysql"));
    m_dumpKind->addItem(QStringLiteral("SQLite"), QStringLiteral("sqlite"));
    m_dumpDatabase = new QLineEdit(row);
    m_dumpDatabase->setObjectName(QStringLiteral("pathDumpDatabase"));
    m_dumpDatabase->setAccessibleName(tr("Database name"));
    m_dumpAccount = new QLineEdit(row);
    m_dumpAccount->setObjectName(QStringLiteral("pathDumpAccount"));
    m_dumpAccount->setPlaceholderText(tr("Account (optional)"));
    m_dumpAccount->setAccessibleName(tr("Database account"));
    rowLayout->addWidget(m_dumpKind);
    rowLayout->addWidget(m_dumpDatabase, 2);
    rowLayout->addWidget(m_dumpAccount, 1);
    return row;
}

// The commands before and after the transfer, and the exclude patterns with their preview.
void PathRow::buildTexts()
{
    m_command = new QPlainTextEdit(this);
    m_command->setObjectName(QStringLiteral("pathCommand"));
    m_command->setPlaceholderText(tr("Pre-backup command (runs via SSH before rsync, optional)"));
    m_command->setAccessibleName(tr("Pre-backup command"));
    m_command->setToolTip(m_command->accessibleName()); // which is which once both are filled in
    m_command->setFont(Style::monospace(0.9));
    m_command->setTabChangesFocus(true);
    m_afterCommand = new QPlainTextEdit(this);
    m_afterCommand->setObjectName(QStringLiteral("pathAfterCommand"));
    m_afterCommand->setPlaceholderText(
        tr("After-backup command (runs via SSH after rsync, also when it failed; $TIDEWELL_STATUS is rsync's exit)"));
    m_afterCommand->setAccessibleName(tr("After-backup command"));
    m_afterCommand->setToolTip(m_afterCommand->accessibleName());
    m_afterCommand->setFont(Style::monospace(0.9));
    m_afterCommand->setTabChangesFocus(true);
    m_excludeRow = new QWidget(this);
    auto *excludeLayout = new QHBoxLayout(m_excludeRow);
    excludeLayout->setContentsMargins(0, 0, 0, 0);
    m_excludes = new QPlainTextEdit(m_excludeRow);
    m_excludes->setObjectName(QStringLiteral("pathExcludes"));
    m_excludes->setPlaceholderText(tr("Exclude (one rsync pattern per line, e.g. node_modules/, *.log)"));
    m_excludes->setAccessibleName(tr("Exclude patterns"));
    m_excludes->setFont(Style::monospace(0.9));
    m_excludes->setTabChangesFocus(true);
    m_excludes->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_preview = new QPushButton(tr("Preview"), m_excludeRow);
    m_preview->setObjectName(QStringLiteral("pathPreview"));
    m_preview->setToolTip(tr("Show what a run would copy and what the patterns leave out, without copying anything"));
    excludeLayout->addWidget(m_excludes, 1);
    excludeLayout->addWidget(m_preview, 0, Qt::AlignTop);
}

// Every control edits the path as it changes.
void PathRow::connectEdits()
{
    const auto edit = [this](std::function<void(BackupPath &)> change) { Q_EMIT edited(m_id, change); };
    connect(m_enabled, &QCheckBox::toggled, this, [edit](bool on) { edit([on](BackupPath &p) { p.enabled = on; }); });
    connect(m_name, &QLineEdit::textEdited, this,
            [edit](const QString &t) { edit([t](BackupPath &p) { p.name = t; }); });
    connect(m_remote, &QLineEdit::textEdited, this,
            [edit](const QString &t) { edit([t](BackupPath &p) { p.remotePath = t; }); });
    connect(m_directory, &QRadioButton::toggled, this, [edit](bool on) {
        if (on)
            edit([](BackupPath &p) {
                p.isDirectory = true;
                p.dumpKind.clear();
            });
    });
    connect(m_file, &QRadioButton::toggled, this, [edit](bool on) {
        if (on)
            edit([](BackupPath &p) {
                p.isDirectory = false;
                p.dumpKind.clear();
            });
    });
    connect(m_dump, &QRadioButton::toggled, this, [this, edit](bool on) {
        const QString kind = m_dumpKind->currentData().toString();
        if (on)
            edit([kind](BackupPath &p) {
                p.isDirectory = true;
                p.dumpKind = kind;
            });
    });
    connect(m_dumpKind, &QComboBox::activated, this, [this, edit] {
        const QString kind = m_dumpKind->currentData().toString();
        edit([kind](BackupPath &p) { p.dumpKind = kind; });
    });
    connect(m_dumpDatabase, &QLineEdit::textEdited, this,
            [edit](const QString &t) { edit([t](BackupPath &p) { p.dumpDatabase = t; }); });
    connect(m_dumpAccount, &QLineEdit::textEdited, this,
            [edit](const QString &t) { edit([t](BackupPath &p) { p.dumpAccount = t.trimmed(); }); });
    connect(m_command, &QPlainTextEdit::textChanged, this, [this, edit] {
        fitHeight(m_command);
        const QString text = m_command->toPlainText();
        edit([text](BackupPath &p) { p.preBackupCommand = text; });
    });
    connect(m_afterCommand, &QPlainTextEdit::textChanged, this, [this, edit] {
        fitHeight(m_afterCommand);
        const QString text = m_afterCommand->toPlainText();
        edit([text](BackupPath &p) { p.postBackupCommand = text; });
    });
    connect(m_excludes, &QPlainTextEdit::textChanged, this, [this, edit] {
        fitHeight(m_excludes);
        // Kept line by line as typed; blank lines never reach rsync.
        QStringList patterns = m_excludes->toPlainText().split(u'\n');
        while (!patterns.isEmpty() && patterns.last().isEmpty())
            patterns.removeLast();
        edit([patterns](BackupPath &p) { p.excludes = patterns; });
    });
    connect(m_preview, &QPushButton::clicked, this, [this] { Q_EMIT previewRequested(m_id); });
    connect(m_remoteField, &PathField::browseRequested, this, [this] { Q_EMIT browseRequested(m_id); });
    connect(m_trash, &QToolButton::clicked, this, [this] { Q_EMIT removeRequested(m_id); });
}

void PathRow::fitHeight(QPlainTextEdit *edit)
{
    // One to four lines, growing with the text.
    const int lines = std::clamp(int(edit->document()->blockCount()), 1, 4);
    const int lineHeight = edit->fontMetrics().lineSpacing();
    edit->setFixedHeight(lines * lineHeight + 2 * int(edit->document()->documentMargin()) + 6);
}

void PathRow::showDump(const BackupPath &path)
{
    m_dumpRow->setVisible(path.isDump());
    m_remote->setPlaceholderText(path.isDump()
                                     ? tr("Folder on the server the dump is written to (e.g. /var/backups/db)")
                                     : tr("Remote path (e.g. /var/www/app/media)"));
    if (!path.isDump())
        return;
    if (const int index = m_dumpKind->findData(path.dumpKind); index >= 0 && index != m_dumpKind->currentIndex())
        m_dumpKind->setCurrentIndex(index);
    for (const auto &[edit, text] :
         {std::pair{m_dumpDatabase, path.dumpDatabase}, std::pair{m_dumpAccount, path.dumpAccount}}) {
        if (edit->text() != text && !edit->hasFocus())
            edit->setText(text);
    }
    m_dumpDatabase->setPlaceholderText(path.dumpKind == QStringLiteral("sqlite")
                                           ? tr("Database file on the server (e.g. /var/lib/app/app.db)")
                                           : tr("Database name"));
}

void PathRow::setPath(const BackupPath &path, const QString &problem)
{
    const auto showLine = [](QLineEdit *edit, const QString &text) {
        if (edit->text() != text && !edit->hasFocus())
            edit->setText(text);
    };
    if (m_enabled->isChecked() != path.enabled) {
        const QSignalBlocker block(m_enabled);
        m_enabled->setChecked(path.enabled);
    }
    showLine(m_name, path.name);
    showLine(m_remote, path.remotePath);
    QRadioButton *kind = path.isDump() ? m_dump : path.isDirectory ? m_directory : m_file;
    if (!kind->isChecked()) {
        const QSignalBlocker blockDirectory(m_directory);
        const QSignalBlocker blockFile(m_file);
        const QSignalBlocker blockDump(m_dump);
        kind->setChecked(true);
    }
    showDump(path);
    if (m_command->toPlainText() != path.preBackupCommand && !m_command->hasFocus()) {
        const QSignalBlocker block(m_command);
        m_command->setPlainText(path.preBackupCommand);
    }
    fitHeight(m_command);
    if (m_afterCommand->toPlainText() != path.postBackupCommand && !m_afterCommand->hasFocus()) {
        const QSignalBlocker block(m_afterCommand);
        m_afterCommand->setPlainText(path.postBackupCommand);
    }
    fitHeight(m_afterCommand);
    const QString patterns = path.excludes.join(u'\n');
    if (m_excludes->toPlainText() != patterns && !m_excludes->hasFocus()) {
        const QSignalBlocker block(m_excludes);
        m_excludes->setPlainText(patterns);
    }
    fitHeight(m_excludes);
    // Patterns apply to a folder's contents; a single file has none.
    m_excludeRow->setVisible(path.isDirectory);
    if (m_problem->text() != problem)
        m_problem->setText(problem);
    m_problem->setVisible(!problem.isEmpty());
}
