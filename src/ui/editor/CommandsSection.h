// SPDX-License-Identifier: GPL-3.0-or-later
// The editor's commands on this computer, before and after a run.
#pragma once

#include "ui/editor/EditorSection.h"

#include <QStringList>

class QLabel;
class QSpinBox;

class CommandsSection : public EditorSection
{
    Q_OBJECT

public:
    CommandsSection(const QUuid &serverID, ConfigStore *store, QWidget *parent);
    void refresh(const Server &server) override;

private:
    // A line for one command of the server, with the problem under it.
    QLineEdit *commandField(const QString &objectName, QStringList Server::*command);

    QLineEdit *m_before;
    QLineEdit *m_afterSuccess;
    QLineEdit *m_afterFailure;
    QSpinBox *m_timeout;
    QLabel *m_problems;
};
