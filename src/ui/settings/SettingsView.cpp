// SPDX-License-Identifier: GPL-3.0-or-later
// The settings window and export/import.
#include "ui/settings/SettingsView.h"

#include "core/engine/DestinationMarker.h"
#include "core/schedule/DriveUnit.h"
#include "core/schedule/Scheduler.h"
#include "core/storage/ConfigStore.h"
#include "core/system/AppPaths.h"
#include "core/system/HttpPost.h"
#include "ui/settings/CopyTargetsSection.h"
#include "ui/settings/EncryptDialog.h"
#include "ui/widgets/Desktop.h"
#include "ui/widgets/Dialogs.h"
#include "ui/widgets/FormRow.h"
#include "ui/widgets/Icons.h"
#include "ui/widgets/Style.h"
#include "ui/widgets/WindowFit.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QCheckBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

// A window of its own, not a part of one ("filler"): screen readers say its title.
QAccessibleInterface *windowAccessible(const QString &key, QObject *object)
{
    if (key == QLatin1String("SettingsView") && object && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Window);
    return nullptr;
}

QWidget *labelled(const QString &label, QWidget *control, QWidget *parent)
{
    return FormRow::make(label, control, parent, FormRow::Layout::trailing);
}

QLabel *note(const QString &text, QWidget *owner)
{
    return Style::note(text, owner);
}

QSpinBox *stepper(const QString &name, int minimum, int maximum, int width, QWidget *parent)
{
    auto *box = new QSpinBox(parent);
    box->setObjectName(name);
    box->setRange(minimum, maximum);
    box->setMinimumWidth(width);
    return box;
}

QCheckBox *toggle(const QString &name, const QString &text, QWidget *parent)
{
    auto *box = new QCheckBox(text, parent);
    box->setObjectName(name);
    return box;
}

} // namespace

SettingsView::~SettingsView()
{
    // Closed while this window is whole: the field that loses the focus then
    // keeps what was typed in it. Closed later, by QWidget's destructor, its
    // editingFinished would reach a window that is half gone.
    hide();
}

SettingsView::SettingsView(ConfigStore *store, const Scheduler *scheduler, Dialogs *dialogs, Desktop *desktop,
                           QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_store(store)
    , m_scheduler(scheduler)
    , m_dialogs(dialogs)
    , m_desktop(desktop)
{
    setObjectName(QStringLiteral("settingsView"));
    setWindowTitle(tr("Tidewell Settings"));
    static const bool accessible = [] {
        QAccessible::installFactory(windowAccessible);
        return true;
    }();
    Q_UNUSED(accessible);
    // Resizable, its content scrolling; within the screen (larger fonts, a
    // scale of 2, a 768-pixel screen with a panel).
    WindowFit::fit(this, QSize(620, 440), QSize(360, 240));
    // Closes like a dialog: Esc, or Ctrl+W.
    for (const QKeySequence &keys : {QKeySequence(Qt::Key_Escape), QKeySequence(QStringLiteral("Ctrl+W"))})
        connect(new QShortcut(keys, this), &QShortcut::activated, this, &QWidget::close);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto *scroll = new QScrollArea(this);
    // Not a Tab stop of its own: Tab goes to its controls, and it scrolls to them.
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    m_content = new QWidget(scroll);
    m_form = new QVBoxLayout(m_content);
    m_form->setContentsMargins(18, 14, 18, 14);
    m_form->setSpacing(12);
    scroll->setWidget(m_content);
    outer->addWidget(scroll);

    buildDestination();
    buildRsync();
    buildReliability();
    buildNetwork();
    buildNotifications();
    buildReports();
    buildCopies();
    buildTransfer();
    buildConfigFile();
    m_form->addStretch(1);
    connectSettings();
    connect(m_store, &ConfigStore::settingsChanged, this, &SettingsView::refresh);
    refresh();
}

QVBoxLayout *SettingsView::section(const QString &title)
{
    auto *box = new QGroupBox(title, m_content);
    auto *layout = new QVBoxLayout(box);
    layout->setSpacing(6);
    m_form->addWidget(box);
    return layout;
}

void SettingsView::buildDestination()
{
    QVBoxLayout *destination = section(tr("Local destination"));
    m_folderField = new PathField(QStringLiteral("~/Backups"), m_content);
    m_folder = m_folderField->edit();
    m_folder->setObjectName(QStringLiteral("destinationField"));
    m_folderField->browseButton()->setObjectName(QStringLiteral("browseDestination"));
    destination->addWidget(FormRow::make(tr("Folder"), m_folderField, m_content, FormRow::Layout::trailing, m_folder));
    m_encrypted = new QWidget(m_content);
    m_encrypted->setObjectName(QStringLiteral("destinationEncrypted"));
    auto *lockLine = new QHBoxLayout(m_encrypted);
    lockLine->setContentsMargins(0, 0, 0, 0);
    auto *lock = new QLabel(m_encrypted);
    lock->setPixmap(Icons::get(QStringLiteral("security-high")).pixmap(16, 16));
    lockLine->addWidget(lock, 0, Qt::AlignTop);
    m_encryptedNote = Style::note(QString(), m_encrypted);
    m_encryptedNote->setTextFormat(Qt::PlainText);
    lockLine->addWidget(m_encryptedNote, 1);
    m_encrypted->setVisible(false);
    destination->addWidget(m_encrypted);
    m_encryptButton = new QPushButton(tr("Encrypt backups in this folder…"), m_content);
    m_encryptButton->setObjectName(QStringLiteral("encryptDestination"));
    auto *encryptRow = new QHBoxLayout;
    encryptRow->addWidget(m_encryptButton);
    encryptRow->addStretch(1);
    destination->addLayout(encryptRow);
    m_dateFolders = toggle(QStringLiteral("dateSubfolderSwitch"), tr("Create date subfolder (YYYY-MM-DD)"), m_content);
    destination->addWidget(m_dateFolders);
    m_linkBackups = toggle(QStringLiteral("linkBackupsSwitch"),
                           tr("Store unchanged files once (hard links to the previous day)"), m_content);
    auto *linkRow = new QWidget(m_content);
    auto *linkLayout = new QHBoxLayout(linkRow);
    linkLayout->setContentsMargins(24, 0, 0, 0); // under the date-folder switch it depends on
    linkLayout->addWidget(m_linkBackups);
    destination->addWidget(linkRow);
    m_requireDrive =
        toggle(QStringLiteral("requireDriveSwitch"), tr("Only back up when this drive is connected"), m_content);
    m_requireDrive->setToolTip(tr("Runs write only into a destination that holds the file %1, which is put there "
                                  "now. A drive that is not connected leaves an empty folder on this computer's "
                                  "disk; nothing is copied into it.")
                                   .arg(DestinationMarker::fileName));
    destination->addWidget(m_requireDrive);
    m_driveUnit = toggle(QStringLiteral("driveUnitSwitch"), tr("Also back up when this drive is connected"), m_content);
    m_driveUnit->setToolTip(tr("When the drive is mounted, systemd starts the scheduled backups that have no good "
                               "backup for their period (no udev rule, nothing runs as root)"));
    auto *driveUnitRow = new QWidget(m_content);
    auto *driveUnitLayout = new QHBoxLayout(driveUnitRow);
    driveUnitLayout->setContentsMargins(24, 0, 0, 0); // under the switch it depends on
    driveUnitLayout->addWidget(m_driveUnit);
    destination->addWidget(driveUnitRow);
    m_driveProblem = Style::note(QString(), m_content, Icons::red());
    m_driveProblem->setObjectName(QStringLiteral("driveProblem"));
    m_driveProblem->setTextFormat(Qt::PlainText);
    m_driveProblem->setVisible(false);
    destination->addWidget(m_driveProblem);
}

void SettingsView::buildRsync()
{
    QVBoxLayout *rsync = section(tr("rsync options"));
    m_compress = toggle(QStringLiteral("compressSwitch"), tr("Compress during transfer (-z)"), m_content);
    m_delete =
        toggle(QStringLiteral("deleteSwitch"), tr("Delete local files no longer on server (--delete)"), m_content);
    rsync->addWidget(m_compress);
    rsync->addWidget(m_delete);
    rsync->addWidget(
        note(tr("Tip: --delete makes the local copy a mirror. Leave off if you want to preserve old files locally "
                "(e.g. historical DB snapshots)."),
             m_content));
}

void SettingsView::buildReliability()
{
    QVBoxLayout *reliability = section(tr("Reliability"));
    m_retries = stepper(QStringLiteral("retryStepper"), 0, 10, 70, m_content);
    m_freeSpace = stepper(QStringLiteral("freeSpaceStepper"), 0, 1024, 110, m_content);
    m_freeSpace->setSuffix(QStringLiteral(" GB"));
    m_freeSpace->setSpecialValueText(tr("disabled"));
    m_ioTimeout = stepper(QStringLiteral("ioTimeoutStepper"), 0, 86400, 110, m_content);
    m_ioTimeout->setSingleStep(30);
    m_ioTimeout->setSuffix(QStringLiteral(" s"));
    m_ioTimeout->setSpecialValueText(tr("never"));
    reliability->addWidget(labelled(tr("Retry attempts on transient errors"), m_retries, m_content));
    reliability->addWidget(labelled(tr("Minimum free space (GB)"), m_freeSpace, m_content));
    reliability->addWidget(labelled(tr("Stop a transfer after N seconds without data"), m_ioTimeout, m_content));
    m_concurrentRuns = stepper(QStringLiteral("concurrentRunsStepper"), 1, 32, 70, m_content);
    m_concurrentRuns->setToolTip(tr("Scheduled and window runs together; the others wait for a free slot"));
    reliability->addWidget(labelled(tr("Backups running at once"), m_concurrentRuns, m_content));
    m_massChange = stepper(QStringLiteral("massChangeStepper"), 0, 100, 90, m_content);
    m_massChange->setSuffix(QStringLiteral(" %"));
    m_massChange->setSpecialValueText(tr("never"));
    m_massChange->setToolTip(tr("A run that finds more of the previous day's files changed or gone (ransomware, a "
                                "missing mount) keeps every old backup until you confirm the change"));
    reliability->addWidget(labelled(tr("Keep old backups when more files change than"), m_massChange, m_content));
    m_verifyParts = stepper(QStringLiteral("verifyPartsStepper"), 0, 365, 90, m_content);
    m_verifyParts->setPrefix(QStringLiteral("1/"));
    m_verifyParts->setSpecialValueText(tr("never"));
    m_verifyParts->setToolTip(tr("After each scheduled backup, this share of the server's copies is read and compared "
                                 "with its fingerprints: 1/30 reads every copy once a month"));
    reliability->addWidget(labelled(tr("Check a part of every backup each day"), m_verifyParts, m_content));
    reliability->addWidget(
        note(tr("Backups retry automatically on transient rsync errors (network drops, partial transfers, "
                "interrupted signals) with exponential backoff. Free space is checked at the destination "
                "volume before each run; 0 disables the check."),
             m_content));
}

void SettingsView::buildNetwork()
{
    QVBoxLayout *network = section(tr("Scheduled runs and the network"));
    m_networkWait = stepper(QStringLiteral("networkWaitStepper"), 0, 3600, 110, m_content);
    m_networkWait->setSingleStep(30);
    m_networkWait->setSuffix(QStringLiteral(" s"));
    m_networkWait->setSpecialValueText(tr("don't wait"));
    network->addWidget(labelled(tr("Wait for the network up to"), m_networkWait, m_content));
    m_spread = stepper(QStringLiteral("scheduleSpreadStepper"), 0, 720, 110, m_content);
    m_spread->setSingleStep(5);
    m_spread->setSuffix(QStringLiteral(" min"));
    m_spread->setSpecialValueText(tr("on time"));
    m_spread->setToolTip(tr("Each scheduled run starts at a random moment within this many minutes after its time"));
    network->addWidget(labelled(tr("Spread scheduled runs over"), m_spread, m_content));
    // Made in the order they are shown: Tab follows it.
    m_skipMetered = toggle(QStringLiteral("skipMeteredSwitch"),
                           tr("Don't run scheduled backups on metered connections (phone hotspots)"), m_content);
    network->addWidget(m_skipMetered);
    m_minBattery = stepper(QStringLiteral("minBatteryStepper"), 0, 100, 110, m_content);
    m_minBattery->setSingleStep(5);
    m_minBattery->setSuffix(QStringLiteral(" %"));
    m_minBattery->setSpecialValueText(tr("never"));
    network->addWidget(labelled(tr("On battery, skip scheduled runs below"), m_minBattery, m_content));
    m_powerWait = stepper(QStringLiteral("powerWaitStepper"), 0, 3600, 110, m_content);
    m_powerWait->setSingleStep(30);
    m_powerWait->setSuffix(QStringLiteral(" s"));
    m_powerWait->setSpecialValueText(tr("don't wait"));
    network->addWidget(labelled(tr("Wait for mains power up to"), m_powerWait, m_content));
    network->addWidget(
        note(tr("A scheduled run first asks NetworkManager: while the network is down it waits, then goes on "
                "anyway; on a metered connection it is skipped and tried again the next day. Runs you start "
                "yourself are never held or skipped."),
             m_content));
    network->addWidget(note(tr("On a low battery a scheduled run waits for mains power, then is skipped; the next "
                               "run catches up. While any backup runs, the computer does not go to sleep by "
                               "itself (closing a laptop's lid still suspends it)."),
                            m_content));
}

void SettingsView::buildNotifications()
{
    QVBoxLayout *notifications = section(tr("Notifications"));
    m_notifications =
        toggle(QStringLiteral("notificationsSwitch"), tr("Show a notification when a backup finishes"), m_content);
    notifications->addWidget(m_notifications);
    notifications->addWidget(
        note(tr("Uses your desktop's notification service (org.freedesktop.Notifications). You may need to "
                "allow notifications for Tidewell in your desktop's notification settings."),
             m_content));
}

void SettingsView::buildReports()
{
    QVBoxLayout *reports = section(tr("Reports beyond the desktop"));
    const auto urlField = [this](const QString &name, const QString &placeholder) {
        auto *edit = new QLineEdit(m_content);
        edit->setObjectName(name);
        edit->setPlaceholderText(placeholder);
        // Wide enough for a URL with its token, beside a short label.
        edit->setMinimumWidth(380);
        return edit;
    };
    m_healthCheck = urlField(QStringLiteral("healthCheckField"), QStringLiteral("https://hc-ping.com/<uuid>"));
    m_webhook = urlField(QStringLiteral("webhookField"), QStringLiteral("https://chat.example.org/hooks/…"));
    m_email = urlField(QStringLiteral("reportEmailField"), QStringLiteral("ops@example.org"));
    m_emailEveryRun = toggle(QStringLiteral("reportEmailEveryRun"), tr("Every run (not only failures)"), m_content);
    reports->addWidget(labelled(tr("Health-check URL"), m_healthCheck, m_content));
    reports->addWidget(labelled(tr("Webhook URL"), m_webhook, m_content));
    reports->addWidget(labelled(tr("E-mail to"), m_email, m_content));
    reports->addWidget(m_emailEveryRun);
    m_reportProblem = Style::note(QString(), m_content, Icons::red());
    m_reportProblem->setObjectName(QStringLiteral("reportProblem"));
    m_reportProblem->setWordWrap(true);
    m_reportProblem->hide();
    reports->addWidget(m_reportProblem);
    reports->addWidget(
        note(tr("The health-check URL gets /start when a run starts, then itself after a success or /<exit code> "
                "after a failure, with the end of the log (a server's own URL, in its editor, replaces it). The "
                "webhook gets a JSON document for every run. Mail goes through this computer's sendmail. Only "
                "https, or http to this computer; the addresses are left out of exports unless you ask."),
             m_content));
}

void SettingsView::buildCopies()
{
    QVBoxLayout *copies = section(tr("Second copies"));
    m_copies = new CopyTargetsSection(m_store, m_dialogs, m_content);
    copies->addWidget(m_copies);
}

void SettingsView::buildTransfer()
{
    QVBoxLayout *transfer = section(tr("Import / Export"));
    auto *transferButtons = new QHBoxLayout;
    transferButtons->setSpacing(12);
    m_exportButton =
        new QPushButton(Icons::get(QStringLiteral("document-save")), tr("Export configuration…"), m_content);
    m_exportButton->setObjectName(QStringLiteral("exportConfig"));
    m_importButton =
        new QPushButton(Icons::get(QStringLiteral("document-open")), tr("Import configuration…"), m_content);
    m_importButton->setObjectName(QStringLiteral("importConfig"));
    transferButtons->addWidget(m_exportButton);
    transferButtons->addWidget(m_importButton);
    m_exportReports = toggle(QStringLiteral("exportReports"), tr("Include report addresses"), m_content);
    m_exportReports->setToolTip(tr("Health-check and webhook URLs may hold secret tokens: leave this off to share "
                                   "the export."));
    transferButtons->addStretch(1);
    transfer->addLayout(transferButtons);
    // Below the buttons: beside them the row was wider than the window in
    // languages with longer words.
    transfer->addWidget(m_exportReports);
    auto *statusLine = new QHBoxLayout;
    statusLine->setSpacing(6);
    m_statusIcon = new QLabel(m_content);
    m_status = new QLabel(m_content);
    m_status->setObjectName(QStringLiteral("ioStatus"));
    m_status->setWordWrap(true);
    m_details = new QPushButton(tr("Details…"), m_content);
    m_details->setObjectName(QStringLiteral("ioDetails"));
    statusLine->addWidget(m_statusIcon);
    statusLine->addWidget(m_status, 1);
    statusLine->addWidget(m_details, 0, Qt::AlignTop);
    transfer->addLayout(statusLine);
    m_statusIcon->hide();
    m_status->hide();
    m_details->hide();
    connect(m_details, &QPushButton::clicked, this, &SettingsView::showDetails);
    transfer->addWidget(
        note(tr("Exports every server (including schedules and retention) as JSON. Importing replaces your current "
                "configuration — export a backup first if you want to keep it."),
             m_content));
}

void SettingsView::showDetails()
{
    if (!m_ioStatus || m_ioStatus->has_value())
        return;
    auto *box = new QMessageBox(QMessageBox::Warning, tr("Schedules not installed"), m_ioStatus->error().message,
                                QMessageBox::Close, this);
    box->setObjectName(QStringLiteral("ioDetailsDialog"));
    box->setDetailedText(m_ioStatus->error().details.join(u'\n'));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void SettingsView::buildConfigFile()
{
    QVBoxLayout *configFile = section(tr("Config file"));
    auto *fileLine = new QHBoxLayout;
    auto *path = new QLabel(m_store->url(), m_content);
    path->setObjectName(QStringLiteral("configPath"));
    path->setFont(Style::monospace(0.9));
    path->setForegroundRole(QPalette::PlaceholderText);
    path->setTextInteractionFlags(Qt::TextSelectableByMouse);
    path->setWordWrap(true);
    m_reveal = new QPushButton(Icons::get(QStringLiteral("folder")), tr("Reveal"), m_content);
    m_reveal->setObjectName(QStringLiteral("revealConfig"));
    fileLine->addWidget(path, 1);
    fileLine->addWidget(m_reveal);
    configFile->addLayout(fileLine);
}

void SettingsView::connectSettings()
{
    connect(m_folder, &QLineEdit::textEdited, this,
            [this](const QString &text) { m_store->update([&](AppSettings &s) { s.destinationPath = text; }); });
    connect(m_folderField, &PathField::browseRequested, this, &SettingsView::pick);
    const auto bindSwitch = [this](QCheckBox *box, bool AppSettings::*field) {
        connect(box, &QCheckBox::toggled, this,
                [this, field](bool on) { m_store->update([&](AppSettings &s) { s.*field = on; }); });
    };
    bindSwitch(m_dateFolders, &AppSettings::useDateSubfolder);
    bindSwitch(m_linkBackups, &AppSettings::linkToPreviousBackup);
    bindSwitch(m_compress, &AppSettings::compress);
    bindSwitch(m_delete, &AppSettings::deleteExtraneous);
    bindSwitch(m_notifications, &AppSettings::notificationsEnabled);
    bindSwitch(m_skipMetered, &AppSettings::skipMeteredConnections);
    bindSwitch(m_emailEveryRun, &AppSettings::reportEmailEveryRun);
    const auto bindStepper = [this](QSpinBox *box, qint64 AppSettings::*field) {
        connect(box, &QSpinBox::valueChanged, this,
                [this, field](int value) { m_store->update([&](AppSettings &s) { s.*field = value; }); });
    };
    bindStepper(m_retries, &AppSettings::retryAttempts);
    bindStepper(m_freeSpace, &AppSettings::minFreeSpaceGB);
    bindStepper(m_massChange, &AppSettings::massChangePercent);
    bindStepper(m_verifyParts, &AppSettings::verifyParts);
    bindStepper(m_ioTimeout, &AppSettings::ioTimeoutSeconds);
    bindStepper(m_concurrentRuns, &AppSettings::maxConcurrentRuns);
    bindStepper(m_spread, &AppSettings::scheduleSpreadMinutes);
    bindStepper(m_networkWait, &AppSettings::networkWaitSeconds);
    bindStepper(m_minBattery, &AppSettings::minBatteryPercent);
    bindStepper(m_powerWait, &AppSettings::powerWaitSeconds);
    connect(m_requireDrive, &QCheckBox::toggled, this, [this](bool on) {
        m_store->update([on](AppSettings &s) { s.requireDestinationMarker = on; });
        markDrive();
    });
    connect(m_folder, &QLineEdit::editingFinished, this, &SettingsView::markDrive);
    connect(m_driveUnit, &QCheckBox::toggled, this, &SettingsView::setDriveUnit);
    const auto bindText = [this](QLineEdit *edit, QString AppSettings::*field) {
        connect(edit, &QLineEdit::textEdited, this, [this, field](const QString &text) {
            m_store->update([&](AppSettings &s) { s.*field = text.trimmed(); });
            showReportProblem();
        });
    };
    bindText(m_healthCheck, &AppSettings::healthCheckURL);
    bindText(m_webhook, &AppSettings::webhookURL);
    bindText(m_email, &AppSettings::reportEmail);
    connect(m_exportButton, &QPushButton::clicked, this, &SettingsView::exportConfig);
    connect(m_importButton, &QPushButton::clicked, this, &SettingsView::importConfig);
    connect(m_reveal, &QPushButton::clicked, this, [this] { m_desktop->reveal(m_store->url()); });
    connect(m_encryptButton, &QPushButton::clicked, this, [this] {
        auto *dialog = new EncryptDialog(m_store, m_dialogs, QString(), this);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->open();
    });
}

void SettingsView::refresh()
{
    const AppSettings &s = m_store->settings();
    m_copies->refresh();
    if (m_folder->text() != s.destinationPath && !m_folder->hasFocus())
        m_folder->setText(s.destinationPath);
    m_encrypted->setVisible(s.destinationEncrypted);
    m_encryptButton->setVisible(!s.destinationEncrypted);
    m_encryptedNote->setText(
        tr("Encrypted (gocryptfs): the copies are seen in the clear only while a run, check or restore works "
           "in them. Passphrase: %1")
            .arg(s.passphraseFile.isEmpty() ? tr("not set") : s.passphraseFile));
    const auto show = [](auto *control, auto value, auto setter) {
        const QSignalBlocker block(control);
        (control->*setter)(value);
    };
    show(m_dateFolders, s.useDateSubfolder, &QCheckBox::setChecked);
    show(m_linkBackups, s.linkToPreviousBackup, &QCheckBox::setChecked);
    m_linkBackups->setEnabled(s.useDateSubfolder);
    show(m_compress, s.compress, &QCheckBox::setChecked);
    show(m_delete, s.deleteExtraneous, &QCheckBox::setChecked);
    show(m_notifications, s.notificationsEnabled, &QCheckBox::setChecked);
    // Stored values outside the steppers' ranges are shown clamped and kept.
    show(m_retries, int(std::clamp<qint64>(s.retryAttempts, 0, 10)), &QSpinBox::setValue);
    show(m_freeSpace, int(std::clamp<qint64>(s.minFreeSpaceGB, 0, 1024)), &QSpinBox::setValue);
    show(m_massChange, int(std::clamp<qint64>(s.massChangePercent, 0, 100)), &QSpinBox::setValue);
    show(m_verifyParts, int(std::clamp<qint64>(s.verifyParts, 0, 365)), &QSpinBox::setValue);
    show(m_ioTimeout, int(std::clamp<qint64>(s.ioTimeoutSeconds, 0, 86400)), &QSpinBox::setValue);
    show(m_networkWait, int(std::clamp<qint64>(s.networkWaitSeconds, 0, 3600)), &QSpinBox::setValue);
    show(m_minBattery, int(std::clamp<qint64>(s.minBatteryPercent, 0, 100)), &QSpinBox::setValue);
    show(m_powerWait, int(std::clamp<qint64>(s.powerWaitSeconds, 0, 3600)), &QSpinBox::setValue);
    show(m_concurrentRuns, int(std::clamp<qint64>(s.maxConcurrentRuns, 1, 32)), &QSpinBox::setValue);
    show(m_spread, int(std::clamp<qint64>(s.scheduleSpreadMinutes, 0, 720)), &QSpinBox::setValue);
    show(m_skipMetered, s.skipMeteredConnections, &QCheckBox::setChecked);
    show(m_requireDrive, s.requiresDestinationMarker(), &QCheckBox::setChecked);
    if (!m_driveUnitBusy)
        show(m_driveUnit, m_scheduler->installedDriveMount().has_value(), &QCheckBox::setChecked);
    m_driveUnit->setEnabled(s.requiresDestinationMarker() && !m_driveUnitBusy);
    for (const auto &[edit, value] : {std::pair{m_healthCheck, s.healthCheckURL}, std::pair{m_webhook, s.webhookURL},
                                      std::pair{m_email, s.reportEmail}}) {
        if (edit->text() != value && !edit->hasFocus())
            edit->setText(value);
    }
    show(m_emailEveryRun, s.reportEmailEveryRun, &QCheckBox::setChecked);
    showReportProblem();
}

void SettingsView::showReportProblem()
{
    const AppSettings &s = m_store->settings();
    QStringList problems;
    for (const auto &[label, url] :
         {std::pair{tr("Health-check URL"), s.healthCheckURL}, std::pair{tr("Webhook URL"), s.webhookURL}}) {
        if (!url.isEmpty()) {
            if (const auto allowed = HttpPost::check(QUrl(url)); !allowed)
                problems << tr("%1: %2").arg(label, allowed.error().message);
        }
    }
    if (!s.reportEmail.isEmpty()) {
        if (const auto address = Sendmail::checkAddress(s.reportEmail); !address)
            problems << address.error().message;
        else if (!QFileInfo(m_sendmail).isExecutable())
            problems << tr("No mail is sent: %1 is missing (install a mail transfer agent such as postfix or "
                           "dma).")
                            .arg(m_sendmail);
    }
    m_reportProblem->setText(problems.join(u'\n'));
    m_reportProblem->setVisible(!problems.isEmpty());
}

void SettingsView::pick()
{
    const QString folder =
        m_dialogs->folderName(this, tr("Choose"), AppPaths::expandTilde(m_store->settings().destinationPath));
    if (folder.isEmpty())
        return;
    m_store->update([&](AppSettings &s) { s.destinationPath = folder; });
    m_folder->setText(folder);
    markDrive();
}

void SettingsView::markDrive()
{
    QString problem;
    if (m_store->settings().requiresDestinationMarker()) {
        if (const auto placed = DestinationMarker::place(m_store->settings().destinationPath); !placed)
            problem = placed.error().message;
    }
    m_driveProblem->setText(problem);
    m_driveProblem->setVisible(!problem.isEmpty());
    // The unit follows the destination to another drive, and goes with the marker.
    const std::optional<QString> installed = m_scheduler->installedDriveMount();
    if (!installed || m_driveUnitBusy)
        return;
    const std::optional<QString> mountPoint =
        DriveUnit::mountPointOf(AppPaths::expandTilde(m_store->settings().destinationPath));
    const bool wanted = m_store->settings().requiresDestinationMarker() && mountPoint;
    if (!wanted || DriveUnit::mountUnitName(*mountPoint) != *installed)
        setDriveUnit(wanted);
}

void SettingsView::setDriveUnit(bool on)
{
    const QString destination = m_store->settings().destinationPath;
    const std::optional<QString> mountPoint = DriveUnit::mountPointOf(AppPaths::expandTilde(destination));
    if (on && !mountPoint) {
        const QSignalBlocker block(m_driveUnit);
        m_driveUnit->setChecked(false);
        m_driveProblem->setText(tr("%1 is not on a drive of its own; connect the drive first.").arg(destination));
        m_driveProblem->show();
        return;
    }
    m_driveUnitBusy = true;
    m_driveUnit->setEnabled(false);
    QPointer<SettingsView> self(this);
    const auto done = [self](const tl::expected<void, SchedulerError> &result) {
        if (!self)
            return;
        self->m_driveUnitBusy = false;
        self->m_driveProblem->setText(result ? QString() : result.error().message);
        self->m_driveProblem->setVisible(!result);
        self->refresh();
    };
    if (on)
        QCoro::connect(m_scheduler->installDriveUnit(*mountPoint), this, done);
    else
        QCoro::connect(m_scheduler->uninstallDriveUnit(), this, done);
}

void SettingsView::setStatus(const ConfigTransfer::Outcome &status)
{
    m_ioStatus = status;
    const bool ok = status.has_value();
    const QColor color = ok ? Icons::green() : Icons::red();
    m_statusIcon->setPixmap(
        Icons::get(ok ? QStringLiteral("emblem-ok") : QStringLiteral("dialog-error")).pixmap(16, 16));
    m_status->setText(ok ? *status : status.error().message);
    QPalette palette = m_status->palette();
    palette.setColor(QPalette::WindowText, color);
    m_status->setPalette(palette);
    m_statusIcon->show();
    m_status->show();
    m_details->setVisible(!ok && !status.error().details.isEmpty());
    Q_EMIT transferFinished();
}

void SettingsView::exportConfig()
{
    const QString path = m_dialogs->saveFileName(
        this, tr("Export Tidewell configuration"), tr("Save all servers and settings as JSON."),
        AppPaths::homeFolder() + u'/' + ConfigTransfer::defaultExportName(), tr("JSON (*.json)"));
    if (path.isEmpty())
        return;
    setStatus(ConfigTransfer::exportTo(path, m_store->settings(), m_exportReports->isChecked()));
}

void SettingsView::importConfig()
{
    const QString path =
        m_dialogs->openFileName(this, tr("Import Tidewell configuration"), AppPaths::homeFolder(), tr("JSON (*.json)"));
    if (path.isEmpty())
        return;
    const auto read = ConfigTransfer::readImport(path);
    if (!read) {
        setStatus(tl::unexpected(read.error()));
        return;
    }
    const bool replace = m_dialogs->confirm(this, read->confirmationTitle(), read->confirmationTitle(),
                                            read->confirmationText(), tr("Replace"));
    if (replace)
        applyImport(*read);
}

void SettingsView::applyImport(const ConfigTransfer::PendingImport &pending)
{
    m_statusIcon->hide();
    m_details->hide();
    m_status->setPalette(palette());
    m_status->setText(tr("Importing…"));
    m_status->show();
    // The servers are in at once; their schedules follow in the background.
    QPointer<QLabel> status = m_status;
    const auto progress = [status](int done, int total) {
        if (status)
            status->setText(tr("Installing schedules: %1 of %2…").arg(done).arg(total));
    };
    QCoro::connect(ConfigTransfer::applyImport(m_store, *m_scheduler, pending, progress), this,
                   [this](const ConfigTransfer::Outcome &outcome) { setStatus(outcome); });
}
