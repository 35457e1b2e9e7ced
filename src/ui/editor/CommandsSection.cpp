// SPDX-License-Identifier: GPL-3.0-or-later
// Editing the programs run on this computer around a server's runs.
#include "ui/editor/CommandsSection.h"

#include "core/model/LocalCommand.h"
#include "ui/widgets/Icons.h"
#include "ui/widgets/Style.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QVBoxLayout>

#include <tuple>

CommandsSection::CommandsSection(const QUuid &serverID, ConfigStore *store, QWidget *parent)
    : EditorSection(tr("Commands on this computer"), serverID, store, parent)
{
    setObjectName(QStringLiteral("commandsSection"));
    auto *layout = qobject_cast<QVBoxLayout *>(this->layout());
    m_before = commandField(QStringLiteral("localBeforeCommand"), &Server::localBeforeCommand);
    m_afterSuccess = commandField(QStringLiteral("localAfterSuccessCommand"), &Server::localAfterSuccessCommand);
    m_afterFailure = commandField(QStringLiteral("localAfterFailureCommand"), &Server::localAfterFailureCommand);
    m_timeout = new QSpinBox(this);
    m_timeout->setObjectName(QStringLiteral("hookTimeoutSeconds"));
    m_timeout->setRange(1, 86400);
    m_timeout->setSingleStep(60);
    m_timeout->setSuffix(QStringLiteral(" s"));
    m_timeout->setFixedWidth(110);
    connect(m_timeout, &QSpinBox::valueChanged, this,
            [this](int seconds) { edit([seconds](Server &s) { s.hookTimeoutSeconds = seconds; }); });
    m_problems = Style::note(QString(), this, Icons::red());
    m_problems->setObjectName(QStringLiteral("commandsProblem"));
    m_problems->setTextFormat(Qt::PlainText);
    m_problems->hide();
    layout->addWidget(field(tr("Before the run"), m_before));
    layout->addWidget(field(tr("After a successful run"), m_afterSuccess));
    layout->addWidget(field(tr("After a failed run"), m_afterFailure));
    auto *timeoutRow = new QWidget(this);
    auto *timeoutLayout = new QHBoxLayout(timeoutRow);
    timeoutLayout->setContentsMargins(0, 0, 0, 0);
    m_timeout->setParent(timeoutRow);
    timeoutLayout->addWidget(m_timeout);
    timeoutLayout->addStretch(1);
    layout->addWidget(field(tr("Stop a command after"), timeoutRow, m_timeout));
    layout->addWidget(m_problems);
    layout->addWidget(Style::note(
        tr("Each is a program's absolute path and its arguments, run without a shell (quote an argument with "
           "spaces as \"…\"). It gets TIDEWELL_SERVER_ID, TIDEWELL_SERVER_NAME, TIDEWELL_SNAPSHOT and, after the "
           "run, TIDEWELL_EXIT_CODE; its output goes into the run's log. When the command before the run fails, "
           "the run ends with its exit code and nothing is copied."),
        this));
}

QLineEdit *CommandsSection::commandField(const QString &objectName, QStringList Server::*command)
{
    auto *line = new QLineEdit(this);
    line->setObjectName(objectName);
    line->setPlaceholderText(tr("e.g. /usr/local/bin/mount-backup-drive --quiet"));
    line->setFont(Style::monospace(0.9));
    connect(line, &QLineEdit::textEdited, this, [this, command](const QString &text) {
        const QStringList words = LocalCommand::parsed(text);
        edit([&](Server &s) { s.*command = words; });
    });
    return line;
}

void CommandsSection::refresh(const Server &server)
{
    QStringList problems;
    for (const auto &[line, command, when] :
         {std::tuple{m_before, &server.localBeforeCommand, LocalCommand::When::beforeRun},
          std::tuple{m_afterSuccess, &server.localAfterSuccessCommand, LocalCommand::When::afterSuccess},
          std::tuple{m_afterFailure, &server.localAfterFailureCommand, LocalCommand::When::afterFailure}}) {
        // What the user is typing stays as typed while it reads as the same words.
        if (LocalCommand::parsed(line->text()) != *command)
            showText(line, LocalCommand::shown(*command));
        if (const Phrase problem = LocalCommand::problem(*command, when); !problem.isEmpty())
            problems << problem.shown;
    }
    if (m_timeout->value() != server.hookTimeoutSeconds) {
        const QSignalBlocker block(m_timeout);
        m_timeout->setValue(int(std::clamp<qint64>(server.hookTimeoutSeconds, 1, 86400)));
    }
    m_problems->setText(problems.join(u'\n'));
    m_problems->setVisible(!problems.isEmpty());
}
