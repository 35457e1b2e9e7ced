// SPDX-License-Identifier: GPL-3.0-or-later
// The editor's retention: how many daily backups to keep.
#pragma once

#include "ui/EditorSection.h"

class RetentionSection : public EditorSection
{
    Q_OBJECT

public:
    RetentionSection(const QUuid &serverID, ConfigStore *store, QWidget *parent);
    void refresh(const Server &server) override;

private:
    QLineEdit *m_keep;
};
