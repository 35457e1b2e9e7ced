// SPDX-License-Identifier: GPL-3.0-or-later
// What a screen reader and a keyboard meet in every window: a name for each
// control that takes focus, and a Tab order that reads as the layout does;
// and windows that open within the screen.
#include "core/engine/RsyncRunner.h"
#include "core/storage/ConfigStore.h"
#include "fixtures/Files.h"
#include "fixtures/WindowHarness.h"
#include "ui/editor/ServerDetailView.h"
#include "ui/main/MainWindow.h"
#include "ui/restore/CompareDialog.h"
#include "ui/restore/RestoreView.h"
#include "ui/restore/VersionsDialog.h"
#include "ui/run/BackupRunView.h"
#include "ui/run/LogViewerView.h"
#include "ui/settings/SettingsView.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAccessible>
#include <QApplication>
#include <QListView>
#include <QScreen>
#include <QTest>

using namespace TestHelpers;

namespace {

// The controls a Tab can reach in `window` as it is shown now.
QList<QWidget *> tabStops(QWidget *window)
{
    QList<QWidget *> stops;
    for (QWidget *widget : window->findChildren<QWidget *>()) {
        if ((widget->focusPolicy() & Qt::TabFocus) && widget->isVisibleTo(window) && widget->isEnabled()
            && !widget->focusProxy())
            stops << widget;
    }
    return stops;
}

QString describe(const QWidget *widget)
{
    QString text = QString::fromLatin1(widget->metaObject()->className());
    if (!widget->objectName().isEmpty())
        text += u' ' + widget->objectName();
    if (const auto *button = qobject_cast<const QAbstractButton *>(widget))
        text += QStringLiteral(" “") + button->text() + QStringLiteral("”");
    for (const QWidget *up = widget->parentWidget(); up; up = up->parentWidget()) {
        if (!up->objectName().isEmpty() && !up->objectName().startsWith(QLatin1String("qt_"))) {
            text += QStringLiteral(" in ") + up->objectName();
            break;
        }
    }
    return text;
}

// Every control a Tab reaches, as a screen reader hears it: without a name,
// it is listed.
QStringList unnamed(QWidget *window)
{
    QStringList found;
    for (QWidget *widget : tabStops(window)) {
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(widget);
        if (!accessible || accessible->text(QAccessible::Name).trimmed().isEmpty())
            found << describe(widget);
    }
    return found;
}

// A scroll area is no stop of its own: its controls are.
QStringList scrollAreaStops(QWidget *window)
{
    QStringList found;
    for (QWidget *widget : tabStops(window)) {
        if (qobject_cast<QAbstractScrollArea *>(widget)
            && widget->metaObject()->className() == QByteArray("QScrollArea"))
            found << describe(widget);
    }
    return found;
}

QRect globalRect(const QWidget *widget)
{
    return QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size());
}

// Tab from each stop to the next, as QWidget does it: every step goes down,
// right along the same line, or to the next pane on the right (the last step
// wraps round, and is not counted).
QStringList stepsBack(QWidget *window)
{
    const QList<QWidget *> stops = tabStops(window);
    QList<QWidget *> order;
    for (QWidget *next = window->nextInFocusChain(); next != window; next = next->nextInFocusChain()) {
        if (stops.contains(next) && !order.contains(next))
            order << next;
    }
    QStringList found;
    for (qsizetype i = 1; i < order.size(); ++i) {
        const QRect from = globalRect(order.at(i - 1));
        const QRect to = globalRect(order.at(i));
        const bool sameLine = std::abs(to.center().y() - from.center().y()) <= std::max(from.height(), to.height()) / 2;
        const bool down = to.top() >= from.top() + 4 && !sameLine;
        // A pane to the right (the list, then the dashboard) starts at its top.
        const bool nextColumn = to.left() >= from.right();
        if (!(down || nextColumn || (sameLine && to.left() > from.left())))
            found << describe(order.at(i - 1)) + QStringLiteral(" → ") + describe(order.at(i));
    }
    return found;
}

#define expectNone(found)                                                                                              \
    do {                                                                                                               \
        const QStringList list = found;                                                                                \
        QVERIFY2(list.isEmpty(), qPrintable(list.join(QStringLiteral("; "))));                                         \
    } while (false)

} // namespace

class TestAccessibility : public QObject
{
    Q_OBJECT

    std::unique_ptr<WindowHarness> m_h;
    Server m_server;

private Q_SLOTS:
    void initTestCase()
    {
        // No session bus: schedules read as having no user manager.
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/tidewell-test-bus");
        QAccessible::setActive(true);
    }

    void init()
    {
        m_h = std::make_unique<WindowHarness>();
        m_server = runnableServer();
        m_server.paths.first().remotePath = QStringLiteral("/var/www");
        m_h->add(m_server);
        writeFile(m_h->destination() + QStringLiteral("/web/2026-12-01/Site/index.html"), "first");
        writeFile(m_h->destination() + QStringLiteral("/web/2026-12-02/Site/index.html"), "second");
    }

    void cleanup() { m_h.reset(); }

    void theMainWindowAndTheDashboard()
    {
        MainWindow window(m_h->context);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        expectNone(unnamed(&window));
        expectNone(scrollAreaStops(&window));
        expectNone(stepsBack(&window));
        // A row of the server list says its health and last run, not its name only.
        QAccessibleInterface *list = QAccessible::queryAccessibleInterface(window.serverList());
        QVERIFY(list && list->childCount() > 0);
        QAccessibleInterface *row = list->child(0);
        QCOMPARE(row->text(QAccessible::Name), QStringLiteral("web"));
        QCOMPARE(row->text(QAccessible::Description), QStringLiteral("Never ran"));
    }

    void everySectionOfTheEditor()
    {
        MainWindow window(m_h->context);
        window.show();
        window.select(m_server.id);
        auto *editor = qobject_cast<ServerDetailView *>(window.detailWidget());
        QVERIFY(editor);
        expectNone(unnamed(editor));
        expectNone(stepsBack(editor));
        expectNone(scrollAreaStops(&window));
    }

    void settings()
    {
        SettingsView view(&m_h->store, m_h->context.scheduler, m_h->context.dialogs, m_h->context.desktop);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        expectNone(unnamed(&view));
        expectNone(scrollAreaStops(&view));
        expectNone(stepsBack(&view));
        QVERIFY(view.accessibleName().contains(QLatin1String("Settings"))
                || view.windowTitle().contains(QLatin1String("Settings")));
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(&view);
        QVERIFY(accessible);
        QCOMPARE(accessible->role(), QAccessible::Window);
    }

    void theRestoreWindow()
    {
        RestoreView view(m_server.id, m_h->context);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        expectNone(unnamed(&view));
        expectNone(stepsBack(&view));
        const QString folder = m_h->destination() + QStringLiteral("/web");
        CompareDialog compare(m_server, folder, &view);
        compare.show();
        expectNone(unnamed(&compare));
        VersionsDialog versions(m_server, folder, QStringLiteral("/var/www/index.html"), &view);
        versions.show();
        expectNone(unnamed(&versions));
    }

    // Every window, frame and all, within the screen's free area (offscreen:
    // 800×600, smaller than the windows' own sizes), and resizable there.
    void everyWindowFitsTheScreen()
    {
        MainWindow main(m_h->context);
        main.show();
        const QString folder = m_h->destination() + QStringLiteral("/web");
        SettingsView settings(&m_h->store, m_h->context.scheduler, m_h->context.dialogs, m_h->context.desktop);
        QList<QWidget *> windows{&main, &settings};
        windows << new RestoreView(m_server.id, m_h->context, &main) << new CompareDialog(m_server, folder, &main)
                << new VersionsDialog(m_server, folder, QStringLiteral("/var/www/index.html"), &main)
                << new LogViewerView(m_server, m_h->context.desktop, &main)
                << new BackupRunView(&m_h->runner, m_h->context.desktop, &main);
        for (QWidget *window : std::as_const(windows)) {
            window->show();
            QVERIFY(QTest::qWaitForWindowExposed(window));
            const QRect available = window->screen()->availableGeometry();
            QTRY_VERIFY2(available.contains(window->frameGeometry()), window->metaObject()->className());
            QVERIFY2(window->minimumWidth() <= available.width() && window->minimumHeight() <= available.height(),
                     window->metaObject()->className());
            QVERIFY2(window->maximumWidth() > window->width(), window->metaObject()->className());
            window->hide();
        }
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_Accessibility.moc"
