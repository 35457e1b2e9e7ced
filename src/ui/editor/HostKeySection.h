// SPDX-License-Identifier: GPL-3.0-or-later
// The editor's host key section: check the server's key, compare, trust.
#pragma once

#include "core/ssh/HostKeyChecker.h"
#include "ui/editor/EditorSection.h"

#include <optional>

class HostKeyCheck;
class QColor;
class QPushButton;
class QVBoxLayout;

// Shows a HostKeyCheck: the check button, the state's badge, the
// fingerprints and, for an unknown host, the trust button.
class HostKeySection : public EditorSection
{
    Q_OBJECT

public:
    HostKeySection(const QUuid &serverID, ConfigStore *store, QWidget *parent);

    void refresh(const Server &server) override;
    HostKeyCheck *check() const { return m_check; }

Q_SIGNALS:
    // "Replace the stored key…" after a mismatch: the window asks first.
    void replaceRequested();

private:
    void setBadge(const QString &text, const QColor &color);
    void showUnknown(const HostKeyChecker::Status::Classified &classified);
    void showMismatch(const HostKeyChecker::Status::Classified &classified);
    void showStatus();
    QWidget *fingerprintBox(const QString &title, const QString &keyType, const QString &sha256, const QColor &tint);

    HostKeyCheck *m_check;
    QPushButton *m_checkButton;
    QLabel *m_badge;
    QWidget *m_detail;
    QVBoxLayout *m_detailLayout;
    QLabel *m_note;
    QLabel *m_message;
    std::optional<HostKeyChecker::Status> m_shown;
};
