#include "core/storage/ConfigStore.h"
#include "ui/Desktop.h"
#include "ui/Dialogs.h"
#include "core/schedule/Scheduler.h"
#include "ui/SettingsView.h"
#include "fixtures/TestHelpers.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTest>

#include <sys/stat.h>

using namespace TestHelpers;

class TestSettingsView : public QObject
{
    Q_OBJECT

    std::unique_ptr<TempHome> m_home;
    std::unique_ptr<ConfigStore> m_store;
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
        m_home = std::make_unique<TempHome>();
        m_store = std::make_unique<ConfigStore>();
        m_scheduler = std::make_unique<Scheduler>(Scheduler::Backend::systemd);
        m_scheduler->setToolPath(QStringLiteral("/bin/true"));
        m_scheduler->setExecutablePath(QStringLiteral("/usr/bin/tidewell"));
        m_desktop.setRecorder([](const QString &, const QString &) {});
        m_view = std::make_unique<SettingsView>(m_store.get(), m_scheduler.get(), &m_dialogs, &m_desktop);
        m_view->show();
    }

    void cleanup()
    {
        m_view.reset();
        m_store.reset();
        m_home.reset();
    }

    void fixedSizeAndPath()
    {
        QCOMPARE(m_view->size(), QSize(620, 400));
        QCOMPARE(child<QLabel>("configPath")->text(), m_store->url());
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
        QCOMPARE(m_store->settings().retryAttempts, 10);
        space->stepUp();
        QCOMPARE(space->text(), QStringLiteral("1 GB"));
        QCOMPARE(m_store->settings().minFreeSpaceGB, 1);
        space->stepDown();
        space->stepDown();
        QCOMPARE(m_store->settings().minFreeSpaceGB, 0);
    }

    void aBurstOfTogglesIsOneWrite()
    {
        auto *compress = child<QCheckBox>("compressSwitch");
        QVERIFY(compress->isChecked());
        compress->click();
        compress->click();
        compress->click();
        QVERIFY(!QFile::exists(m_store->url()));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(m_store->url()), 2000);
        struct stat first;
        ::stat(QFile::encodeName(m_store->url()).constData(), &first);
        QTest::qWait(600);
        struct stat later;
        ::stat(QFile::encodeName(m_store->url()).constData(), &later);
        QCOMPARE(later.st_ino, first.st_ino); // not written again
        QCOMPARE(AppSettings::decode(readFile(m_store->url()))->compress, false);
    }

    void destinationField()
    {
        auto *folder = child<QLineEdit>("destinationField");
        QCOMPARE(folder->text(), QStringLiteral("~/Backups"));
        m_dialogs.setNextFileName(m_home->path() + QStringLiteral("/chosen"));
        m_view->pick();
        QCOMPARE(m_store->settings().destinationPath, m_home->path() + QStringLiteral("/chosen"));
        folder->setFocus();
        folder->selectAll();
        QTest::keyClick(folder, Qt::Key_Delete);
        QCOMPARE(m_store->settings().destinationPath, QString());
        QCOMPARE(folder->placeholderText(), QStringLiteral("~/Backups"));
    }

    void exportAndImport()
    {
        const QString file = m_home->path() + QStringLiteral("/out.json");
        m_dialogs.setNextFileName(file);
        m_view->exportConfig();
        QVERIFY(m_view->ioStatus()->ok);
        QCOMPARE(child<QLabel>("ioStatus")->text(), QStringLiteral("Exported to out.json"));

        writeFile(m_home->path() + QStringLiteral("/bad.json"), R"({"servers":[{"port":"22"}]})");
        m_dialogs.setNextFileName(m_home->path() + QStringLiteral("/bad.json"));
        m_view->importConfig();
        QVERIFY(!m_view->ioStatus()->ok);
        QVERIFY(child<QLabel>("ioStatus")->text().startsWith(QStringLiteral("Import failed: ")));

        AppSettings two;
        two.servers = {Server{}, Server{}};
        writeFile(m_home->path() + QStringLiteral("/two.json"), two.encode());
        m_dialogs.setNextFileName(m_home->path() + QStringLiteral("/two.json"));
        m_dialogs.setNextAnswer(false); // cancel the confirmation
        m_view->importConfig();
        QVERIFY(m_store->settings().servers.isEmpty());
        QCOMPARE(m_dialogs.askedTexts().last().section(u'\n', 1),
                 QStringLiteral("“two.json” contains 2 server(s). This will replace your current configuration. Scheduled backups "
                                "will be re-synced to match."));
        m_dialogs.setNextFileName(m_home->path() + QStringLiteral("/two.json"));
        m_dialogs.setNextAnswer(true);
        m_view->importConfig();
        QCOMPARE(m_store->settings().servers.size(), 2);
        QCOMPARE(child<QLabel>("ioStatus")->text(), QStringLiteral("Imported 2 server(s) from two.json"));
    }
};

QTEST_MAIN(TestSettingsView)
#include "tst_SettingsView.moc"
