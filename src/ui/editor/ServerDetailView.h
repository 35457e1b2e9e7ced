// SPDX-License-Identifier: GPL-3.0-or-later
// The form that edits one server.
#pragma once

#include "core/model/Server.h"
#include "core/ssh/HostKeyChecker.h"
#include "core/ssh/SSHTester.h"
#include "ui/editor/ConnectionSection.h"
#include "ui/widgets/AppContext.h"

#include <QUuid>
#include <QWidget>

#include <functional>
#include <optional>

class BackupsSection;
class ConnectionSection;
class HostKeySection;
class LastRunSection;
class PathsSection;
class PreviewDialog;
class QAction;
class RemoteFolderDialog;
class QScrollArea;
class QToolBar;
class AdvancedSection;
class CommandsSection;
class RetentionSection;
class ScheduleSection;

// The editor of one server: a toolbar and one section per concern
// (connection, host key, paths, schedule, retention, last run, backups).
// Every edit is written through the store at once; each section shows the
// stored value and is updated in place when it changes.
class ServerDetailView : public QWidget
{
    Q_OBJECT

public:
    ServerDetailView(const QUuid &serverID, const AppContext &context, QWidget *parent = nullptr);
    QUuid serverID() const { return m_id; }

    Server server() const;
    // Nothing running, and nothing a run of this server would refuse.
    bool canRun() const;
    // What a run would refuse, as shown under the fields.
    QStringList problemTexts() const;
    // Stops listening for good: the window replaces this editor.
    void retire();
    void focusName();

    void testConnection();
    void checkHostKey();
    void trustHost();
    // After a mismatch, asks (showing both keys) and replaces the stored key.
    void replaceHostKey();
    void syncSchedule();
    void pickKey();
    void addPath();
    // A dry run of one path, in a dialog of its own; in a window that asks
    // before trusting host keys, the host key step instead while the key is
    // unknown (no dialog: nullptr).
    PreviewDialog *previewPath(const QUuid &pathID);
    // Shows the host key section, checks the server's key and says it must
    // be trusted before the first connection.
    void askForHostKey();
    // Scrolls to the key and puts the focus there.
    void showKeySetup();
    // The remote folder browser for a path (after the host key step, as a preview).
    RemoteFolderDialog *browsePath(const QUuid &pathID);
    void setHostStatus(const HostKeyChecker::Status &status);

    std::optional<SSHTester::Report> testReport() const;
    std::optional<HostKeyChecker::Status> hostStatus() const;
    QString hostActionMessage() const;
    QString scheduleError() const;
    bool isTesting() const;
    bool isCheckingHost() const;

Q_SIGNALS:
    void runRequested(const QUuid &serverID);
    void openFolderRequested(const QUuid &serverID);
    void viewLogRequested(const QUuid &serverID);
    void deleteRequested(const QUuid &serverID);
    // A backup folder to show in the file manager.
    void openPathRequested(const QString &folder);
    void restoreRequested(const QUuid &serverID, const QString &date);
    // A test, check or trust finished (for tests and screenshots).
    void busyChanged();

protected:
    // In a narrow window the toolbar shows its icons only (their texts as
    // tooltips), so none of its four actions goes into an overflow menu.
    void resizeEvent(QResizeEvent *event) override;

private:
    void connectSections();
    void connectHostKey();
    QToolBar *buildToolbar();
    void refresh();
    PreviewDialog *openPreview(const QUuid &pathID);
    // `action` once the server's host key is known; the host key step otherwise.
    void afterHostKey(std::function<void()> action);

    QUuid m_id;
    AppContext m_context;
    ConnectionSection *m_connection;
    HostKeySection *m_hostKey;
    PathsSection *m_paths;
    ScheduleSection *m_schedule;
    RetentionSection *m_retention;
    AdvancedSection *m_advanced;
    CommandsSection *m_commands;
    LastRunSection *m_lastRun;
    BackupsSection *m_backups;
    QAction *m_lastLogAction;
    QAction *m_runAction;
    QToolBar *m_toolbar = nullptr;
    // How wide the toolbar is with its texts; narrower, it shows icons only.
    int m_toolbarTextWidth = 0;
    QScrollArea *m_scroll;
    // A connection test or key install waits for the host key to be trusted.
    std::optional<ConnectionSection::AfterTrust> m_afterTrust;
};
