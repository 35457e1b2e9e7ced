// SPDX-License-Identifier: GPL-3.0-or-later
// The main window, the run sheet, the dashboard and the log viewer, offscreen.
#include "core/engine/CopyState.h"
#include "core/engine/RsyncRunner.h"
#include "core/engine/RunPool.h"
#include "core/model/ReferenceDate.h"
#include "core/presentation/ServerActivity.h"
#include "core/presentation/ServerListModel.h"
#include "core/schedule/ScheduleStatus.h"
#include "core/schedule/Scheduler.h"
#include "core/storage/ConfigStore.h"
#include "core/storage/LogStore.h"
#include "core/system/AppPaths.h"
#include "core/system/FileLock.h"
#include "fixtures/Await.h"
#include "fixtures/Files.h"
#include "fixtures/WindowHarness.h"
#include "ui/editor/ServerDetailView.h"
#include "ui/main/DashboardView.h"
#include "ui/main/MainWindow.h"
#include "ui/main/ServerCard.h"
#include "ui/run/BackupRunView.h"
#include "ui/run/LogViewerView.h"
#include "ui/widgets/Desktop.h"
#include "ui/widgets/Dialogs.h"
#include "ui/widgets/ElidedLabel.h"
#include "ui/widgets/Icons.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>

using namespace TestHelpers;

class TestMainWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<WindowHarness> m_h;
    std::unique_ptr<MainWindow> m_window;

    static Server server(const QString &name, bool complete = true)
    {
        Server s = runnableServer(name);
        s.host = QStringLiteral("db");
        s.port = 2222;
        s.paths[0].name = QStringLiteral("p");
        s.paths[0].remotePath = complete ? QStringLiteral("/srv") : QString();
        return s;
    }

    QVariant row(int index, int role) const { return m_h->servers->index(index).data(role); }

    template<typename T>
    T *cardChild(const QUuid &id, const char *name) const
    {
        return m_window->dashboard()->card(id)->findChild<T *>(QLatin1String(name));
    }

    // A fake rsync that keeps running until cancelled, printing progress first.
    void useSlowRsync()
    {
        RsyncProbe probe;
        probe.isModern = true;
        probe.executable = writeScript(m_h->home.path() + QStringLiteral("/rsync"),
                                       "printf ' 42%% ok\\n'\necho 'rsync: oops' >&2\nexec sleep 30\n");
        m_h->runs->setRsyncProbe(probe);
    }

    // The only server, started from the window with a run that does not end by itself.
    Server startSlowRun(const QString &name)
    {
        useSlowRsync();
        const Server s = server(name);
        m_h->store.update([&](AppSettings &settings) { settings.servers = {s}; });
        m_window->runBackup(s);
        return s;
    }

private Q_SLOTS:
    void initTestCase()
    {
        // No session bus: schedules read as having no user manager, the same on every machine.
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/tidewell-test-bus");
    }

    void init()
    {
        m_h = std::make_unique<WindowHarness>("exit 1\n");
        m_window = std::make_unique<MainWindow>(m_h->context);
        m_window->show();
    }

    void cleanup()
    {
        m_h->runs->cancelAll();
        m_window.reset();
        m_h.reset();
    }

    // Checks the editors started (ssh-add, ssh-keygen) end before the test
    // does, so no coroutine is left waiting for them at exit.
    void cleanupTestCase()
    {
        const auto children = [] {
            QByteArray all;
            for (const QString &task :
                 QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
                all += readFile(QStringLiteral("/proc/self/task/%1/children").arg(task)).trimmed();
            return all;
        };
        QTRY_COMPARE_WITH_TIMEOUT(children(), QByteArray(), 20000);
    }

    // 200 servers "server-000"… on "host-000.example"…: every tenth failing,
    // ten more overdue.
    static QList<Server> fleetOf200()
    {
        QList<Server> fleet;
        for (int i = 0; i < 200; ++i) {
            Server s = server(QStringLiteral("server-%1").arg(i, 3, 10, QLatin1Char('0')));
            s.id = QUuid::createUuid();
            s.host = QStringLiteral("host-%1.example").arg(i, 3, 10, QLatin1Char('0'));
            s.scheduleEnabled = i % 2 == 0 || i % 20 == 5;
            s.lastExitCode = i % 10 == 0 ? 23 : 0;
            s.lastRunAt = s.lastSuccessAt = ReferenceDate::now() - (i % 20 == 5 ? 3 * 86400 : 3600);
            fleet << s;
        }
        return fleet;
    }

    QStringList shownNames() const
    {
        QStringList names;
        const QAbstractItemModel *model = m_window->serverList()->model();
        for (int i = 0; i < model->rowCount(); ++i)
            names << model->index(i, 0).data(Qt::DisplayRole).toString();
        return names;
    }

    void aFleetIsFoundAndFiltered()
    {
        const QList<Server> fleet = fleetOf200();
        m_h->store.update([&](AppSettings &s) { s.servers = fleet; });
        auto *search = m_window->findChild<QLineEdit *>(QStringLiteral("serverSearch"));
        auto *health = m_window->findChild<QComboBox *>(QStringLiteral("healthFilter"));
        QCOMPARE(shownNames().size(), 200);
        QTRY_COMPARE(health->itemText(1), QStringLiteral("Failing (20)"));
        QCOMPARE(health->itemText(0), QStringLiteral("All (200)"));
        QCOMPARE(health->itemText(2), QStringLiteral("Overdue (10)"));
        QCOMPARE(health->itemText(4), QStringLiteral("Not scheduled (90)"));

        // By name or host, as typed, ignoring case.
        QTest::keyClicks(search, QStringLiteral("SERVER-12"));
        QCOMPARE(shownNames().size(), 10);
        QCOMPARE(shownNames().first(), QStringLiteral("server-120"));
        search->clear();
        QTest::keyClicks(search, QStringLiteral("host-007.ex"));
        QCOMPARE(shownNames(), QStringList{QStringLiteral("server-007")});
        // Enter goes to the first server found.
        QTest::keyClick(search, Qt::Key_Return);
        QCOMPARE(m_window->selection(), std::optional<QUuid>(fleet.at(7).id));
        search->clear();

        // The dashboard's counter applies the list's filter.
        m_window->select(std::nullopt);
        m_window->dashboard()->findChild<QPushButton *>(QStringLiteral("counterButtonFailing"))->click();
        QCOMPARE(health->currentIndex(), 1);
        QCOMPARE(shownNames().size(), 20);
        QVERIFY(shownNames().contains(QStringLiteral("server-190")));
        // The dashboard shows what the list shows: the failing servers' cards.
        QVERIFY(m_window->dashboard()->card(fleet.at(190).id));
        QVERIFY(!m_window->dashboard()->card(fleet.at(1).id));
        QCOMPARE(m_window->dashboard()->counterText(QStringLiteral("Servers")), QStringLiteral("200"));
        // A failing server that succeeds leaves the filter by itself.
        m_h->store.updateServer(fleet.at(10).id, [](Server &s) { s.lastExitCode = 0; });
        QCOMPARE(shownNames().size(), 19);
        QTRY_COMPARE(health->itemText(1), QStringLiteral("Failing (19)"));
        m_window->dashboard()->findChild<QPushButton *>(QStringLiteral("counterButtonServers"))->click();
        QCOMPARE(shownNames().size(), 200);
        QVERIFY(m_window->dashboard()->card(fleet.at(1).id));

        // Needs attention first: the 19 failing, the 10 overdue, then the rest as configured.
        auto *order = m_window->findChild<QComboBox *>(QStringLiteral("serverOrder"));
        order->setCurrentIndex(2);
        Q_EMIT order->activated(2);
        const QStringList names = shownNames();
        QCOMPARE(names.at(0), QStringLiteral("server-000"));
        QCOMPARE(names.at(18), QStringLiteral("server-190"));
        QCOMPARE(names.at(19), QStringLiteral("server-005"));
        QCOMPARE(names.at(28), QStringLiteral("server-185"));
        QCOMPARE(names.at(29), QStringLiteral("server-001"));
    }

    // Status colours read as text at 4.5:1 on the window and on fields, in a
    // light palette and in a dark one (as WCAG counts it).
    void statusColoursAreReadableOnLightAndDark()
    {
        const auto luminance = [](const QColor &c) {
            const auto linear = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
            return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
        };
        const auto ratio = [&](const QColor &a, const QColor &b) {
            const double la = luminance(a);
            const double lb = luminance(b);
            return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
        };
        const QPalette original = QGuiApplication::palette();
        QPalette light;
        light.setColor(QPalette::Window, QColor(0xef, 0xef, 0xef));
        light.setColor(QPalette::Base, Qt::white);
        light.setColor(QPalette::WindowText, Qt::black);
        light.setColor(QPalette::Highlight, QColor(0x30, 0x8c, 0xc6));
        QPalette dark;
        dark.setColor(QPalette::Window, QColor(0x35, 0x35, 0x35));
        dark.setColor(QPalette::Base, QColor(0x2a, 0x2a, 0x2a));
        dark.setColor(QPalette::WindowText, Qt::white);
        dark.setColor(QPalette::Highlight, QColor(0x2a, 0x82, 0xda));
        for (const QPalette &palette : {light, dark}) {
            QApplication::setPalette(palette);
            const QList<std::pair<const char *, QColor>> colours{{"green", Icons::green()},
                                                                 {"amber", Icons::amber()},
                                                                 {"red", Icons::red()},
                                                                 {"accent", Icons::accent(palette)},
                                                                 {"secondary", Icons::secondary(palette)}};
            for (const auto &[name, colour] : colours) {
                for (const auto role : {QPalette::Window, QPalette::Base}) {
                    const double r = ratio(colour, palette.color(role));
                    QVERIFY2(r >= 4.5,
                             qPrintable(QStringLiteral("%1 %2 on %3: %4:1")
                                            .arg(QLatin1String(name), colour.name(), palette.color(role).name())
                                            .arg(r, 0, 'f', 2)));
                }
            }
        }
        // Still a green and a red: the hue is kept.
        QApplication::setPalette(dark);
        QVERIFY(Icons::green().green() > Icons::green().red());
        QVERIFY(Icons::red().red() > Icons::red().green());

        // The bundled grey drawings (no icon theme here) are drawn in the text
        // colour: their strokes light on the dark palette, dark on the light one.
        const QString theme = QIcon::themeName();
        QIcon::setThemeName(QStringLiteral("tidewell-no-such-theme"));
        // The strongest stroke: the opaque pixel that differs most from the window.
        const auto stroke = [](const QIcon &icon, const QColor &window) {
            const QImage image = icon.pixmap(32, 32).toImage();
            const int paper = qGray(window.rgb());
            int best = paper;
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    const QRgb pixel = image.pixel(x, y);
                    if (qAlpha(pixel) >= 200 && std::abs(qGray(pixel) - paper) > std::abs(best - paper))
                        best = qGray(pixel);
                }
            }
            return best;
        };
        for (const QString &name :
             {QStringLiteral("list-add"), QStringLiteral("go-home"), QStringLiteral("appointment-soon")}) {
            QVERIFY2(stroke(Icons::get(name), dark.color(QPalette::Window)) > 200, qPrintable(name));
            QApplication::setPalette(light);
            QVERIFY2(stroke(Icons::get(name), light.color(QPalette::Window)) < 100, qPrintable(name));
            QApplication::setPalette(dark);
        }
        QIcon::setThemeName(theme);
        QApplication::setPalette(original);
    }

    // The search ignores accents and case; with the pointer over the list,
    // ending runs do not move its rows; order and filter outlast a restart.
    void searchOrderAndFilterAsAUserLeavesThem()
    {
        Server zurich = server(QStringLiteral("Zürich Dateiserver"));
        zurich.lastExitCode = 0;
        Server web = server(QStringLiteral("web"));
        web.lastExitCode = 23;
        m_h->store.update([&](AppSettings &s) { s.servers = {zurich, web}; });
        auto *search = m_window->findChild<QLineEdit *>(QStringLiteral("serverSearch"));
        for (const QString &typed : {QStringLiteral("zur"), QStringLiteral("ZÜRICH"), QStringLiteral("dateiserver")}) {
            search->clear();
            QTest::keyClicks(search, typed);
            QCOMPARE(shownNames(), QStringList{QStringLiteral("Zürich Dateiserver")});
        }
        search->clear();

        auto *order = m_window->findChild<QComboBox *>(QStringLiteral("serverOrder"));
        order->setCurrentIndex(2);
        Q_EMIT order->activated(2);
        QCOMPARE(shownNames(), (QStringList{QStringLiteral("web"), QStringLiteral("Zürich Dateiserver")}));
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(m_window->serverList()->viewport(), &enter);
        m_h->store.updateServer(web.id, [](Server &s) { s.lastExitCode = 0; });
        m_h->store.updateServer(zurich.id, [](Server &s) { s.lastExitCode = 12; });
        QCOMPARE(shownNames(), (QStringList{QStringLiteral("web"), QStringLiteral("Zürich Dateiserver")}));
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(m_window->serverList()->viewport(), &leave);
        QCOMPARE(shownNames(), (QStringList{QStringLiteral("Zürich Dateiserver"), QStringLiteral("web")}));

        auto *health = m_window->findChild<QComboBox *>(QStringLiteral("healthFilter"));
        health->setCurrentIndex(1);
        Q_EMIT health->activated(1);
        m_window = std::make_unique<MainWindow>(m_h->context);
        m_window->show();
        QCOMPARE(m_window->findChild<QComboBox *>(QStringLiteral("serverOrder"))->currentIndex(), 2);
        QCOMPARE(m_window->findChild<QComboBox *>(QStringLiteral("healthFilter"))->currentIndex(), 1);
        QCOMPARE(shownNames(), QStringList{QStringLiteral("Zürich Dateiserver")});
    }

    // Holding an arrow key: the editor is built for where the selection
    // rests, not for every row passed.
    void fastSelectionBuildsFewEditors()
    {
        const QList<Server> fleet = fleetOf200();
        m_h->store.update([&](AppSettings &s) { s.servers = fleet; });
        QListView *list = m_window->serverList();
        m_window->select(fleet.first().id);
        list->setFocus();
        const int before = m_window->editorsBuilt();
        // A pause longer than the settle time may rightly build an editor;
        // a loaded machine makes some, so they are counted, not forbidden.
        int pauses = 0;
        QElapsedTimer gap;
        gap.start();
        for (int i = 0; i < 500; ++i) {
            QTest::keyClick(list, i < 199 || i >= 398 ? Qt::Key_Down : Qt::Key_Up);
            QCoreApplication::processEvents();
            if (gap.restart() >= 50)
                ++pauses;
        }
        const QUuid last = fleet.at(500 - 2 * 199).id;
        QCOMPARE(m_window->selection(), std::optional<QUuid>(last));
        QTRY_VERIFY(qobject_cast<ServerDetailView *>(m_window->detailWidget())
                    && qobject_cast<ServerDetailView *>(m_window->detailWidget())->serverID() == last);
        const int built = m_window->editorsBuilt() - before;
        QVERIFY2(built <= 2 + pauses, qPrintable(QStringLiteral("%1 editors, %2 pauses").arg(built).arg(pauses)));
        // One click alone shows at once.
        QTest::qWait(100);
        const QRect third = list->visualRect(list->model()->index(3, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, third.center());
        QCOMPARE(qobject_cast<ServerDetailView *>(m_window->detailWidget())->serverID(),
                 list->model()->index(3, 0).data(ServerListModel::IdRole).toUuid());
    }

    void everyShortcutDoesItsAction()
    {
        useSlowRsync();
        const Server a = server(QStringLiteral("a"));
        const Server b = server(QStringLiteral("b"));
        m_h->store.update([&](AppSettings &s) { s.servers = {a, b}; });
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        const auto press = [this](QKeySequence keys) {
            QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : m_window.get();
            QTest::keySequence(target, keys);
        };

        press(QKeySequence(QStringLiteral("Ctrl+N")));
        QCOMPARE(m_h->store.settings().servers.size(), 3);
        QCOMPARE(m_window->selection(), std::optional<QUuid>(m_h->store.settings().servers.last().id));
        // Esc leaves the editor for the list; a new server left untouched goes.
        press(QKeySequence(Qt::Key_Escape));
        QCOMPARE(m_h->store.settings().servers.size(), 2);
        QVERIFY(!m_window->selection());
        QVERIFY(m_window->serverList()->hasFocus());
        // Named, it stays.
        press(QKeySequence(QStringLiteral("Ctrl+N")));
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("kept"));
        press(QKeySequence(Qt::Key_Escape));
        QCOMPARE(m_h->store.settings().servers.size(), 3);
        QCOMPARE(m_h->store.settings().servers.last().name, QStringLiteral("kept"));
        QVERIFY(!m_window->selection());
        m_window->select(m_h->store.settings().servers.last().id);
        press(QKeySequence(QStringLiteral("Ctrl+1")));
        QVERIFY(!m_window->selection());
        QCOMPARE(m_window->detailWidget(), static_cast<QWidget *>(m_window->dashboard()));
        press(QKeySequence(QStringLiteral("Ctrl+F")));
        QVERIFY(m_window->findChild<QLineEdit *>(QStringLiteral("serverSearch"))->hasFocus());

        // Delete in the list asks first.
        m_window->select(a.id);
        m_window->serverList()->setFocus();
        m_h->dialogs->setNextAnswer(true);
        press(QKeySequence(QKeySequence::Delete));
        QCOMPARE(m_h->dialogs->askedTexts().last().section(u'\n', 0, 0), QStringLiteral("Delete “a”?"));
        QVERIFY(!m_h->store.settings().server(a.id));

        m_window->select(b.id);
        press(QKeySequence(Qt::Key_F5));
        QTRY_VERIFY(m_h->runs->isRunning(b.id));
        // Ctrl+Q in the run sheet asks to quit.
        QSignalSpy quitDuringRun(m_window.get(), &MainWindow::quitRequested);
        QTRY_VERIFY(m_window->runSheet(b.id) && m_window->runSheet(b.id)->isVisible());
        QTest::keySequence(m_window->runSheet(b.id), QKeySequence(QStringLiteral("Ctrl+Q")));
        QCOMPARE(quitDuringRun.size(), 1);
        m_h->runs->cancelAll();
        QTRY_VERIFY(!m_h->runs->isRunning());
        if (m_window->runSheet(b.id))
            m_window->runSheet(b.id)->close();

        QSignalSpy settings(m_window.get(), &MainWindow::settingsRequested);
        QSignalSpy quit(m_window.get(), &MainWindow::quitRequested);
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        m_window->findChild<QLineEdit *>(QStringLiteral("serverSearch"))->setFocus();
        press(QKeySequence(QStringLiteral("Ctrl+,")));
        QCOMPARE(settings.size(), 1);
        press(QKeySequence(QStringLiteral("Ctrl+Q")));
        QCOMPARE(quit.size(), 1);

        // A dashboard card is one Tab stop; Enter opens its server.
        m_window->select(std::nullopt);
        ServerCard *card = m_window->dashboard()->card(b.id);
        QCOMPARE(card->focusPolicy() & Qt::TabFocus, Qt::TabFocus);
        QCOMPARE(cardChild<QPushButton>(b.id, "cardRun")->focusPolicy(), Qt::TabFocus);
        QCOMPARE(cardChild<QPushButton>(b.id, "cardConfigure")->focusPolicy(), Qt::TabFocus);
        card->setFocus();
        QTest::keyClick(card, Qt::Key_Return);
        QCOMPARE(m_window->selection(), std::optional<QUuid>(b.id));
        QCOMPARE(MainWindow::shortcuts().size(), 9);
    }

    // A 1024×600 screen with a panel: the window opens within it and its
    // footer stays in view.
    void fitsASmallScreen()
    {
        QCOMPARE(MainWindow::initialSize(QSize(1024, 570)), QSize(1024, 570));
        QCOMPARE(MainWindow::initialSize(QSize(1920, 1050)), QSize(1100, 700));
        m_h->store.update([&](AppSettings &s) { s.servers = fleetOf200(); });
        const QSize least = m_window->minimumSizeHint().expandedTo(m_window->minimumSize());
        QVERIFY2(least.width() <= 1024 && least.height() <= 540,
                 qPrintable(QStringLiteral("%1×%2").arg(least.width()).arg(least.height())));
        m_window->resize(1024, 540);
        QTRY_COMPARE(m_window->size(), QSize(1024, 540));
        auto *footer = m_window->findChild<QLabel *>(QStringLiteral("lastBackupFooter"));
        QVERIFY(footer->isVisible());
        const QRect inWindow(footer->mapTo(m_window.get(), QPoint(0, 0)), footer->size());
        QVERIFY(m_window->rect().contains(inWindow));
    }

    // A thousand scheduled servers: lookups by id cost the same for each,
    // schedule states are counted once for all, and the dashboard makes its
    // cards a page at a time.
    void aFleetOpensAtOnce()
    {
        QList<Server> fleet;
        for (int i = 0; i < 1000; ++i) {
            Server server;
            server.name = QStringLiteral("server-%1").arg(i);
            server.host = QStringLiteral("h");
            server.username = QStringLiteral("u");
            server.scheduleEnabled = true;
            fleet << server;
        }
        const ServerIndex &index = m_h->store.settings().serverIndex();
        m_h->store.update([&](AppSettings &s) { s.servers = fleet; });
        const qint64 before = index.lookups();
        m_h->context.schedules->refresh(); // every timer's state, read at once (no manager here)
        QTRY_VERIFY(m_h->context.schedules->state(fleet.last().id).kind == ScheduleStatus::State::Kind::broken);
        QTest::qWait(50);
        const qint64 lookups = index.lookups() - before;
        QVERIFY2(lookups < 20 * 1000, qPrintable(QString::number(lookups)));
        QVERIFY2(index.rebuilds() < 10, qPrintable(QString::number(index.rebuilds())));

        const auto cards = [this] { return m_window->dashboard()->findChildren<ServerCard *>().size(); };
        QVERIFY2(cards() <= 120, qPrintable(QString::number(cards())));
        QScrollBar *bar = m_window->dashboard()->findChild<QScrollArea *>()->verticalScrollBar();
        QTRY_VERIFY(bar->maximum() > 0); // laid out
        const qsizetype shown = cards();
        bar->setValue(bar->maximum());
        QTRY_VERIFY(cards() > shown);
        QCOMPARE(m_window->dashboard()->findChild<QLabel *>(QStringLiteral("counterServers"))->text(),
                 QStringLiteral("1000"));
    }

    void minimumSizeAndTitle()
    {
        QCOMPARE(m_window->minimumSize(), QSize(720, 440));
        QCOMPARE(m_window->windowTitle(), QStringLiteral("Tidewell"));
    }

    void sidebarMetaLinesAndEnabling()
    {
        Server never = server(QStringLiteral("never"));
        Server ok = server(QStringLiteral("ok"));
        ok.lastRunAt = ReferenceDate::now() - 2 * 3600 - 30;
        ok.lastExitCode = 0;
        Server failed = server(QStringLiteral("failed"));
        failed.lastRunAt = ReferenceDate::now() - 90;
        failed.lastExitCode = 23;
        Server incomplete = server(QStringLiteral("incomplete"), false);
        incomplete.host.clear();
        m_h->store.update([&](AppSettings &s) { s.servers = {never, ok, failed, incomplete}; });
        QCOMPARE(m_window->serverList()->model()->rowCount(), 4);
        QCOMPARE(row(0, ServerListModel::MetaRole).toString(), QStringLiteral("db"));
        QCOMPARE(row(1, ServerListModel::MetaRole).toString(), QStringLiteral("2 hours ago"));
        QCOMPARE(row(1, ServerListModel::ResultRole).toInt(), 0);
        QCOMPARE(row(2, ServerListModel::MetaRole).toString(), QStringLiteral("1 minute ago"));
        QCOMPARE(row(2, ServerListModel::ResultRole).toInt(), 1);
        QCOMPARE(row(3, ServerListModel::ResultRole).toInt(), -1);
        QVERIFY(row(0, ServerListModel::CanStartRole).toBool());
        QVERIFY(!row(3, ServerListModel::CanStartRole).toBool());
    }

    void oneRuleForEveryStartControl()
    {
        // An enabled path without a remote path would be refused by the run: nothing offers to start it.
        Server mixed = server(QStringLiteral("mixed"));
        BackupPath empty;
        empty.remotePath.clear();
        mixed.paths.append(empty);
        m_h->store.update([&](AppSettings &s) { s.servers = {mixed}; });
        QVERIFY(!row(0, ServerListModel::CanStartRole).toBool());
        QVERIFY(!m_window->canRun(mixed));
        m_window->runBackup(mixed); // refused without a word
        QVERIFY(!m_window->runSheet(mixed.id));
        QVERIFY(!m_h->runs->isRunning());
    }

    void runningShowsInTheRowAndTheSheet()
    {
        const Server s = startSlowRun(QStringLiteral("web"));
        QVERIFY(m_window->runSheet(s.id));
        QTRY_VERIFY(m_h->runs->isRunning(s.id));
        RsyncRunner *runner = m_h->runs->runnerFor(s.id);
        BackupRunView *sheet = m_window->runSheet(s.id);
        QVERIFY(!sheet->isModal());
        QCOMPARE(sheet->windowTitle(), QStringLiteral("Backup of web"));
        QTRY_COMPARE(runner->progressPercent(), std::optional<double>(42));
        QTRY_VERIFY(sheet->shownLog().contains(QStringLiteral("! rsync: oops")));
        QVERIFY(sheet->headerText().startsWith(QStringLiteral("Running: ")));
        QCOMPARE(row(0, ServerListModel::MetaRole).toString(), QStringLiteral("running…"));
        QVERIFY(!sheet->findChild<QPushButton *>(QStringLiteral("revealDestination"))->isVisible());
        QVERIFY(sheet->findChild<QPushButton *>(QStringLiteral("cancelRun"))->isVisible());
        // The server itself cannot start twice.
        QVERIFY(!m_window->canRun(s));
        QTest::mouseClick(sheet->findChild<QPushButton *>(QStringLiteral("cancelRun")), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!m_h->runs->isRunning(), 10000);
        QCOMPARE(sheet->headerText(), QStringLiteral("Backup cancelled"));
        QVERIFY(sheet->findChild<QPushButton *>(QStringLiteral("revealDestination"))->isVisible());
        QVERIFY(sheet->findChild<QPushButton *>(QStringLiteral("closeRun"))->isDefault());
        const QStringList log = runner->logLines();
        QTRY_COMPARE(sheet->shownLog(), log.join(u'\n'));
        const qsizetype errorLine = log.indexOf(QStringLiteral("! rsync: oops"));
        QCOMPARE(sheet->redLineNumbers(), QList<int>{int(errorLine)});
        QTest::mouseClick(sheet->findChild<QPushButton *>(QStringLiteral("copyLog")), Qt::LeftButton);
        QCOMPARE(QGuiApplication::clipboard()->text(), log.join(u'\n'));
    }

    // Pause ends the run keeping its copy; Resume starts the same server again.
    void pauseAndResumeFromTheSheet()
    {
        const Server s = startSlowRun(QStringLiteral("web"));
        BackupRunView *sheet = m_window->runSheet(s.id);
        QTRY_VERIFY(m_h->runs->isRunning(s.id));
        RsyncRunner *runner = m_h->runs->runnerFor(s.id);
        const auto button = [sheet](const char *name) {
            return sheet->findChild<QPushButton *>(QString::fromLatin1(name));
        };
        QVERIFY(button("pauseRun")->isVisible());
        QVERIFY(!button("resumeRun")->isVisible());
        QTest::mouseClick(button("pauseRun"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!runner->isRunning(), 10000);
        QVERIFY(runner->wasPaused());
        QCOMPARE(sheet->headerText(), QStringLiteral("Backup paused"));
        QVERIFY(button("resumeRun")->isVisible());
        QVERIFY(button("resumeRun")->isDefault());
        QVERIFY(!button("pauseRun")->isVisible());
        QTest::mouseClick(button("resumeRun"), Qt::LeftButton);
        QTRY_VERIFY(runner->isRunning());
        QCOMPARE(m_window->runSheet(s.id), sheet); // the same sheet follows the resumed run
        QVERIFY(!runner->wasPaused());
        runner->cancel();
        QTRY_VERIFY_WITH_TIMEOUT(!runner->isRunning(), 10000);
        QCOMPARE(sheet->headerText(), QStringLiteral("Backup cancelled"));
    }

    // A backup's sheet closes while the backup goes on, and the card, the
    // list's menu or a second start show it again.
    void theSheetClosesWhileTheBackupGoesOn()
    {
        const Server s = startSlowRun(QStringLiteral("web"));
        QPointer<BackupRunView> sheet = m_window->runSheet(s.id);
        QTRY_VERIFY(m_h->runs->isRunning(s.id));
        QVERIFY(sheet->findChild<QPushButton *>(QStringLiteral("closeRun"))->isVisible());
        QTest::keyClick(sheet, Qt::Key_Escape);
        QTRY_VERIFY(!sheet);
        QVERIFY(!m_window->runSheet(s.id));
        QVERIFY(m_h->runs->isRunning(s.id));
        QCOMPARE(row(0, ServerListModel::RunningHereRole).toBool(), true);

        auto *cardRun = cardChild<QPushButton>(s.id, "cardRun");
        QTRY_COMPARE(cardRun->text(), QStringLiteral("Show backup"));
        QVERIFY(cardRun->isEnabled());
        QTest::mouseClick(cardRun, Qt::LeftButton);
        QVERIFY(m_window->runSheet(s.id) && m_window->runSheet(s.id)->isVisible());
        // Its log is all there, from the start of the run.
        QTRY_VERIFY(m_window->runSheet(s.id)->shownLog().contains(QStringLiteral("! rsync: oops")));
        QVERIFY(m_window->runSheet(s.id)->close());
        m_window->runBackup(s);
        QVERIFY(m_window->runSheet(s.id));
        QCOMPARE(m_h->runs->running().size(), 1); // shown, not started twice

        m_h->runs->cancelAll();
        QTRY_VERIFY_WITH_TIMEOUT(!m_h->runs->isRunning(), 10000);
        QTRY_COMPARE(cardRun->text(), QStringLiteral("Run now"));
    }

    // Two servers started from the window run side by side and both finish
    // and are logged; past the slots a run waits and says so.
    void severalBackupsAtOnce()
    {
        const QString go = m_h->home.path() + QStringLiteral("/go");
        RsyncProbe probe;
        probe.isModern = true;
        probe.executable =
            writeScript(m_h->home.path() + QStringLiteral("/rsync"),
                        "printf ' 10%% ok\\n'\nwhile [ ! -e '" + go.toUtf8() + "' ]; do sleep 0.05; done\nexit 0\n");
        m_h->runs->setRsyncProbe(probe);
        const Server a = server(QStringLiteral("alpha"));
        const Server b = server(QStringLiteral("beta"));
        const Server c = server(QStringLiteral("gamma"));
        m_h->store.update([&](AppSettings &settings) {
            settings.servers = {a, b, c};
            settings.maxConcurrentRuns = 2;
        });
        m_window->runBackup(a);
        QTRY_VERIFY(m_h->runs->isRunning(a.id));
        // The others can still be started while one runs.
        QVERIFY(m_window->canRun(b));
        QVERIFY(row(1, ServerListModel::CanStartRole).toBool());
        QVERIFY(!row(0, ServerListModel::CanStartRole).toBool());
        m_window->runBackup(b);
        m_window->runBackup(c);
        QTRY_COMPARE(m_h->runs->running().size(), 3);
        QVERIFY(m_window->runSheet(a.id) && m_window->runSheet(b.id) && m_window->runSheet(c.id));
        // Two slots: the third waits in the queue scheduled runs wait in.
        QTRY_VERIFY(m_h->runs->runnerFor(c.id)->isWaitingForSlot());
        QTRY_COMPARE(row(2, ServerListModel::MetaRole).toString(), QStringLiteral("waiting for a free slot…"));
        QCOMPARE(m_window->runSheet(c.id)->headerText(), QStringLiteral("Waiting for a free slot…"));
        QTRY_COMPARE(cardChild<QLabel>(c.id, "cardHealth")->text(), QStringLiteral("Waiting for a free slot…"));
        QVERIFY(m_window->runSheet(c.id)->shownLog().contains(
            QStringLiteral("Waiting for a free slot (2 backups running)…")));
        // One sheet closed and shown again from the list's menu meanwhile.
        QVERIFY(m_window->runSheet(b.id)->close());
        QTRY_VERIFY(!m_window->runSheet(b.id));
        m_window->showRun(b.id);
        QVERIFY(m_window->runSheet(b.id)->isVisible());

        QFile(go).open(QIODevice::WriteOnly);
        QTRY_VERIFY_WITH_TIMEOUT(!m_h->runs->isRunning(), 20000);
        for (const Server &s : {a, b, c}) {
            QCOMPARE(m_h->runs->runnerFor(s.id)->exitCode(), std::optional<int>(0));
            QFile log(LogStore::logFile(s.id));
            QVERIFY2(log.open(QIODevice::ReadOnly), qPrintable(s.name));
            QVERIFY(log.readAll().contains("SUCCESS"));
            QCOMPARE(m_h->store.settings().server(s.id)->lastExitCode, std::optional<int>(0));
        }
        QCOMPARE(m_window->runSheet(b.id)->headerText(), QStringLiteral("Backup completed"));
    }

    void aServerBackedUpElsewhereShowsAsRunning()
    {
        const Server s = server(QStringLiteral("web"));
        m_h->store.update([&](AppSettings &settings) { settings.servers = {s}; });
        QVERIFY(row(0, ServerListModel::CanStartRole).toBool());
        auto held = FileLock::tryLock(AppPaths::runLockFile(s.id)); // a scheduled run in another process
        QVERIFY(held);
        m_h->activity->poll();
        QCOMPARE(row(0, ServerListModel::MetaRole).toString(), QStringLiteral("running…"));
        QVERIFY(!m_window->canRun(s));
        // Started anyway (the tray, a second window), the run says why it does not start.
        m_h->runner.setRsyncProbe(m_h->fakeRsync(0));
        QVERIFY(awaitVoid(m_h->runner.run(s, &m_h->store)));
        BackupRunView sheet(&m_h->runner, m_h->desktop.get());
        QCOMPARE(sheet.headerText(), QStringLiteral("Backup not started"));
        QCOMPARE(sheet.shownLog(), QStringLiteral("A backup of “web” is already running."));
        held->unlock();
        m_h->activity->poll();
        QVERIFY(row(0, ServerListModel::CanStartRole).toBool());
    }

    void runSheetHeaderStates()
    {
        BackupRunView sheet(&m_h->runner, m_h->desktop.get());
        QCOMPARE(sheet.headerText(), QStringLiteral("Preparing…"));
        QVERIFY(!sheet.findChild<QPushButton *>(QStringLiteral("copyLog"))->isEnabled());
        QVERIFY(sheet.minimumWidth() >= 740 && sheet.minimumHeight() >= 480);
        // Only "! " lines are red; "!! " is the run's own line.
        m_h->runner.append(QStringLiteral("plain"));
        m_h->runner.append(QStringLiteral("! from rsync"));
        m_h->runner.append(QStringLiteral("!! pre-backup command failed — skipping rsync for this path"));
        QTRY_COMPARE(sheet.redLineNumbers(), QList<int>{1});
        QCOMPARE(sheet.shownLog().split(u'\n').size(), 3);
    }

    void dashboardCountersAndCards()
    {
        Server ok = server(QStringLiteral("ok"));
        ok.lastExitCode = 0; // no lastRunAt
        Server bad = server(QStringLiteral("bad"));
        bad.lastExitCode = 5;
        bad.scheduleEnabled = true;
        Server blank = server(QString());
        blank.host.clear();
        m_h->store.update([&](AppSettings &s) { s.servers = {ok, bad, blank}; });
        DashboardView *dash = m_window->dashboard();
        QCOMPARE(dash->counterText(QStringLiteral("Servers")), QStringLiteral("3"));
        QCOMPARE(dash->counterText(QStringLiteral("Healthy")), QStringLiteral("1"));
        QCOMPARE(dash->counterText(QStringLiteral("Failing")), QStringLiteral("1"));
        QCOMPARE(cardChild<QLabel>(ok.id, "cardHealth")->text(), QStringLiteral("Healthy"));
        QCOMPARE(cardChild<QLabel>(ok.id, "cardHost")->text(), QStringLiteral("db:2222"));
        QVERIFY(cardChild<QLabel>(ok.id, "cardNext")->isHidden());
        QCOMPARE(cardChild<QLabel>(blank.id, "cardHost")->text(), QStringLiteral("—"));
        QCOMPARE(cardChild<QLabel>(blank.id, "cardHealth")->text(), QStringLiteral("Never ran"));
        QVERIFY(!cardChild<QPushButton>(blank.id, "cardRun")->isEnabled());
        QVERIFY(cardChild<QLabel>(bad.id, "cardNext")->text().startsWith(QStringLiteral("daily 03:00")));
        // A second copy shows on the cards of the servers it takes.
        QVERIFY(cardChild<QLabel>(ok.id, "cardCopies")->isHidden());
        CopyTarget offsite;
        offsite.id = QUuid::createUuid();
        m_h->store.update([&](AppSettings &s) {
            offsite.name = QStringLiteral("offsite");
            offsite.path = QStringLiteral("/nowhere");
            offsite.servers = {ok.id};
            s.copyTargets = {offsite};
        });
        QTRY_COMPARE(cardChild<QLabel>(ok.id, "cardCopies")->text(), QStringLiteral("offsite: not yet"));
        QVERIFY(!cardChild<QLabel>(ok.id, "cardCopies")->isHidden());
        QVERIFY(cardChild<QLabel>(bad.id, "cardCopies")->isHidden());
        // A copy that ran elsewhere shows once it has recorded its days.
        CopyState::ServerCopy copied;
        copied.days.insert(QStringLiteral("2026-12-01"), QStringLiteral("1:2"));
        QVERIFY(CopyState::save(offsite.id, {{ok.id, copied}}));
        QTRY_COMPARE(cardChild<QLabel>(ok.id, "cardCopies")->text(), QStringLiteral("offsite: up to 2026-12-01"));
        QCOMPARE(DashboardView::columnsFor(280), 1);
        QCOMPARE(DashboardView::columnsFor(572), 2);
        QCOMPARE(DashboardView::columnsFor(571), 1);
        // Configure selects the server.
        QTest::mouseClick(cardChild<QPushButton>(bad.id, "cardConfigure"), Qt::LeftButton);
        QCOMPARE(m_window->selection(), std::optional<QUuid>(bad.id));
    }

    // A scheduled server without a good backup for over 26 hours is amber in
    // the list, on its card and in the counters; a failing one stays failing.
    void overdueIsShownAndCounted()
    {
        Server late = server(QStringLiteral("late"));
        late.scheduleEnabled = true;
        late.lastExitCode = 0;
        late.lastRunAt = late.lastSuccessAt = ReferenceDate::now() - 3 * 86400 - 60;
        Server failing = late;
        failing.id = QUuid::createUuid();
        failing.name = QStringLiteral("failing");
        failing.lastExitCode = 12;
        Server fresh = late;
        fresh.id = QUuid::createUuid();
        fresh.name = QStringLiteral("fresh");
        fresh.lastRunAt = fresh.lastSuccessAt = ReferenceDate::now() - 3600;
        m_h->store.update([&](AppSettings &s) { s.servers = {late, failing, fresh}; });
        DashboardView *dash = m_window->dashboard();
        QCOMPARE(dash->counterText(QStringLiteral("Overdue")), QStringLiteral("1"));
        QCOMPARE(dash->counterText(QStringLiteral("Healthy")), QStringLiteral("1"));
        QCOMPARE(dash->counterText(QStringLiteral("Failing")), QStringLiteral("1"));
        QCOMPARE(row(0, ServerListModel::MetaRole).toString(), QStringLiteral("Overdue · last good backup 3 days ago"));
        QCOMPARE(row(0, ServerListModel::ResultRole).toInt(), 2);
        QCOMPARE(row(1, ServerListModel::ResultRole).toInt(), 1);
        QCOMPARE(cardChild<QLabel>(late.id, "cardHealth")->text(),
                 QStringLiteral("Overdue · last good backup 3 days ago"));
        QCOMPARE(cardChild<QLabel>(failing.id, "cardHealth")->text(), QStringLiteral("Last run failed (exit 12)"));

        // Time alone makes a server overdue: the next minute's tick shows it.
        m_h->servers->setNow([] { return QDateTime::currentDateTime().addDays(2); });
        QCOMPARE(row(2, ServerListModel::ResultRole).toInt(), 2);
        QCOMPARE(m_h->servers->counters().overdue, 2);
    }

    // A schedule whose timer cannot run says so where it is shown, and does not count.
    void aBrokenScheduleIsShownAndNotCounted()
    {
        Server web = server(QStringLiteral("web"));
        web.scheduleEnabled = true; // its install failed: there is no user manager here
        m_h->store.update([&](AppSettings &s) { s.servers = {web}; });
        m_h->schedules->refresh();
        QTRY_COMPARE(row(0, ServerListModel::ScheduleProblemRole).toString(), ScheduleStatus::noManagerMessage());
        QCOMPARE(m_window->dashboard()->counterText(QStringLiteral("Scheduled")), QStringLiteral("0"));
        auto *problem = cardChild<QLabel>(web.id, "cardScheduleProblem");
        QTRY_VERIFY(problem->isVisible()); // a new card shows once the event loop turns
        QCOMPARE(problem->text(), ScheduleStatus::noManagerMessage());
        QVERIFY(!cardChild<QLabel>(web.id, "cardNext")->isVisible()); // no next run is claimed
        // The editor says so too, and keeps saying it after another server was selected.
        m_window->select(web.id);
        QCOMPARE(m_window->detailWidget()->findChild<QLabel *>(QStringLiteral("scheduleStatus"))->text(),
                 ScheduleStatus::noManagerMessage());
        m_window->select(std::nullopt);
        m_window->select(web.id);
        QVERIFY(m_window->detailWidget()->findChild<QLabel *>(QStringLiteral("scheduleStatus"))->isVisible());
    }

    // An edit of one server updates its own card and row, and nothing else.
    void anEditTouchesOneCard()
    {
        QList<Server> servers;
        for (int i = 0; i < 20; ++i)
            servers << server(QStringLiteral("s%1").arg(i));
        m_h->store.update([&](AppSettings &s) { s.servers = servers; });
        ServerCard *edited = m_window->dashboard()->card(servers[3].id);
        ServerCard *other = m_window->dashboard()->card(servers[4].id);
        const int editedBefore = edited->revision();
        const int otherBefore = other->revision();
        QSignalSpy rows(m_h->servers.get(), &QAbstractItemModel::dataChanged);
        m_h->store.updateServer(servers[3].id, [](Server &s) { s.host = QStringLiteral("elsewhere"); });
        QCOMPARE(m_window->dashboard()->card(servers[3].id), edited);
        QCOMPARE(edited->revision(), editedBefore + 1);
        QCOMPARE(other->revision(), otherBefore);
        QCOMPARE(edited->findChild<QLabel *>(QStringLiteral("cardHost"))->text(), QStringLiteral("elsewhere:2222"));
        QCOMPARE(rows.count(), 1);
        QCOMPARE(rows.first().first().toModelIndex().row(), 3);
        // While the dashboard is hidden, its cards wait.
        m_window->select(servers[0].id);
        m_h->store.updateServer(servers[3].id, [](Server &s) { s.host = QStringLiteral("later"); });
        QCOMPARE(edited->revision(), editedBefore + 1);
        m_window->select(std::nullopt);
        QCOMPARE(edited->findChild<QLabel *>(QStringLiteral("cardHost"))->text(), QStringLiteral("later:2222"));
    }

    void namesAreShownAsTyped()
    {
        const Server odd = server(QStringLiteral("host<b>bold</b> & co"));
        m_h->store.update([&](AppSettings &s) { s.servers = {odd}; });
        QCOMPARE(row(0, Qt::DisplayRole).toString(), QStringLiteral("host<b>bold</b> & co"));
        auto *name = cardChild<ElidedLabel>(odd.id, "cardName");
        QCOMPARE(name->textFormat(), Qt::PlainText);
        QCOMPARE(name->fullText(), QStringLiteral("host<b>bold</b> & co"));
        // A long name is cut with "…", whole in its tooltip, and the buttons stay in view.
        const QString longName = QString(200, u'x');
        m_h->store.updateServer(odd.id, [&](Server &s) { s.name = longName; });
        QVERIFY(name->text().endsWith(QStringLiteral("…")));
        QCOMPARE(name->toolTip(), longName);
        auto *run = cardChild<QPushButton>(odd.id, "cardRun");
        QVERIFY(m_window->dashboard()->card(odd.id)->rect().contains(run->geometry()));
    }

    void keyboardAndNavigation()
    {
        const Server a = server(QStringLiteral("a"));
        const Server b = server(QStringLiteral("b"));
        m_h->store.update([&](AppSettings &s) { s.servers = {a, b}; });
        // Focus moving into the list selects nothing by itself.
        m_window->activateWindow();
        m_window->serverList()->setFocus(Qt::TabFocusReason);
        QVERIFY(!m_window->selection());
        QCOMPARE(m_window->detailWidget(), static_cast<QWidget *>(m_window->dashboard()));
        QCOMPARE(m_window->windowTitle(), QStringLiteral("Tidewell"));
        // The dashboard's cards take the keyboard focus.
        QCOMPARE(m_window->dashboard()->card(a.id)->focusPolicy() & Qt::TabFocus, Qt::TabFocus);
        // After "+", the new server's name is ready to be typed.
        m_window->addServer();
        QTRY_VERIFY(m_window->detailWidget()->findChild<QLineEdit *>(QStringLiteral("nameField"))->hasFocus());
        // Icon-only buttons have names for assistive technology.
        for (const char *name : {"showDashboard", "addServer"}) {
            QAccessibleInterface *button =
                QAccessible::queryAccessibleInterface(m_window->findChild<QToolButton *>(QLatin1String(name)));
            QVERIFY2(button && !button->text(QAccessible::Name).isEmpty(), name);
        }
        QAccessibleInterface *field = QAccessible::queryAccessibleInterface(
            m_window->detailWidget()->findChild<QLineEdit *>(QStringLiteral("hostField")));
        const auto labels = field->relations(QAccessible::Label);
        QVERIFY(!labels.isEmpty());
        QCOMPARE(labels.first().first->text(QAccessible::Name), QStringLiteral("Host"));
    }

    // Each paint of a row uses the same icons: new ones would each fill the
    // pixmap cache with their own scaled copies, and memory would grow per keystroke.
    void iconsAreMadeOnce()
    {
        QCOMPARE(Icons::get(QStringLiteral("go-down")).cacheKey(), Icons::get(QStringLiteral("go-down")).cacheKey());
        QCOMPARE(Icons::get(QStringLiteral("network-server")).cacheKey(),
                 Icons::get(QStringLiteral("network-server")).cacheKey());
    }

    void coloursFollowThePalette()
    {
        const Server never = server(QStringLiteral("never"));
        m_h->store.update([&](AppSettings &s) { s.servers = {never}; });
        auto *health = cardChild<QLabel>(never.id, "cardHealth");
        QPalette dark;
        dark.setColor(QPalette::Window, QColor(0x20, 0x20, 0x20));
        dark.setColor(QPalette::WindowText, QColor(0xee, 0xee, 0xee));
        dark.setColor(QPalette::Base, QColor(0x18, 0x18, 0x18));
        QApplication::setPalette(dark);
        QTRY_COMPARE(health->palette().color(QPalette::WindowText), Icons::secondary(m_window->dashboard()));
        QApplication::setPalette(QPalette());
    }

    void addDuplicateDelete()
    {
        m_window->addServer();
        QCOMPARE(m_h->store.settings().servers.size(), 1);
        const Server added = m_h->store.settings().servers.first();
        QCOMPARE(added.name, QStringLiteral("New Server"));
        QCOMPARE(m_window->selection(), std::optional<QUuid>(added.id));

        Server web = server(QStringLiteral("web"));
        web.scheduleEnabled = true;
        web.lastExitCode = 0;
        m_h->store.update([&](AppSettings &s) { s.servers.prepend(web); });
        m_window->duplicate(web);
        QCOMPARE(m_h->store.settings().servers.at(1).name, QStringLiteral("web (copy)"));
        QVERIFY(!m_h->store.settings().servers.at(1).scheduleEnabled);
        QCOMPARE(m_window->selection(), std::optional<QUuid>(m_h->store.settings().servers.at(1).id));

        // Cancel keeps it; confirming uninstalls the schedule (whose failure is ignored) and removes it.
        m_h->dialogs->setNextAnswer(false);
        m_window->confirmDelete(web);
        QCOMPARE(m_h->store.settings().servers.size(), 3);
        QCOMPARE(
            m_h->dialogs->askedTexts().last(),
            QStringLiteral("Delete “web”?\nThis removes the server configuration. Local backups are not touched."));
        writeFile(m_h->scheduler->plistURL(web.id), "x"); // something to uninstall; systemctl fails
        m_h->dialogs->setNextAnswer(true);
        m_window->confirmDelete(web);
        QCOMPARE(m_h->store.settings().servers.size(), 2);
        QTRY_VERIFY(readFile(m_h->calls()).contains("disable --now")); // in the background
        QTRY_VERIFY(!m_h->scheduler->isBusy());
        QVERIFY(m_window->selection().has_value()); // the copy stays selected

        // Deleting the selected server goes back to the dashboard, not to another editor.
        const Server selected = *m_h->store.settings().server(*m_window->selection());
        m_h->dialogs->setNextAnswer(true);
        m_window->confirmDelete(selected);
        QVERIFY(!m_window->selection());
        QCOMPARE(m_window->detailWidget(), static_cast<QWidget *>(m_window->dashboard()));
        QCOMPARE(m_window->windowTitle(), QStringLiteral("Tidewell"));
        QVERIFY(m_window->serverList()->selectionModel()->selectedIndexes().isEmpty());
    }

    void openBackupsFolderCreatesTheServerFolder()
    {
        m_h->store.update([](AppSettings &s) { s.destinationPath = QStringLiteral("~/Backups"); });
        m_window->openBackupsFolder(server(QStringLiteral("web/prod")));
        const QString folder = m_h->home.home() + QStringLiteral("/Backups/web_prod");
        QVERIFY(QDir(folder).exists());
        // As private as a run makes it: no other local user walks in.
        const QFile::Permissions others = QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
        QCOMPARE(QFile::permissions(folder) & others, QFile::Permissions());
        QCOMPARE(m_h->revealed, QStringList{QStringLiteral("reveal ") + folder});
        m_window->openBackupsFolder(server(QString()));
        QVERIFY(QDir(m_h->home.home() + QStringLiteral("/Backups/unnamed")).exists());
    }

    // A folder that cannot be shown is said in the window, with its path and why.
    void aFolderThatCannotBeOpenedIsSaid()
    {
        writeFile(m_h->home.home() + QStringLiteral("/Backups"), "a file where the folder belongs");
        m_h->store.update([](AppSettings &s) { s.destinationPath = QStringLiteral("~/Backups"); });
        m_window->openBackupsFolder(server(QStringLiteral("web")));
        QVERIFY(m_h->revealed.isEmpty());
        QVERIFY(m_window->statusBar()->currentMessage().startsWith(QStringLiteral("Could not open ") + m_h->home.home()
                                                                   + QStringLiteral("/Backups/web: ")));
        Q_EMIT m_h->desktop->openFailed(QStringLiteral("/srv/b"), QStringLiteral("no file manager answered"));
        QCOMPARE(m_window->statusBar()->currentMessage(),
                 QStringLiteral("Could not open /srv/b: no file manager answered"));
    }

    // The empty dashboard's three steps: each a button, the later ones
    // waiting for a server; gone once a backup has run.
    void theWelcomeLeadsToAFirstBackup()
    {
        DashboardView *dashboard = m_window->dashboard();
        auto *welcome = dashboard->findChild<QWidget *>(QStringLiteral("welcomeSteps"));
        QVERIFY(welcome->isVisibleTo(m_window.get()));
        auto step = [&](int n) { return dashboard->findChild<QPushButton *>(QStringLiteral("welcomeStep%1").arg(n)); };
        QVERIFY(step(1)->isEnabled());
        QVERIFY(!step(2)->isEnabled() && !step(3)->isEnabled());
        step(1)->click();
        QCOMPARE(m_h->store.settings().servers.size(), 1);
        const QUuid id = m_h->store.settings().servers.first().id;
        m_window->select(std::nullopt);
        QVERIFY(welcome->isVisibleTo(m_window.get()));
        QVERIFY(step(2)->isEnabled() && step(3)->isEnabled());
        step(3)->click();
        QCOMPARE(m_h->store.settings().servers.first().paths.size(), 1);
        m_window->select(std::nullopt);
        step(2)->click();
        QVERIFY(m_window->focusWidget() && m_window->focusWidget()->objectName() == QStringLiteral("keyField"));
        m_h->store.recordRunResult(id, ReferenceDate::fromDateTime(QDateTime::currentDateTime()), 0);
        QTRY_VERIFY(!welcome->isVisibleTo(m_window.get()));
    }

    void footerNamesTheLatest()
    {
        QCOMPARE(m_window->lastBackupFooterText(), QStringLiteral("No backups yet"));
        Server a = server(QStringLiteral("a"));
        a.lastRunAt = 500;
        Server b = server(QString());
        b.lastRunAt = 500;
        m_h->store.update([&](AppSettings &s) { s.servers = {b, a}; });
        QVERIFY(m_window->lastBackupFooterText().endsWith(QStringLiteral("\n(untitled)")));
    }

    void logViewer()
    {
        Server s = server(QString());
        LogViewerView missing(s, m_h->desktop.get());
        QCOMPARE(missing.shownText(), QStringLiteral("No log available for this server."));
        QVERIFY(!missing.findChild<QPushButton *>(QStringLiteral("revealLog"))->isEnabled());
        QCOMPARE(missing.findChild<QLabel *>(QStringLiteral("logServerName"))->text(), QStringLiteral("(untitled)"));
        QVERIFY(!missing.findChild<QLabel *>(QStringLiteral("logResult")));
        QTest::mouseClick(missing.findChild<QPushButton *>(QStringLiteral("copyLogFile")), Qt::LeftButton);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("No log available for this server."));

        LogStore::save(s.id, QStringLiteral("# Tidewell log"), {QStringLiteral("line")});
        s.lastExitCode = 23;
        LogViewerView present(s, m_h->desktop.get());
        QCOMPARE(present.shownText(), QStringLiteral("# Tidewell log\nline\n"));
        QCOMPARE(present.findChild<QLabel *>(QStringLiteral("logResult"))->text(), QStringLiteral("Failed (exit 23)"));
        QTest::mouseClick(present.findChild<QPushButton *>(QStringLiteral("revealLog")), Qt::LeftButton);
        QCOMPARE(m_h->revealed.last(), QStringLiteral("reveal ") + LogStore::logFile(s.id));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_MainWindow.moc"
