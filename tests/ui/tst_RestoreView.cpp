// SPDX-License-Identifier: GPL-3.0-or-later
// The restore window, offscreen, over snapshots made on disk: remote paths at
// the top of the tree, search, versions, and a restore to this computer.
#include "core/engine/Snapshots.h"
#include "core/storage/ConfigStore.h"
#include "fixtures/Files.h"
#include "fixtures/WindowHarness.h"
#include "ui/restore/CompareDialog.h"
#include "ui/restore/DiffDialog.h"
#include "ui/restore/RestoreView.h"
#include "ui/restore/VersionsDialog.h"
#include "ui/widgets/Dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTest>
#include <QTreeView>
#include <QTreeWidget>

#include <unistd.h>

using namespace TestHelpers;

class TestRestoreView : public QObject
{
    Q_OBJECT

    std::unique_ptr<WindowHarness> m_h;
    Server m_server;

    QString snapshot(const QString &date) const { return m_h->destination() + QStringLiteral("/web/") + date; }

private Q_SLOTS:
    // Three days of "web": /var/www (a folder path) and /etc/app.conf (a file
    // path). index.html is the same file (a hard link) on the 1st and 2nd.
    void init()
    {
        m_h = std::make_unique<WindowHarness>();
        m_server = runnableServer();
        m_server.paths.first().remotePath = QStringLiteral("/var/www");
        BackupPath conf;
        conf.name = QStringLiteral("Conf");
        conf.remotePath = QStringLiteral("/etc/app.conf");
        conf.isDirectory = false;
        m_server.paths << conf;
        m_h->add(m_server);
        int version = 0;
        for (const char *date : {"2026-12-01", "2026-12-02", "2026-12-03"}) {
            const QString day = snapshot(QLatin1String(date));
            // A size of its own each day: written within one second, only the size tells them apart.
            writeFile(day + QStringLiteral("/Conf/app.conf"),
                      QByteArray("conf of ") + date + QByteArray(++version, '!'));
            writeFile(day + QStringLiteral("/Site/sub/deep.txt"), "deep");
        }
        writeFile(snapshot(QStringLiteral("2026-12-01")) + QStringLiteral("/Site/index.html"), "first");
        QCOMPARE(::link(QFile::encodeName(snapshot(QStringLiteral("2026-12-01")) + QStringLiteral("/Site/index.html"))
                            .constData(),
                        QFile::encodeName(snapshot(QStringLiteral("2026-12-02")) + QStringLiteral("/Site/index.html"))
                            .constData()),
                 0);
        writeFile(snapshot(QStringLiteral("2026-12-03")) + QStringLiteral("/Site/index.html"), "third, and longer");
        writeFile(snapshot(QStringLiteral("2026-12-03")) + u'/' + Snapshots::incompleteMarker, "");
    }

    void cleanup() { m_h.reset(); }

    void theTreeShowsRemotePaths()
    {
        RestoreView view(m_server.id, m_h->context);
        view.show();
        QCOMPARE(view.selectedSnapshot(), QStringLiteral("2026-12-03")); // the newest
        QCOMPARE(view.topLevelNames(), (QStringList{QStringLiteral("/var/www"), QStringLiteral("/etc/app.conf")}));
        // What the view draws, not only what the model holds.
        auto *shown = view.findChild<QTreeView *>(QStringLiteral("restoreTree"));
        QVERIFY(shown->visualRect(shown->model()->index(1, 0)).isValid());
        QVERIFY(view.statusText().contains(QStringLiteral("incomplete")));
        // A folder is read when it is opened.
        auto *tree = view.findChild<QTreeView *>(QStringLiteral("restoreTree"));
        const QModelIndex www = tree->model()->index(0, 0);
        QCOMPARE(tree->model()->rowCount(www), 0);
        QVERIFY(tree->model()->hasChildren(www));
        QVERIFY(tree->model()->canFetchMore(www));
        tree->model()->fetchMore(www); // as the view does when the folder is opened
        QCOMPARE(tree->model()->rowCount(www), 2);
        QCOMPARE(tree->model()->index(0, 0, www).data().toString(), QStringLiteral("sub"));
        QCOMPARE(tree->model()->index(1, 0, www).data(Qt::ToolTipRole).toString(),
                 QStringLiteral("/var/www/index.html"));

        view.findChild<QLineEdit *>(QStringLiteral("restoreFind"))->setText(QStringLiteral("DEEP"));
        QTRY_COMPARE(view.searchResults(), QStringList{QStringLiteral("/var/www/sub/deep.txt")});
    }

    // A file deleted two days ago: Find looks through every backup, newest
    // first, finds it once, in the newest that holds it, and restores it
    // from there; or, asked to, in the chosen backup only.
    void findLooksInEveryBackup()
    {
        writeFile(snapshot(QStringLiteral("2026-12-01")) + QStringLiteral("/Site/gone.txt"), "gone since the 2nd");
        writeFile(snapshot(QStringLiteral("2026-12-02")) + QStringLiteral("/Site/sub/gone too.txt"), "gone on the 3rd");
        RestoreView view(m_server.id, m_h->context);
        QCOMPARE(view.selectedSnapshot(), QStringLiteral("2026-12-03"));
        auto *find = view.findChild<QLineEdit *>(QStringLiteral("restoreFind"));
        find->setText(QStringLiteral("GONE"));
        auto *results = view.findChild<QTreeWidget *>(QStringLiteral("restoreResults"));
        QTRY_COMPARE(results->topLevelItemCount(), 2);
        QTRY_COMPARE(view.statusText(), QStringLiteral("2 found."));
        QStringList found;
        for (int i = 0; i < results->topLevelItemCount(); ++i)
            found << results->topLevelItem(i)->text(0) + u' ' + results->topLevelItem(i)->text(1);
        QCOMPARE(found, (QStringList{QStringLiteral("/var/www/gone.txt 2026-12-01"),
                                     QStringLiteral("/var/www/sub/gone too.txt 2026-12-02")}));
        // deep.txt is in all three: found once, in the newest.
        find->setText(QStringLiteral("deep"));
        QTRY_COMPARE(view.searchResults(), QStringList{QStringLiteral("/var/www/sub/deep.txt")});
        QCOMPARE(results->topLevelItem(0)->text(1), QStringLiteral("2026-12-03"));

        find->setText(QStringLiteral("gone.txt"));
        QTRY_COMPARE(view.searchResults(), QStringList{QStringLiteral("/var/www/gone.txt")});
        results->topLevelItem(0)->setSelected(true);
        const QString target = m_h->home.path() + QStringLiteral("/out");
        m_h->dialogs->setNextRestoreTarget(Dialogs::RestoreTarget{target, false});
        view.restoreToComputer();
        QTRY_VERIFY(view.statusText().startsWith(QStringLiteral("Restored 1 file(s) to ")));
        QCOMPARE(readFile(target + QStringLiteral("/gone.txt")), QByteArray("gone since the 2nd"));

        // Two backups at once are not mixed in one restore.
        find->setText(QStringLiteral("gone"));
        QTRY_COMPARE(results->topLevelItemCount(), 2);
        results->selectAll();
        view.restoreToComputer();
        QCOMPARE(view.statusText(),
                 QStringLiteral("These come from several backups: restore those of one backup at a time."));

        view.findChild<QCheckBox *>(QStringLiteral("findEveryBackup"))->setChecked(false);
        QTRY_COMPARE(view.statusText(), QStringLiteral("0 found."));
    }

    // With one backup only, it is shown at once too.
    void aSingleBackupIsShown()
    {
        QDir(snapshot(QStringLiteral("2026-12-01"))).removeRecursively();
        QDir(snapshot(QStringLiteral("2026-12-02"))).removeRecursively();
        RestoreView view(m_server.id, m_h->context);
        view.show();
        QCOMPARE(view.selectedSnapshot(), QStringLiteral("2026-12-03"));
        QCOMPARE(view.topLevelNames().size(), 2);
    }

    // A second copy in a folder is read as the destination; one over ssh
    // is named, but read from the command line.
    void readFromASecondCopy()
    {
        const QString drive = m_h->home.path() + QStringLiteral("/usb");
        writeFile(drive + QStringLiteral("/web/2026-11-30/Site/old.txt"), "old");
        m_h->store.update([&drive](AppSettings &s) {
            CopyTarget usb;
            usb.name = QStringLiteral("usb");
            usb.path = drive;
            CopyTarget vault;
            vault.name = QStringLiteral("vault");
            vault.kind = CopyTarget::Kind::ssh;
            s.copyTargets = {usb, vault};
        });
        RestoreView view(m_server.id, m_h->context);
        view.show();
        auto *source = view.findChild<QComboBox *>(QStringLiteral("restoreSource"));
        QVERIFY(source->isVisible());
        QCOMPARE(source->count(), 3);
        QCOMPARE(view.selectedSnapshot(), QStringLiteral("2026-12-03"));
        source->setCurrentIndex(1);
        QCOMPARE(view.selectedSnapshot(), QStringLiteral("2026-11-30"));
        QCOMPARE(view.topLevelNames(), (QStringList{QStringLiteral("/var/www")}));
        QVERIFY(!qobject_cast<QStandardItemModel *>(source->model())->item(2)->isEnabled());
    }

    void versionsAreListed()
    {
        VersionsDialog dialog(m_server, m_h->destination() + QStringLiteral("/web"),
                              QStringLiteral("/var/www/index.html"), nullptr);
        // The 3rd is incomplete and not listed; the 1st and 2nd share one file.
        QCOMPARE(dialog.rows().size(), 1);
        QVERIFY(dialog.rows().first().startsWith(QStringLiteral("2026-12-01 to 2026-12-02 |")));
        QVERIFY(dialog.rows().first().endsWith(QStringLiteral("| 2")));
        QSignalSpy requested(&dialog, &VersionsDialog::restoreRequested);
        dialog.findChild<QPushButton *>(QStringLiteral("versionToComputer"))->click();
        QCOMPARE(requested.size(), 1);
        QCOMPARE(requested.first().at(0).toString(), QStringLiteral("2026-12-02"));
    }

    void compareShowsTheChange()
    {
        CompareDialog dialog(m_server, m_h->destination() + QStringLiteral("/web"), nullptr);
        dialog.setDates(QStringLiteral("2026-12-01"), QStringLiteral("2026-12-03"));
        dialog.compare();
        QTRY_VERIFY(!dialog.isComparing());
        QCOMPARE(dialog.rows(),
                 (QStringList{QStringLiteral("changed /etc/app.conf"), QStringLiteral("changed /var/www/index.html")}));
    }

    // What changed inside a file: from Compare's list, as a unified diff
    // whose header names the remote path and the day; a binary file says
    // so in Versions. A row of the list restores the file as that day has it.
    void changesInsideAFile()
    {
        CompareDialog compare(m_server, m_h->destination() + QStringLiteral("/web"), nullptr);
        compare.setDates(QStringLiteral("2026-12-01"), QStringLiteral("2026-12-03"));
        compare.compare();
        QTRY_VERIFY(!compare.isComparing());
        compare.selectRow(0);
        QCOMPARE(compare.rows().first(), QStringLiteral("changed /etc/app.conf"));
        compare.showChanges();
        auto *diff = compare.findChild<DiffDialog *>();
        QVERIFY(diff);
        QTRY_VERIFY(diff->isReady());
        QVERIFY2(diff->text().startsWith(QStringLiteral("--- /etc/app.conf (2026-12-01)\n+++ /etc/app.conf "
                                                        "(2026-12-03)\n")),
                 qPrintable(diff->text()));
        QVERIFY(diff->text().contains(QStringLiteral("\n-conf of 2026-12-01!\n")));
        QVERIFY(diff->text().contains(QStringLiteral("\n+conf of 2026-12-03!!!\n")));
        QSignalSpy restore(&compare, &CompareDialog::restoreRequested);
        compare.findChild<QPushButton *>(QStringLiteral("compareToComputer"))->click();
        QCOMPARE(restore.size(), 1);
        QCOMPARE(restore.first().at(0).toString(), QStringLiteral("2026-12-03"));
        QCOMPARE(restore.first().at(1).toString(),
                 snapshot(QStringLiteral("2026-12-03")) + QStringLiteral("/Conf/app.conf"));
        QCOMPARE(restore.first().at(2).toString(), QStringLiteral("/etc/app.conf"));

        QByteArray image(4096, '\0');
        writeFile(snapshot(QStringLiteral("2026-12-01")) + QStringLiteral("/Site/logo.png"), image);
        image[10] = 'x';
        writeFile(snapshot(QStringLiteral("2026-12-02")) + QStringLiteral("/Site/logo.png"), image + "longer");
        VersionsDialog versions(m_server, m_h->destination() + QStringLiteral("/web"),
                                QStringLiteral("/var/www/logo.png"), nullptr);
        QCOMPARE(versions.rows().size(), 2);
        versions.selectRow(1);
        QVERIFY(!versions.changesButton()->isEnabled()); // nothing older to compare with
        versions.selectRow(0);
        versions.changesButton()->click();
        auto *binary = versions.findChild<DiffDialog *>();
        QTRY_VERIFY(binary && binary->isReady());
        QCOMPARE(binary->state(), QStringLiteral("Not a text file: its changes cannot be shown line by line."));
    }

    // From an incomplete backup only when the user says so; a file that is
    // there is kept when the user asks to keep both.
    void restoreToThisComputer()
    {
        RestoreView view(m_server.id, m_h->context);
        auto *tree = view.findChild<QTreeView *>(QStringLiteral("restoreTree"));
        tree->selectionModel()->select(tree->model()->index(1, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QCOMPARE(view.selectedItems(), QStringList{QStringLiteral("/etc/app.conf")});
        const QString target = m_h->home.path() + QStringLiteral("/out");
        writeFile(target + QStringLiteral("/app.conf"), "mine");

        m_h->dialogs->setNextAnswer(false); // not from an incomplete backup
        view.restoreToComputer();
        QVERIFY(
            m_h->dialogs->askedTexts().last().startsWith(QStringLiteral("The backup of 2026-12-03 is incomplete.")));
        QVERIFY(!QFile::exists(target + QStringLiteral("/app (restored 2026-12-03).conf")));

        m_h->dialogs->setNextAnswer(true);
        m_h->dialogs->setNextRestoreTarget(Dialogs::RestoreTarget{target, false});
        m_h->dialogs->setNextConflictAnswer({LocalRestore::Choice::keepBoth, false, false});
        view.restoreToComputer();
        QTRY_VERIFY(view.statusText().startsWith(QStringLiteral("Restored 1 file(s) to ")));
        QCOMPARE(readFile(target + QStringLiteral("/app.conf")), QByteArray("mine"));
        QCOMPARE(readFile(target + QStringLiteral("/app (restored 2026-12-03).conf")),
                 QByteArray("conf of 2026-12-03!!!"));
    }
};

QTEST_MAIN(TestRestoreView)
#include "tst_RestoreView.moc"
