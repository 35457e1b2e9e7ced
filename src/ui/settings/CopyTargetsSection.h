// SPDX-License-Identifier: GPL-3.0-or-later
// Settings' second copies: each target, how far it is, and "Copy now".
#pragma once

#include "core/model/CopyTarget.h"

#include <QPointer>
#include <QUuid>
#include <QWidget>

#include <qcoro/qcorotask.h>

#include <optional>

class ConfigStore;
class CopyTargetDialog;
class CopyRunner;
class Dialogs;
class QLabel;
class QPushButton;
class QVBoxLayout;

// One row per second copy: its name and place, for each server it takes
// the newest day copied there (and how far behind the destination that is,
// or why the last copy failed), with "Copy now", "Edit…" and "Remove". A
// folder on another drive or a host over ssh is added here.
class CopyTargetsSection : public QWidget
{
    Q_OBJECT

public:
    CopyTargetsSection(ConfigStore *store, Dialogs *dialogs, QWidget *parent = nullptr);

    void refresh();
    bool isCopying() const { return m_copying.has_value(); }

Q_SIGNALS:
    void copyFinished();

private:
    void addFolder();
    // The dialog for a target, new or known; Save puts it in the settings.
    void edit(const CopyTarget &target);
    void remove(const QUuid &id);
    void copyNow(const QUuid &id);
    QCoro::Task<> copyAll(CopyTarget target);
    QString stateText(const CopyTarget &target) const;
    QWidget *row(const CopyTarget &target);

    ConfigStore *m_store;
    Dialogs *m_dialogs;
    QVBoxLayout *m_rows;
    QLabel *m_empty;
    QLabel *m_status;
    QPushButton *m_add;
    QPushButton *m_addHost;
    QPointer<CopyTargetDialog> m_editor;
    CopyRunner *m_runner;
    std::optional<QUuid> m_copying;
};
