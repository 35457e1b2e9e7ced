// The form that edits one server.
#pragma once

#include "core/model/Server.h"
#include "core/ssh/HostKeyChecker.h"
#include "core/ssh/SSHTester.h"

#include <QHash>
#include <QUuid>
#include <QWidget>

#include <optional>

class BackupsSection;
class ConfigStore;
class Dialogs;
class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;
class RsyncRunner;
class Scheduler;
class ServerActivity;

// The editor of one server. Every edit is written through the store at once;
// the test, the host key check and the schedule act on the stored value.
class ServerDetailView : public QWidget
{
    Q_OBJECT

public:
    ServerDetailView(const QUuid &serverID, ConfigStore *store, RsyncRunner *runner, const Scheduler *scheduler,
                     Dialogs *dialogs, ServerActivity *activity = nullptr, QWidget *parent = nullptr);

    Server server() const;
    // Nothing running, and nothing a run of this server would refuse.
    bool canRun() const;
    // The problems shown under the fields (what a run would refuse).
    QStringList problemTexts() const;

    void testConnection();
    void checkHostKey();
    void trustHost();
    void syncSchedule();
    void pickKey();
    void addPath();
    // Shows the result of a host key check.
    void setHostStatus(const HostKeyChecker::Status &status);

    std::optional<SSHTester::Report> testReport() const { return m_testReport; }
    std::optional<HostKeyChecker::Status> hostStatus() const { return m_hostStatus; }
    QString hostActionMessage() const { return m_hostActionMessage; }
    QString scheduleError() const { return m_scheduleError; }
    bool isTesting() const { return m_testing; }
    bool isCheckingHost() const { return m_checkingHost; }

Q_SIGNALS:
    void runRequested(const QUuid &serverID);
    void openFolderRequested(const QUuid &serverID);
    void viewLogRequested(const QUuid &serverID);
    void deleteRequested(const QUuid &serverID);
    // A backup folder to show in the file manager.
    void openPathRequested(const QString &folder);
    // A test, check or trust finished (for tests and screenshots).
    void busyChanged();

private:
    void edit(const std::function<void(Server &)> &change);
    void runHostCheck();
    void editPath(const QUuid &pathID, const std::function<void(BackupPath &)> &change);
    void refresh();
    void rebuildPaths();
    void rebuildHostKeyDetail();
    QWidget *pathRow(const BackupPath &path);
    QWidget *fingerprintBox(const QString &title, const HostKeyChecker::Fingerprint &fp, const QColor &tint);
    QWidget *field(const QString &label, QWidget *content);
    QGroupBox *section(const QString &title);

    QUuid m_id;
    ConfigStore *m_store;
    RsyncRunner *m_runner;
    ServerActivity *m_activity;
    const Scheduler *m_scheduler;
    Dialogs *m_dialogs;

    bool m_testing = false;
    std::optional<SSHTester::Report> m_testReport;
    QString m_scheduleError;
    std::optional<HostKeyChecker::Status> m_hostStatus;
    bool m_checkingHost = false;
    QString m_hostActionMessage;
    QList<QUuid> m_shownPathIDs;

    QVBoxLayout *m_form;
    QLineEdit *m_name;
    QLabel *m_nameProblem;
    QHash<QUuid, QLabel *> m_pathProblems;
    QLineEdit *m_host;
    QLineEdit *m_port;
    QLineEdit *m_user;
    QCheckBox *m_agent;
    QWidget *m_keyRow;
    QLineEdit *m_key;
    QPushButton *m_test;
    QLabel *m_testResult;
    QLabel *m_testMessage;
    QPushButton *m_checkHost;
    QLabel *m_hostBadge;
    QWidget *m_hostDetail;
    QLabel *m_hostNote;
    QLabel *m_hostAction;
    QLabel *m_pathCounter;
    QVBoxLayout *m_pathRows;
    QCheckBox *m_schedule;
    QLineEdit *m_time;
    QLabel *m_scheduleErrorLabel;
    QLineEdit *m_retention;
    QGroupBox *m_lastRun;
    QLabel *m_lastRunWhen;
    QLabel *m_lastRunStatus;
    QPushButton *m_viewLog;
    QAction *m_lastLogAction;
    QAction *m_runAction;
    BackupsSection *m_backups;
};
