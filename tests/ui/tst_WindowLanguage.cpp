// SPDX-License-Identifier: GPL-3.0-or-later
// The window in German and French: translated, and nothing cut off at the
// smallest size the window allows.
#include "core/model/ReferenceDate.h"
#include "core/presentation/MenuBarContent.h"
#include "core/system/Translations.h"
#include "fixtures/WindowHarness.h"
#include "ui/editor/ServerDetailView.h"
#include "ui/main/MainWindow.h"
#include "ui/restore/RestoreView.h"
#include "ui/settings/SettingsView.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QToolBar>

using namespace TestHelpers;

namespace {

const QStringList builtCatalogues{QStringLiteral(TIDEWELL_BUILD_DIR "/translations")};

} // namespace

class TestWindowLanguage : public QObject
{
    Q_OBJECT

    std::unique_ptr<WindowHarness> m_h;
    std::unique_ptr<MainWindow> m_window;

    void open(const QString &locale, bool withServers = true)
    {
        // As a user of that language has it: texts, dates and numbers.
        QLocale::setDefault(QLocale(locale));
        QVERIFY(!Translations::install(QLocale(locale), builtCatalogues).isEmpty());
        m_h = std::make_unique<WindowHarness>("exit 1\n");
        QList<Server> servers;
        for (int i = 0; i < 2; ++i) {
            Server s = runnableServer(QStringLiteral("server-%1").arg(i));
            s.id = QUuid::createUuid();
            s.host = QStringLiteral("host-%1.example").arg(i);
            s.lastExitCode = i == 0 ? 23 : 0;
            s.lastRunAt = s.lastSuccessAt = ReferenceDate::now() - 2 * 86400 - 60;
            // The first one with every editor row a server can show.
            s.scheduleEnabled = i == 0;
            if (i == 0) {
                s.useSSHAgent = false;
                s.privateKeyPath = m_h->home.path() + QStringLiteral("/no-key-yet");
                BackupPath file = s.paths.first();
                file.id = QUuid::createUuid();
                file.name = QStringLiteral("SQLite DB");
                file.isDirectory = false;
                file.preBackupCommand = QStringLiteral("sqlite3 /srv/data/app.sqlite '.backup /srv/data/app.bak'");
                file.excludes = {QStringLiteral("*.log")};
                s.paths << file;
            }
            servers << s;
        }
        if (!withServers)
            servers.clear();
        m_h->store.update([&](AppSettings &s) { s.servers = servers; });
        m_window = std::make_unique<MainWindow>(m_h->context);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }

    QStringList labelTexts(const QWidget *root) const
    {
        QStringList texts;
        for (const QLabel *label : root->findChildren<QLabel *>()) {
            if (label->isVisibleTo(m_window.get()))
                texts << label->text();
        }
        return texts;
    }

    // A button or one-line label narrower than its text needs shows it cut.
    QStringList cutTexts(const QWidget *root) const
    {
        QStringList cut;
        for (const QAbstractButton *button : root->findChildren<QAbstractButton *>()) {
            if (button->isVisible() && !button->text().isEmpty() && button->width() < button->sizeHint().width())
                cut << button->text();
        }
        for (const QLabel *label : root->findChildren<QLabel *>()) {
            if (label->isVisible() && !label->wordWrap() && !label->text().isEmpty() && label->pixmap().isNull()
                && label->width() < label->minimumSizeHint().width() && label->toolTip() != label->text())
                cut << label->text();
        }
        // A page wider than its window hides its right side behind a scroll bar.
        for (const QScrollArea *area : root->findChildren<QScrollArea *>()) {
            if (area->isVisible() && area->horizontalScrollBar()->maximum() > 0)
                cut << QStringLiteral("(scrolls sideways: %1 of %2 pixels shown) %3")
                           .arg(area->viewport()->width())
                           .arg(area->widget()->minimumSizeHint().width())
                           .arg(QLatin1String(area->widget()->metaObject()->className()));
        }
        return cut;
    }

    // Resizes a window (as far as its layout lets it) and lets its layouts
    // follow before anything is measured.
    static void settleAt(QWidget *window, const QSize &size)
    {
        window->resize(size);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QCoreApplication::processEvents();
    }

private Q_SLOTS:
    void initTestCase() { qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/tidewell-test-bus"); }

    void cleanup()
    {
        m_window.reset();
        m_h.reset();
        QApplication::setLayoutDirection(Qt::LeftToRight);
        QLocale::setDefault(QLocale(QLocale::C));
        Translations::install(QLocale(QLocale::C), builtCatalogues);
    }

    void theWindowSpeaksGerman()
    {
        open(QStringLiteral("de_DE"));
        QStringList menus;
        for (const QAction *action : m_window->menuBar()->actions())
            menus << action->text();
        QCOMPARE(menus, (QStringList{QStringLiteral("&Datei"), QStringLiteral("&Server"), QStringLiteral("&Hilfe")}));
        auto *health = m_window->findChild<QComboBox *>(QStringLiteral("healthFilter"));
        QTRY_COMPARE(health->itemText(0), QStringLiteral("Alle (2)"));
        QCOMPARE(health->itemText(1), QStringLiteral("Fehlerhaft (1)"));
        const QStringList texts = labelTexts(m_window.get());
        QVERIFY2(texts.contains(QStringLiteral("In Ordnung · vor 2 Tagen")), qPrintable(texts.join(u'|')));
        QVERIFY2(texts.contains(QStringLiteral("Letzter Lauf fehlgeschlagen (Exit-Code 23)")),
                 qPrintable(texts.join(u'|')));

        // The tray menu, built in core.
        QStringList tray;
        for (const MenuBarContent::Entry &entry : MenuBarContent::build(m_h->store.settings(), {}, {}))
            tray << entry.text;
        QVERIFY2(tray.contains(QStringLiteral("Tidewell beenden")), qPrintable(tray.join(u'|')));
        QVERIFY2(tray.contains(QStringLiteral("Einstellungen …")), qPrintable(tray.join(u'|')));

        // Qt's own buttons come from Qt's German catalogue.
        QDialogButtonBox buttons(QDialogButtonBox::Cancel);
        QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Abbrechen"));
    }

    void nothingIsCutAtTheSmallestSize_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<bool>("rightToLeft");
        QTest::newRow("English") << "C" << false;
        QTest::newRow("German") << "de_DE" << false;
        QTest::newRow("French") << "fr_FR" << false;
        QTest::newRow("German, right to left") << "de_DE" << true;
    }

    void nothingIsCutAtTheSmallestSize()
    {
        QFETCH(QString, locale);
        QFETCH(bool, rightToLeft);
        if (rightToLeft)
            QApplication::setLayoutDirection(Qt::RightToLeft);
        open(locale);
        QCOMPARE(m_window->layoutDirection(), rightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
        settleAt(m_window.get(), m_window->minimumSize());
        QVERIFY2(cutTexts(m_window.get()).isEmpty(), qPrintable(cutTexts(m_window.get()).join(u'|')));

        // The editor of a server, and the settings.
        m_window->select(m_h->store.settings().servers.first().id);
        QTRY_VERIFY(m_window->findChild<ServerDetailView *>());
        // A trusted key shows its whole fingerprint, one long word.
        const HostKeyChecker::Fingerprint key{QStringLiteral("ED25519"),
                                              QStringLiteral("SHA256:4kQ0bD0y2m0c1xS3Hn0tV9bqkq6m4x8fXo0kz7H1yJc")};
        m_window->findChild<ServerDetailView *>()->setHostStatus({key, key, std::nullopt});
        // No key at the path yet: the buttons that make and install one.
        QTRY_VERIFY(m_window->findChild<QPushButton *>(QStringLiteral("installKey"))->isVisible());
        QTest::qWait(100);
        QVERIFY2(cutTexts(m_window.get()).isEmpty(), qPrintable(cutTexts(m_window.get()).join(u'|')));
        // All four actions of the editor's toolbar stay in it, in their order
        // (icons only when the texts do not fit).
        auto *toolbar = m_window->findChild<QToolBar *>(QStringLiteral("editorToolbar"));
        QCOMPARE(toolbar->actions().size(), 4);
        for (QAction *action : toolbar->actions())
            QVERIFY2(toolbar->widgetForAction(action)->isVisible(), qPrintable(action->objectName()));
        // A changed key: both fingerprints and the warning.
        const HostKeyChecker::Fingerprint other{QStringLiteral("RSA"),
                                                QStringLiteral("SHA256:Zr1mB7XH3uF0r0qY8s2pK5d9wT6cLz3eA4vN1oJxQ2k")};
        m_window->findChild<ServerDetailView *>()->setHostStatus({key, other, std::nullopt});
        QTest::qWait(100);
        QVERIFY2(cutTexts(m_window.get()).isEmpty(), qPrintable(cutTexts(m_window.get()).join(u'|')));
        SettingsView settings(&m_h->store, m_h->scheduler.get(), m_h->dialogs.get(), m_h->desktop.get());
        settings.show();
        QVERIFY(QTest::qWaitForWindowExposed(&settings));
        QVERIFY2(cutTexts(&settings).isEmpty(), qPrintable(cutTexts(&settings).join(u'|')));

        // The restore window at the smallest size it takes.
        RestoreView restore(m_h->store.settings().servers.first().id, m_h->context);
        restore.show();
        QVERIFY(QTest::qWaitForWindowExposed(&restore));
        settleAt(&restore, restore.minimumSizeHint().expandedTo(QSize(720, 440)).boundedTo(QSize(720, 440)));
        QVERIFY2(cutTexts(&restore).isEmpty(), qPrintable(cutTexts(&restore).join(u'|')));
    }

    // The welcome page of an empty dashboard fits the smallest window too.
    void theWelcomePageFits_data() { nothingIsCutAtTheSmallestSize_data(); }

    void theWelcomePageFits()
    {
        QFETCH(QString, locale);
        QFETCH(bool, rightToLeft);
        if (rightToLeft)
            QApplication::setLayoutDirection(Qt::RightToLeft);
        open(locale, false);
        QCOMPARE(m_window->minimumSize(), QSize(720, 440));
        settleAt(m_window.get(), m_window->minimumSize());
        QTRY_VERIFY(m_window->findChild<QWidget *>(QStringLiteral("welcomeSteps"))->isVisible());
        QVERIFY2(cutTexts(m_window.get()).isEmpty(), qPrintable(cutTexts(m_window.get()).join(u'|')));
    }
};

QTEST_MAIN(TestWindowLanguage)
#include "tst_WindowLanguage.moc"
