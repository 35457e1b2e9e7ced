// SPDX-License-Identifier: GPL-3.0-or-later
// The settings window.
#pragma once

#include "core/schedule/ConfigImport.h"
#include "core/system/Sendmail.h"

#include <QWidget>

#include <optional>

class ConfigStore;
class CopyTargetsSection;
class Desktop;
class Dialogs;
class QCheckBox;
class QLabel;
class QPushButton;
class QLineEdit;
class PathField;
class QSpinBox;
class QVBoxLayout;
class Scheduler;

// The settings window: global options, export and import, and where the
// configuration file lives. Every control writes through the store.
class SettingsView : public QWidget
{
    Q_OBJECT

public:
    SettingsView(ConfigStore *store, const Scheduler *scheduler, Dialogs *dialogs, Desktop *desktop,
                 QWidget *parent = nullptr);
    ~SettingsView() override;

    void pick();
    void exportConfig();
    void importConfig();
    // Applies at once; the schedules follow in the background, and the status
    // line says how it went when they are done (transferFinished()).
    void applyImport(const ConfigTransfer::PendingImport &pending);

    std::optional<ConfigTransfer::Outcome> ioStatus() const { return m_ioStatus; }
    CopyTargetsSection *copies() const { return m_copies; }

Q_SIGNALS:
    void transferFinished();

private:
    // One function per group of the window.
    QVBoxLayout *section(const QString &title);
    void buildDestination();
    void buildRsync();
    void buildReliability();
    void buildNetwork();
    void buildNotifications();
    void buildReports();
    void buildCopies();
    void buildTransfer();
    void buildConfigFile();
    void connectSettings();
    void showDetails();
    void refresh();
    // What keeps a report from being sent, under the fields.
    void showReportProblem();
    void setStatus(const ConfigTransfer::Outcome &status);
    // With the drive's marker required: puts it at the destination, or says why not.
    void markDrive();
    // Installs or removes the unit that backs up when the drive is mounted.
    void setDriveUnit(bool on);

    ConfigStore *m_store;
    const Scheduler *m_scheduler;
    Dialogs *m_dialogs;
    Desktop *m_desktop;
    std::optional<ConfigTransfer::Outcome> m_ioStatus;

    QWidget *m_content;
    QVBoxLayout *m_form;
    PathField *m_folderField;
    QLineEdit *m_folder;
    QCheckBox *m_dateFolders;
    QCheckBox *m_linkBackups;
    QCheckBox *m_compress;
    QCheckBox *m_delete;
    QSpinBox *m_retries;
    QSpinBox *m_massChange = nullptr;
    QSpinBox *m_verifyParts = nullptr;
    QSpinBox *m_freeSpace;
    QSpinBox *m_ioTimeout;
    QSpinBox *m_networkWait;
    QSpinBox *m_minBattery;
    QSpinBox *m_powerWait;
    QSpinBox *m_concurrentRuns;
    QSpinBox *m_spread;
    QCheckBox *m_skipMetered;
    QCheckBox *m_requireDrive;
    QCheckBox *m_driveUnit;
    bool m_driveUnitBusy = false;
    QLabel *m_driveProblem;
    // The lock mark of an encrypted destination.
    QWidget *m_encrypted;
    QLabel *m_encryptedNote;
    QPushButton *m_encryptButton;
    QCheckBox *m_notifications;
    QLineEdit *m_healthCheck;
    QLineEdit *m_webhook;
    QLineEdit *m_email;
    QCheckBox *m_emailEveryRun;
    QLabel *m_reportProblem;
    CopyTargetsSection *m_copies = nullptr;
    QCheckBox *m_exportReports;
    QPushButton *m_exportButton;
    QPushButton *m_importButton;
    QPushButton *m_reveal;
    QString m_sendmail = Sendmail::executable;
    QLabel *m_statusIcon;
    QPushButton *m_details;
    QLabel *m_status;
};
