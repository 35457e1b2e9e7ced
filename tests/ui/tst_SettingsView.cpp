// SPDX-License-Identifier: GPL-3.0-or-later
// The settings window, offscreen.
#include "core/presentation/HostKeyCheck.h"
#include "core/schedule/DriveUnit.h"
#include "core/schedule/Scheduler.h"
#include "core/storage/ConfigStore.h"
#include "fixtures/EngineHarness.h"
#include "fixtures/Files.h"
#include "ui/settings/CopyTargetDialog.h"
#include "ui/settings/CopyTargetsSection.h"
#include "ui/settings/EncryptDialog.h"
#include "ui/settings/SettingsView.h"
#include "ui/widgets/Desktop.h"
#include "ui/widgets/Dialogs.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QSpinBox>
#include <QTest>

using namespace TestHelpers;

class TestSettingsView : public QObject
{
    Q_OBJECT

    std::unique_ptr<EngineHarness> m_h;
    std::unique_ptr<Scheduler> m_scheduler;
    Dialogs m_dialogs;
    Desktop m_desktop;
    std::unique_ptr<SettingsView> m_view;

    template<typename T>
    T *child(const char *name)
    {
        return m_view->findChild<T *>(QLatin1String(name));
    }

private Q_SLOTS:
    void init()
    {
        m_h = std::make_unique<EngineHarness>();
        m_h->store.setSettings(AppSettings());
        m_scheduler = m_h->scheduler();
        m_desktop.setRecorder([](const QString &, const QString &) {});
        m_view = std::make_unique<SettingsView>(&m_h->store, m_scheduler.get(), &m_dialogs, &m_desktop);
        m_view->show();
    }

    void cleanup()
    {
        m_view.reset();
        m_h.reset();
    }

    // "Encrypt backups in this folder…": the key file, the real gocryptfs
    // set-up, the recovery key shown once and typed back; then the lock mark.
    void encryptTheDestination()
    {
        if (!QFileInfo::exists(QStringLiteral("/usr/bin/gocryptfs")))
            QSKIP("needs gocryptfs");
        AppSettings settings;
        settings.destinationPath = m_h->destination() + QStringLiteral("/encrypted");
        m_h->store.setSettings(settings);
        const QString keyFile = m_h->home.path() + QStringLiteral("/key");
        writeFile(keyFile, "a passphrase\n");
        QFile::setPermissions(keyFile, QFile::ReadOwner | QFile::WriteOwner);
        QVERIFY(child<QWidget>("destinationEncrypted")->isHidden());
        QTest::mouseClick(child<QPushButton>("encryptDestination"), Qt::LeftButton);
        auto *dialog = m_view->findChild<EncryptDialog *>(QStringLiteral("encryptDialog"));
        QVERIFY(dialog);
        dialog->findChild<QLineEdit *>(QStringLiteral("passphraseFileField"))->setText(keyFile);
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("encryptButton")), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!dialog->recoveryKey().isEmpty(), 30000);
        QVERIFY(m_h->store.settings().destinationEncrypted);
        QCOMPARE(m_h->store.settings().passphraseFile, keyFile);
        QVERIFY(QFileInfo::exists(settings.destinationPath + QStringLiteral("/gocryptfs.conf")));
        const auto *key = dialog->findChild<QLabel *>(QStringLiteral("recoveryKey"));
        QCOMPARE(key->text().remove(u'\n'), dialog->recoveryKey());
        auto *done = dialog->findChild<QPushButton *>(QStringLiteral("recoveryKeyDone"));
        auto *typed = dialog->findChild<QLineEdit *>(QStringLiteral("recoveryKeyTyped"));
        typed->setText(QStringLiteral("00000000"));
        QVERIFY(!done->isEnabled());
        typed->setText(dialog->recoveryKey().left(8));
        QVERIFY(done->isEnabled());
        QTest::mouseClick(done, Qt::LeftButton);
        QTRY_VERIFY(!m_view->findChild<EncryptDialog *>(QStringLiteral("encryptDialog")));
        QVERIFY(!child<QWidget>("destinationEncrypted")->isHidden());
        QVERIFY(child<QPushButton>("encryptDestination")->isHidden());

        // A second time (another window's click) is refused and changes nothing.
        EncryptDialog again(&m_h->store, &m_dialogs);
        again.findChild<QLineEdit *>(QStringLiteral("passphraseFileField"))->setText(keyFile);
        const QByteArray conf = readFile(settings.destinationPath + QStringLiteral("/gocryptfs.conf"));
        QTest::mouseClick(again.findChild<QPushButton *>(QStringLiteral("encryptButton")), Qt::LeftButton);
        auto *problem = again.findChild<QLabel *>(QStringLiteral("encryptProblem"));
        QTRY_VERIFY(!problem->isHidden());
        QVERIFY(problem->text().contains(QStringLiteral("encrypted already")));
        QCOMPARE(readFile(settings.destinationPath + QStringLiteral("/gocryptfs.conf")), conf);
    }

    // A folder added as a second copy, its state, "Copy now" with the real
    // rsync (the day goes there and the row says so), and its removal.
    void secondCopies()
    {
        Server server = runnableServer(QStringLiteral("web"));
        AppSettings settings;
        settings.destinationPath = m_h->destination();
        settings.servers = {server};
        m_h->store.setSettings(settings);
        writeFile(m_h->destination() + QStringLiteral("/web/2026-12-01/Site/a.txt"), "a");
        const QString drive = m_h->home.path() + QStringLiteral("/offsite drive");
        QDir().mkpath(drive);
        m_dialogs.setNextFileName(drive);
        QTest::mouseClick(child<QPushButton>("addCopyFolder"), Qt::LeftButton);
        QCOMPARE(m_h->store.settings().copyTargets.size(), 1);
        QCOMPARE(m_h->store.settings().copyTargets.first().name, QStringLiteral("offsite drive"));
        QTRY_COMPARE(m_view->findChildren<QWidget *>(QStringLiteral("copyTarget")).size(), 1);
        QCOMPARE(child<QLabel>("copyTargetState")->text(), QStringLiteral("web: not copied yet (1 day behind)"));

        QTest::mouseClick(child<QPushButton>("copyNow"), Qt::LeftButton);
        QVERIFY(m_view->copies()->isCopying());
        QTRY_VERIFY_WITH_TIMEOUT(!m_view->copies()->isCopying(), 60000);
        QCOMPARE(readFile(drive + QStringLiteral("/web/2026-12-01/Site/a.txt")), QByteArray("a"));
        QCOMPARE(child<QLabel>("copyStatus")->text(), QStringLiteral("Copied to offsite drive: it holds every day."));
        QTRY_COMPARE(child<QLabel>("copyTargetState")->text(), QStringLiteral("web: up to 2026-12-01"));

        m_dialogs.setNextAnswer(true);
        QTest::mouseClick(child<QPushButton>("removeCopy"), Qt::LeftButton);
        QVERIFY(m_h->store.settings().copyTargets.isEmpty());
        QTRY_VERIFY(m_view->findChildren<QWidget *>(QStringLiteral("copyTarget")).isEmpty());
        QVERIFY(QFileInfo::exists(drive + QStringLiteral("/web/2026-12-01/Site/a.txt")));
    }

    // A host is added and changed in its dialog; Save stays off while a
    // field would not work.
    void secondCopyOnAHost()
    {
        const Server web = runnableServer(QStringLiteral("web"));
        const Server db = runnableServer(QStringLiteral("db"));
        AppSettings settings;
        settings.destinationPath = m_h->destination();
        settings.servers = {web, db};
        CopyTarget usb;
        usb.name = QStringLiteral("usb");
        usb.path = m_h->home.path() + QStringLiteral("/usb");
        settings.copyTargets = {usb};
        m_h->store.setSettings(settings);
        m_view->copies()->refresh();

        QTest::mouseClick(child<QPushButton>("addCopyHost"), Qt::LeftButton);
        auto *dialog = m_view->findChild<CopyTargetDialog *>(QStringLiteral("copyTargetDialog"));
        QVERIFY(dialog);
        const auto field = [dialog](const char *name) { return dialog->findChild<QLineEdit *>(QLatin1String(name)); };
        auto *save = dialog->findChild<QPushButton *>(QStringLiteral("targetSave"));
        auto *problem = dialog->findChild<QLabel *>(QStringLiteral("targetProblem"));
        QVERIFY(!save->isEnabled());
        QCOMPARE(problem->text(), QStringLiteral("Give the second copy a name."));
        field("targetName")->setText(QStringLiteral("USB"));
        QCOMPARE(problem->text(), QStringLiteral("Another second copy is called “usb”."));
        field("targetName")->setText(QStringLiteral("vault"));
        field("targetHost")->setText(QStringLiteral("copier@backup.example.org:2222"));
        Q_EMIT field("targetHost")->editingFinished();
        QCOMPARE(field("targetHost")->text(), QStringLiteral("backup.example.org"));
        QCOMPARE(field("targetUser")->text(), QStringLiteral("copier"));
        QCOMPARE(dialog->findChild<QSpinBox *>(QStringLiteral("targetPort"))->value(), 2222);
        QCOMPARE(problem->text(), QStringLiteral("Name the folder on the host."));
        field("targetPath")->setText(QStringLiteral("/srv/copies"));
        field("targetKey")->setText(QStringLiteral("/nowhere/key"));
        QCOMPARE(problem->text(), QStringLiteral("There is no key file /nowhere/key."));
        field("targetKey")->clear();
        dialog->findChild<QCheckBox *>(QStringLiteral("targetAllServers"))->setChecked(false);
        QCOMPARE(problem->text(), QStringLiteral("Choose at least one server."));
        dialog->findChild<QListWidget *>(QStringLiteral("targetServers"))->item(1)->setCheckState(Qt::Checked);
        dialog->findChild<QCheckBox *>(QStringLiteral("targetOwnCounts"))->setChecked(true);
        QCOMPARE(problem->text(), QStringLiteral("Keep at least one day."));
        dialog->findChild<QSpinBox *>(QStringLiteral("targetKeepMonthly"))->setValue(6);
        QVERIFY(save->isEnabled());
        QTest::mouseClick(save, Qt::LeftButton);

        QCOMPARE(m_h->store.settings().copyTargets.size(), 2);
        const CopyTarget vault = m_h->store.settings().copyTargets.at(1);
        QCOMPARE(vault.kind, CopyTarget::Kind::ssh);
        QCOMPARE(vault.host, QStringLiteral("backup.example.org"));
        QCOMPARE(vault.port, 2222);
        QCOMPARE(vault.username, QStringLiteral("copier"));
        QCOMPARE(vault.servers, QList<QUuid>{db.id});
        QCOMPARE(vault.keepMonthly, std::optional<qint64>(6));
        QCOMPARE(vault.keepDaily, std::optional<qint64>(0));
        QTRY_COMPARE(m_view->findChildren<QWidget *>(QStringLiteral("copyTarget")).size(), 2);

        // A host whose key changed says so, with the way to trust it again.
        QTest::mouseClick(m_view->findChildren<QPushButton *>(QStringLiteral("editCopy")).at(1), Qt::LeftButton);
        dialog = m_view->findChild<CopyTargetDialog *>(QStringLiteral("copyTargetDialog"));
        QVERIFY(dialog);
        HostKeyChecker::Status changed;
        changed.live = HostKeyChecker::Fingerprint{QStringLiteral("ED25519"), QStringLiteral("SHA256:new")};
        changed.known = HostKeyChecker::Fingerprint{QStringLiteral("ED25519"), QStringLiteral("SHA256:old")};
        dialog->hostKeyCheck()->setStatus(changed);
        QCOMPARE(dialog->findChild<QLabel *>(QStringLiteral("targetKeyState"))->text(),
                 QStringLiteral("⚠ Fingerprint mismatch! The host presents ED25519 SHA256:new; you trusted ED25519 "
                                "SHA256:old.\nNothing is copied there until the key is trusted again."));
        auto *trust = dialog->findChild<QPushButton *>(QStringLiteral("targetTrustKey"));
        QVERIFY(!trust->isHidden());
        QCOMPARE(trust->text(), QStringLiteral("Replace the stored key…"));
        // Another host: the result was not about it.
        dialog->findChild<QLineEdit *>(QStringLiteral("targetHost"))->setText(QStringLiteral("elsewhere.example.org"));
        QVERIFY(trust->isHidden());
        dialog->reject();
        QTRY_VERIFY(!m_view->findChild<CopyTargetDialog *>(QStringLiteral("copyTargetDialog")));

        // A folder inside the destination would copy the destination into itself.
        QTest::mouseClick(m_view->findChildren<QPushButton *>(QStringLiteral("editCopy")).first(), Qt::LeftButton);
        dialog = m_view->findChild<CopyTargetDialog *>(QStringLiteral("copyTargetDialog"));
        QVERIFY(dialog);
        dialog->findChild<QLineEdit *>(QStringLiteral("targetPath"))
            ->setText(m_h->destination() + QStringLiteral("/copy"));
        QCOMPARE(dialog->findChild<QLabel *>(QStringLiteral("targetProblem"))->text(),
                 QStringLiteral("The folder must be outside the destination, on another drive."));
        dialog->reject();
        QCOMPARE(m_h->store.settings().copyTargets.first(), usb);
    }

    // Opens within the screen and can be made smaller or larger: the content scrolls.
    void sizeAndPath()
    {
        const QRect available = m_view->screen()->availableGeometry();
        QVERIFY(m_view->width() <= std::min(620, available.width()));
        QVERIFY(m_view->height() <= std::min(440, available.height()));
        QVERIFY(m_view->minimumWidth() <= 360 && m_view->minimumHeight() <= 240);
        m_view->resize(400, 260);
        QTRY_COMPARE(m_view->size(), QSize(400, 260));
        m_view->resize(700, 500);
        QTRY_COMPARE(m_view->size(), QSize(700, 500));
        QCOMPARE(child<QLabel>("configPath")->text(), m_h->store.url());
    }

    void steppers()
    {
        auto *retries = child<QSpinBox>("retryStepper");
        auto *space = child<QSpinBox>("freeSpaceStepper");
        QCOMPARE(retries->minimum(), 0);
        QCOMPARE(retries->maximum(), 10);
        QCOMPARE(space->maximum(), 1024);
        QCOMPARE(space->text(), QStringLiteral("disabled"));
        retries->setValue(11);
        QCOMPARE(m_h->store.settings().retryAttempts, 10);
        space->stepUp();
        QCOMPARE(space->text(), QStringLiteral("1 GB"));
        QCOMPARE(m_h->store.settings().minFreeSpaceGB, 1);
        space->stepDown();
        space->stepDown();
        QCOMPARE(m_h->store.settings().minFreeSpaceGB, 0);
        auto *timeout = child<QSpinBox>("ioTimeoutStepper");
        QCOMPARE(timeout->text(), QStringLiteral("300 s"));
        timeout->setValue(0);
        QCOMPARE(timeout->text(), QStringLiteral("never"));
        QCOMPARE(m_h->store.settings().ioTimeoutSeconds, 0);
        auto *wait = child<QSpinBox>("networkWaitStepper");
        QCOMPARE(wait->text(), QStringLiteral("300 s"));
        wait->setValue(0);
        QCOMPARE(wait->text(), QStringLiteral("don't wait"));
        QCOMPARE(m_h->store.settings().networkWaitSeconds, 0);
        auto *spread = child<QSpinBox>("scheduleSpreadStepper");
        QCOMPARE(spread->text(), QStringLiteral("on time"));
        spread->setValue(30);
        QCOMPARE(spread->text(), QStringLiteral("30 min"));
        QCOMPARE(m_h->store.settings().scheduleSpreadMinutes, 30);
        auto *metered = child<QCheckBox>("skipMeteredSwitch");
        QCOMPARE(metered->text(),
                 QStringLiteral("Don't run scheduled backups on metered connections (phone hotspots)"));
        QVERIFY(metered->isChecked());
        metered->click();
        QVERIFY(!m_h->store.settings().skipMeteredConnections);
        m_h->store.update([](AppSettings &s) {
            s.skipMeteredConnections = true;
            s.networkWaitSeconds = 120;
        });
        QVERIFY(metered->isChecked());
        QCOMPARE(wait->value(), 120);
    }

    void aBurstOfTogglesIsOneWrite()
    {
        auto *compress = child<QCheckBox>("compressSwitch");
        QVERIFY(compress->isChecked());
        compress->click();
        compress->click();
        compress->click();
        QVERIFY(!QFile::exists(m_h->store.url()));
        QTRY_VERIFY_WITH_TIMEOUT(!m_h->store.hasPendingSave(), 2000);
        QVERIFY(QFile::exists(m_h->store.url()));
        QCOMPARE(AppSettings::decode(readFile(m_h->store.url()))->compress, false);
    }

    void hardLinksNeedDateFolders()
    {
        auto *dates = child<QCheckBox>("dateSubfolderSwitch");
        auto *links = child<QCheckBox>("linkBackupsSwitch");
        QVERIFY(links->isChecked() && links->isEnabled());
        dates->click();
        QVERIFY(!links->isEnabled());
        dates->click();
        links->click();
        QVERIFY(!m_h->store.settings().linkToPreviousBackup);
    }

    void destinationField()
    {
        auto *folder = child<QLineEdit>("destinationField");
        QCOMPARE(folder->text(), QStringLiteral("~/Backups"));
        m_dialogs.setNextFileName(m_h->home.path() + QStringLiteral("/chosen"));
        m_view->pick();
        QCOMPARE(m_h->store.settings().destinationPath, m_h->home.path() + QStringLiteral("/chosen"));
        folder->setFocus();
        folder->selectAll();
        QTest::keyClick(folder, Qt::Key_Delete);
        QCOMPARE(m_h->store.settings().destinationPath, QString());
        QCOMPARE(folder->placeholderText(), QStringLiteral("~/Backups"));
    }

    // Switched on, the drive's marker is put at a destination that is there;
    // one that is not (an unplugged drive on the system's disk) is said.
    void driveSwitchMarksTheDestination()
    {
        auto *drive = child<QCheckBox>("requireDriveSwitch");
        QVERIFY(!drive->isChecked()); // ~/Backups is no drive
        const QString destination = m_h->home.path() + QStringLiteral("/drive");
        QDir().mkpath(destination);
        m_h->store.update([&](AppSettings &s) { s.destinationPath = destination; });
        drive->click();
        QCOMPARE(m_h->store.settings().requireDestinationMarker, std::optional<bool>(true));
        QVERIFY(QFile::exists(destination + QStringLiteral("/.tidewell-destination")));
        QVERIFY(!child<QLabel>("driveProblem")->isVisible());

        m_h->store.update(
            [](AppSettings &s) { s.destinationPath = QStringLiteral("/media/tidewell-no-such-drive/Backups"); });
        drive->click();
        drive->click();
        QVERIFY(child<QLabel>("driveProblem")->isVisible());
        QCOMPARE(child<QLabel>("driveProblem")->text(),
                 QStringLiteral("The backup drive is not connected (/media/tidewell-no-such-drive/Backups)."));
        QVERIFY(!QFile::exists(QStringLiteral("/media/tidewell-no-such-drive")));
    }

    // With the drive's marker, "Also back up when this drive is connected"
    // puts a unit under the drive's mount, and takes it away again; a
    // destination on the system's disk has no mount of its own to wait for.
    void backUpWhenTheDriveIsConnected()
    {
        auto *unit = child<QCheckBox>("driveUnitSwitch");
        QVERIFY(!unit->isEnabled()); // without the marker
        const QString unitFile = m_h->home.home() + QStringLiteral("/.config/systemd/user/org.tidewell.drive.service");
        const QString onDisk = m_h->home.path() + QStringLiteral("/disk");
        QDir().mkpath(onDisk);
        m_h->store.update([&](AppSettings &s) { s.destinationPath = onDisk; });
        child<QCheckBox>("requireDriveSwitch")->click();
        QTRY_VERIFY(unit->isEnabled());
        if (!DriveUnit::mountPointOf(onDisk)) { // where the temporary folder is no mount of its own
            unit->click();
            QVERIFY(!unit->isChecked());
            QVERIFY(child<QLabel>("driveProblem")->text().contains(QStringLiteral("is not on a drive of its own")));
            QVERIFY(!QFile::exists(unitFile));
        }

        const QString drive = m_h->home.path() + QStringLiteral("/Sicherung 2");
        QDir().mkpath(drive);
        if (QProcess::execute(QStringLiteral("/usr/bin/mount"),
                              {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                               QStringLiteral("size=4m"), QStringLiteral("tmpfs"), drive})
            != 0)
            QSKIP("no tmpfs can be mounted here (not root)");
        const auto unmount = qScopeGuard([&drive] { QProcess::execute(QStringLiteral("/usr/bin/umount"), {drive}); });
        m_h->store.update([&](AppSettings &s) { s.destinationPath = drive + QStringLiteral("/Backups"); });
        unit->click();
        QTRY_VERIFY(QFile::exists(unitFile));
        QTRY_VERIFY(unit->isEnabled());
        QVERIFY(unit->isChecked());
        QVERIFY(
            readFile(unitFile).contains(QByteArray("\nWantedBy=" + DriveUnit::mountUnitName(drive).toUtf8() + "\n")));
        QVERIFY(!child<QLabel>("driveProblem")->isVisible());

        // The marker off: the unit goes with it.
        child<QCheckBox>("requireDriveSwitch")->click();
        QTRY_VERIFY(!QFile::exists(unitFile));
        QTRY_VERIFY(!unit->isChecked());
    }

    // Report fields are stored as typed; what keeps a report from going out
    // is said under them.
    void reportFields()
    {
        auto *health = child<QLineEdit>("healthCheckField");
        health->setFocus();
        QTest::keyClicks(health, QStringLiteral("http://hc.example.org/token"));
        QCOMPARE(m_h->store.settings().healthCheckURL, QStringLiteral("http://hc.example.org/token"));
        auto *problem = child<QLabel>("reportProblem");
        QVERIFY(problem->isVisibleTo(m_view.get()));
        QVERIFY(problem->text().contains(QStringLiteral("use https")));
        health->selectAll();
        QTest::keyClicks(health, QStringLiteral("https://hc.example.org/token"));
        QVERIFY(!problem->isVisibleTo(m_view.get()));
        auto *mail = child<QLineEdit>("reportEmailField");
        mail->setFocus();
        QTest::keyClicks(mail, QStringLiteral("-oQ/tmp/x@example.org"));
        QVERIFY(problem->text().contains(QStringLiteral("is not one plain e-mail address")));
        child<QCheckBox>("reportEmailEveryRun")->click();
        QVERIFY(m_h->store.settings().reportEmailEveryRun);
    }

    void exportAndImport()
    {
        const QString file = m_h->home.path() + QStringLiteral("/out.json");
        m_dialogs.setNextFileName(file);
        m_view->exportConfig();
        QVERIFY(m_view->ioStatus()->has_value());
        QCOMPARE(child<QLabel>("ioStatus")->text(), QStringLiteral("Exported to out.json"));

        writeFile(m_h->home.path() + QStringLiteral("/bad.json"), R"({"servers":[{"port":"22"}]})");
        m_dialogs.setNextFileName(m_h->home.path() + QStringLiteral("/bad.json"));
        m_view->importConfig();
        QVERIFY(!m_view->ioStatus()->has_value());
        QVERIFY(child<QLabel>("ioStatus")->text().startsWith(QStringLiteral("Import failed: ")));

        AppSettings two;
        two.servers = {Server{}, Server{}};
        writeFile(m_h->home.path() + QStringLiteral("/two.json"), two.encode());
        m_dialogs.setNextFileName(m_h->home.path() + QStringLiteral("/two.json"));
        m_dialogs.setNextAnswer(false); // cancel the confirmation
        m_view->importConfig();
        QVERIFY(m_h->store.settings().servers.isEmpty());
        QCOMPARE(m_dialogs.askedTexts().last().section(u'\n', 1),
                 QStringLiteral(
                     "“two.json” contains 2 server(s). This will replace your current configuration. Scheduled backups "
                     "will be re-synced to match."));
        m_dialogs.setNextFileName(m_h->home.path() + QStringLiteral("/two.json"));
        m_dialogs.setNextAnswer(true);
        m_view->importConfig();
        QCOMPARE(m_h->store.settings().servers.size(), 2); // at once; the schedules follow
        QTRY_COMPARE(child<QLabel>("ioStatus")->text(), QStringLiteral("Imported 2 server(s) from two.json"));
    }
};

QTEST_MAIN(TestSettingsView)
#include "tst_SettingsView.moc"
