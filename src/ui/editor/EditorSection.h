// SPDX-License-Identifier: GPL-3.0-or-later
// The common shape of the server editor's sections.
#pragma once

#include "core/model/Server.h"

#include <QGroupBox>
#include <QUuid>

#include <functional>

class ConfigStore;
class QLabel;
class QLineEdit;

// One section of the server editor: it shows the server as it is in the
// store (refresh(), which updates its controls in place and never rebuilds
// them) and writes each edit through the store at once.
class EditorSection : public QGroupBox
{
    Q_OBJECT

public:
    EditorSection(const QString &title, const QUuid &serverID, ConfigStore *store, QWidget *parent);

    virtual void refresh(const Server &server) = 0;

protected:
    Server server() const;
    void edit(const std::function<void(Server &)> &change);
    // A row: the label (the control's buddy) in a 140-wide column, then the control.
    QWidget *field(const QString &label, QWidget *control, QWidget *focus = nullptr);
    // Sets a line edit's text unless the user is typing in it.
    static void showText(QLineEdit *edit, const QString &text);

    QUuid m_id;
    ConfigStore *m_store;
};
