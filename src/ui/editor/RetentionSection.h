// SPDX-License-Identifier: GPL-3.0-or-later
// The editor's retention: how many hourly, daily, weekly and monthly backups to keep.
#pragma once

#include "ui/editor/EditorSection.h"

class RetentionSection : public EditorSection
{
    Q_OBJECT

public:
    RetentionSection(const QUuid &serverID, ConfigStore *store, QWidget *parent);
    void refresh(const Server &server) override;

private:
    // A field for one count of the server; empty stands for 0.
    QLineEdit *countField(const QString &objectName, const QString &placeholder, qint64 Server::*count);

    QLineEdit *m_keep;
    QLineEdit *m_hourly;
    QWidget *m_hourlyRow;
    QWidget *m_hourlyNote;
    QLineEdit *m_weekly;
    QLineEdit *m_monthly;
};
