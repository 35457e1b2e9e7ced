// SPDX-License-Identifier: GPL-3.0-or-later
// The server editor, offscreen, against a real sshd.
#include "core/engine/CopyState.h"
#include "core/engine/Fingerprints.h"
#include "core/engine/MassChange.h"
#include "core/engine/Retention.h"
#include "core/engine/RsyncRunner.h"
#include "core/engine/Snapshots.h"
#include "core/model/ReferenceDate.h"
#include "core/model/ServerCheck.h"
#include "core/schedule/Scheduler.h"
#include "core/ssh/HostKeyChecker.h"
#include "core/ssh/SSHTester.h"
#include "core/storage/ConfigStore.h"
#include "core/storage/LogStore.h"
#include "fixtures/BackupScenario.h"
#include "fixtures/Files.h"
#include "fixtures/SshdFixture.h"
#include "fixtures/WindowHarness.h"
#include "ui/editor/AdvancedSection.h"
#include "ui/editor/BackupsSection.h"
#include "ui/editor/PathRow.h"
#include "ui/editor/PreviewDialog.h"
#include "ui/editor/RemoteFolderDialog.h"
#include "ui/editor/ScheduleSection.h"
#include "ui/editor/ServerDetailView.h"
#include "ui/widgets/Dialogs.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <QTreeWidget>

#include <sys/xattr.h>

using namespace TestHelpers;

class TestServerDetailView : public QObject
{
    Q_OBJECT

    SshdFixture *m_sshd = nullptr;
    std::unique_ptr<WindowHarness> m_h;

    std::unique_ptr<ServerDetailView> editorFor(const Server &server)
    {
        m_h->store.update([&](AppSettings &s) { s.servers = {server}; });
        auto view = std::make_unique<ServerDetailView>(server.id, m_h->context);
        view->show();
        return view;
    }

    template<typename T>
    static T *child(QWidget *view, const char *name)
    {
        T *found = view->findChild<T *>(QLatin1String(name));
        if (!found)
            qFatal("no child %s", name);
        return found;
    }

    static void type(QLineEdit *edit, const QString &text)
    {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }

    Server stored() const { return m_h->store.settings().servers.first(); }

private Q_SLOTS:
    void initTestCase()
    {
        m_sshd = new SshdFixture;
        QVERIFY(m_sshd->isRunning());
    }

    void cleanupTestCase() { delete m_sshd; }

    void init() { m_h = std::make_unique<WindowHarness>(); }

    void cleanup() { m_h.reset(); }

    void titleAndConnectionFields()
    {
        Server server;
        auto view = editorFor(server);
        QCOMPARE(view->windowTitle(), QStringLiteral("Server"));
        type(child<QLineEdit>(view.get(), "nameField"), QStringLiteral("web"));
        QCOMPARE(view->windowTitle(), QStringLiteral("web"));
        QCOMPARE(stored().name, QStringLiteral("web"));
        type(child<QLineEdit>(view.get(), "portField"), QStringLiteral("2222"));
        QCOMPARE(stored().port, 2222);

        QVERIFY(child<QWidget>(view.get(), "keyRow")->isVisible());
        child<QCheckBox>(view.get(), "agentSwitch")->click();
        QVERIFY(stored().useSSHAgent);
        QVERIFY(!child<QWidget>(view.get(), "keyRow")->isVisible());
        child<QCheckBox>(view.get(), "agentSwitch")->click();
        QVERIFY(child<QWidget>(view.get(), "keyRow")->isVisible());
        QCOMPARE(child<QLineEdit>(view.get(), "keyField")->text(), QStringLiteral("~/.ssh/id_ed25519"));

        m_h->dialogs->setNextFileName(m_h->home.home() + QStringLiteral("/.ssh/../keys/id"));
        view->pickKey();
        QCOMPARE(stored().privateKeyPath, m_h->home.home() + QStringLiteral("/keys/id"));
    }

    // The port is a number from 1 to 65535, shown without digit grouping;
    // anything else is marked and not stored.
    void portFieldShowsAnInvalidEntry()
    {
        Server server;
        server.port = 22222;
        auto view = editorFor(server);
        auto *port = child<QLineEdit>(view.get(), "portField");
        QCOMPARE(port->text(), QStringLiteral("22222"));
        auto *problem = child<QLabel>(view.get(), "portProblem");
        QVERIFY(!problem->isVisible());
        for (const char *bad : {"0", "70000", "22x", ""}) {
            port->setFocus();
            port->selectAll();
            port->insert(QString::fromLatin1(bad)); // as pasted
            QVERIFY2(problem->isVisible(), bad);
            QCOMPARE(stored().port, 22222);
        }
        type(port, QStringLiteral("2222"));
        QVERIFY(!problem->isVisible());
        QCOMPARE(stored().port, 2222);
    }

    // Path rows belong to their path: an edit updates its row, the others stay as they are.
    void pathRowsAreKeptByID()
    {
        Server server;
        server.paths = {BackupPath{}, BackupPath{}};
        server.paths[0].name = QStringLiteral("one");
        server.paths[1].name = QStringLiteral("two");
        auto view = editorFor(server);
        const QList<PathRow *> before = view->findChildren<PathRow *>();
        QCOMPARE(before.size(), 2);
        m_h->store.updateServer(server.id, [](Server &s) { s.paths[1].remotePath = QStringLiteral("/srv/two"); });
        QCOMPARE(view->findChildren<PathRow *>(), before);
        m_h->store.updateServer(server.id, [](Server &s) { s.paths.removeFirst(); });
        QTRY_COMPARE(view->findChildren<PathRow *>().size(), 1);
        QCOMPARE(view->findChildren<PathRow *>().first(), before.at(1));
        QCOMPARE(view->findChildren<PathRow *>().first()->findChild<QLineEdit *>(QStringLiteral("pathRemote"))->text(),
                 QStringLiteral("/srv/two"));
    }

    void buttonsNeedHostAndUser()
    {
        Server server;
        auto view = editorFor(server);
        auto *test = child<QPushButton>(view.get(), "testConnection");
        auto *check = child<QPushButton>(view.get(), "checkHostKey");
        QVERIFY(!test->isEnabled());
        QVERIFY(!check->isEnabled());
        type(child<QLineEdit>(view.get(), "hostField"), QStringLiteral("127.0.0.1"));
        QVERIFY(!test->isEnabled());
        QVERIFY(check->isEnabled());
        type(child<QLineEdit>(view.get(), "userField"), QStringLiteral("me"));
        QVERIFY(test->isEnabled());
    }

    void realConnectionTest()
    {
        auto view = editorFor(m_sshd->server());
        QSignalSpy done(view.get(), &ServerDetailView::busyChanged);
        view->testConnection();
        QVERIFY(view->isTesting());
        QVERIFY(!child<QPushButton>(view.get(), "testConnection")->isEnabled());
        QCOMPARE(child<QPushButton>(view.get(), "testConnection")->text(), QStringLiteral("Testing…"));
        QVERIFY(done.wait(20000));
        QVERIFY(view->testReport() && view->testReport()->has_value());
        QVERIFY(child<QLabel>(view.get(), "testResult")->text().contains(QStringLiteral("Connected")));
        QVERIFY(child<QLabel>(view.get(), "testMessage")->text().startsWith(QStringLiteral("OK\n")));

        // The result was about that port: another one has none yet.
        type(child<QLineEdit>(view.get(), "portField"), QStringLiteral("2222"));
        QVERIFY(!view->testReport());
        QVERIFY(!child<QLabel>(view.get(), "testResult")->isVisibleTo(view.get()));
        QVERIFY(!child<QLabel>(view.get(), "testMessage")->isVisibleTo(view.get()));
    }

    // Tab goes through the editor top to bottom, left to right within a row.
    void tabFollowsTheLayout()
    {
        Server server = m_sshd->server();
        server.paths = {BackupPath{}};
        auto view = editorFor(server);
        view->resize(900, 700);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
        // With "Trust this host" shown, which comes after the check.
        m_sshd->forgetHostKey();
        QSignalSpy checked(view.get(), &ServerDetailView::busyChanged);
        view->checkHostKey();
        QVERIFY(checked.wait(20000));
        QTRY_VERIFY(view->findChild<QPushButton *>(QStringLiteral("trustHost")));
        QWidget *first = child<QLineEdit>(view.get(), "nameField");
        QWidget *at = first;
        QPoint last = at->mapTo(view.get(), QPoint(0, 0));
        QStringList out;
        for (int i = 0; i < 60; ++i) {
            at = at->nextInFocusChain();
            while (at != first
                   && !(at->isVisibleTo(view.get()) && at->isEnabled() && (at->focusPolicy() & Qt::TabFocus)
                        && view->isAncestorOf(at)))
                at = at->nextInFocusChain();
            // The scroll area around the editor closes the circle.
            if (at == first || at->isAncestorOf(first))
                break;
            const QPoint here = at->mapTo(view.get(), QPoint(0, 0));
            // Same row: further right; else further down.
            const bool sameRow = std::abs(here.y() - last.y()) < 12;
            if (sameRow ? here.x() <= last.x() : here.y() < last.y())
                out << QStringLiteral("%1 (%2,%3) after (%4,%5)")
                           .arg(at->objectName().isEmpty() ? QString::fromLatin1(at->metaObject()->className())
                                                           : at->objectName())
                           .arg(here.x())
                           .arg(here.y())
                           .arg(last.x())
                           .arg(last.y());
            last = here;
        }
        QVERIFY2(out.isEmpty(), qPrintable(out.join(u'\n')));
    }

    // The Advanced section writes each Keep setting; a test of a server whose
    // rsync runs through sudo asks sudo too; a refusal shows the sudoers line
    // with a Copy button.
    void advancedSettingsAndSudo()
    {
        Server server = m_sshd->server();
        auto view = editorFor(server);
        for (const char *name : {"keepOwnersSwitch", "keepHardLinksSwitch", "keepACLsSwitch", "keepXattrsSwitch",
                                 "numericIdsSwitch", "sparseSwitch", "remoteSudoSwitch"})
            child<QCheckBox>(view.get(), name)->click();
        const Server kept = stored();
        QVERIFY(kept.preserveOwnership && kept.preserveHardLinks && kept.preserveACLs && kept.preserveXattrs
                && kept.numericIds && kept.sparseFiles && kept.remoteSudo);
        type(child<QLineEdit>(view.get(), "remoteRsyncField"), QStringLiteral("/usr/bin/rsync"));
        QCOMPARE(stored().remoteRsyncPath, QStringLiteral("/usr/bin/rsync"));

        // The fixture logs in as root, whom sudo lets run anything.
        QSignalSpy done(view.get(), &ServerDetailView::busyChanged);
        view->testConnection();
        QVERIFY(done.wait(20000));
        QVERIFY2(view->testReport() && view->testReport()->has_value(),
                 qPrintable(child<QLabel>(view.get(), "testMessage")->text()));
        QVERIFY(child<QLabel>(view.get(), "testMessage")
                    ->text()
                    .contains(QStringLiteral("sudo runs /usr/bin/rsync on the server without a password.")));
        QVERIFY(!child<QLabel>(view.get(), "sudoersLine")->isVisibleTo(view.get()));

        auto *advanced = view->findChild<AdvancedSection *>();
        advanced->showSudo({false, QStringLiteral("sudo on the server would not run rsync without a password."),
                            QStringLiteral("deploy ALL=(root) NOPASSWD: /usr/bin/rsync")});
        QVERIFY(child<QLabel>(view.get(), "sudoersLine")->isVisibleTo(view.get()));
        child<QPushButton>(view.get(), "copySudoers")->click();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("deploy ALL=(root) NOPASSWD: /usr/bin/rsync"));

        // What the last run could not keep is said here, in the run's words.
        QDir().mkpath(QFileInfo(LogStore::logFile(server.id)).path());
        QVERIFY(writeFile(LogStore::logFile(server.id),
                          "→ exit 1\n!! The server's rsync does not support ACLs (-A): turn off “ACLs”.\n"));
        m_h->store.updateServer(server.id, [](Server &s) { ++s.lastRunSerial; });
        QCOMPARE(child<QLabel>(view.get(), "keepProblems")->text(),
                 QStringLiteral("Last run: The server's rsync does not support ACLs (-A): turn off “ACLs”."));

        // How days are made: the choice is stored, and the note says what the last run used.
        auto *method = child<QComboBox>(view.get(), "snapshotMethodChoice");
        QCOMPARE(method->currentData().toString(), QStringLiteral("auto"));
        QCOMPARE(child<QLabel>(view.get(), "snapshotsInUse")->text(), QStringLiteral("In use: hard links."));
        Q_EMIT method->activated(method->findData(QStringLiteral("btrfs")));
        QCOMPARE(stored().snapshotMethod, QStringLiteral("btrfs"));
        QVERIFY(child<QLabel>(view.get(), "snapshotsInUse")->text().contains(QStringLiteral("not on btrfs")));
        QVERIFY(writeFile(LogStore::logFile(server.id), "# Tidewell log\nSSH: u@h:22\nSnapshots: btrfs subvolumes\n"));
        m_h->store.updateServer(server.id, [](Server &s) { ++s.lastRunSerial; });
        QVERIFY(child<QLabel>(view.get(), "snapshotsInUse")->text().startsWith(QStringLiteral("In use: btrfs")));

        // A program path the server's shell would act on is refused before it is used.
        type(child<QLineEdit>(view.get(), "remoteRsyncField"), QStringLiteral("rsync; reboot"));
        QVERIFY(ServerCheck::problems(stored(), {}).size() == 1);
    }

    // Where the user is asked, a test on an unknown host shows the host key
    // first, records nothing, and goes on by itself once the key is trusted;
    // a result is about the host and port it was had for.
    void aNewHostKeyIsShownBeforeTheFirstConnection()
    {
        const auto policy = qScopeGuard([] { SSHTester::setHostKeyPolicy(SSHTester::HostKeyPolicy::acceptNew); });
        SSHTester::setHostKeyPolicy(SSHTester::HostKeyPolicy::strict);
        auto view = editorFor(m_sshd->server());
        QSignalSpy done(view.get(), &ServerDetailView::busyChanged);
        view->testConnection();
        QTRY_VERIFY_WITH_TIMEOUT(view->testReport() && view->hostStatus() && !view->isCheckingHost(), 20000);
        QVERIFY(!view->testReport()->has_value());
        QVERIFY(child<QLabel>(view.get(), "testMessage")->text().contains(QStringLiteral("not trusted yet")));
        QCOMPARE(view->hostStatus()->state().state, HostKeyChecker::Status::State::unknown);
        QVERIFY(view->hostActionMessage().contains(QStringLiteral("not trusted yet")));
        QVERIFY(!child<QLabel>(view.get(), "fingerprint")->text().isEmpty());
        QVERIFY(!QFile::exists(HostKeyChecker::knownHostsFile()));

        child<QPushButton>(view.get(), "trustHost")->click();
        QTRY_VERIFY_WITH_TIMEOUT(view->testReport() && view->testReport()->has_value() && !view->isTesting(), 30000);
        QCOMPARE(view->hostStatus()->state().state, HostKeyChecker::Status::State::trusted);

        type(child<QLineEdit>(view.get(), "portField"), QStringLiteral("2222"));
        QVERIFY(!view->hostStatus());
        QVERIFY(!view->testReport());
    }

    // "deploy@host:port" pasted into Host fills three fields and says so.
    void whatIsPastedIntoHostIsSplit()
    {
        auto view = editorFor(m_sshd->server());
        auto *host = child<QLineEdit>(view.get(), "hostField");
        type(host, QStringLiteral("ssh://deploy@backup.example.org:2200/"));
        QTest::keyClick(host, Qt::Key_Return);
        QCOMPARE(stored().host, QStringLiteral("backup.example.org"));
        QCOMPARE(stored().username, QStringLiteral("deploy"));
        QCOMPARE(stored().port, 2200);
        QCOMPARE(host->text(), QStringLiteral("backup.example.org"));
        QCOMPARE(child<QLineEdit>(view.get(), "userField")->text(), QStringLiteral("deploy"));
        QCOMPARE(child<QLineEdit>(view.get(), "portField")->text(), QStringLiteral("2200"));
        auto *said = child<QLabel>(view.get(), "hostSplit");
        QVERIFY(said->isVisibleTo(view.get()));
        QVERIFY(said->text().contains(QStringLiteral("user “deploy”")));
        QVERIFY(said->text().contains(QStringLiteral("port 2200")));
        type(host, QStringLiteral("other.example.org"));
        QVERIFY(!said->isVisibleTo(view.get()));
    }

    // Under the key: what to do about it, one click away.
    void theKeyRowSaysWhatToDo()
    {
        Server server = m_sshd->server();
        server.privateKeyPath = m_h->home.home() + QStringLiteral("/.ssh/id_ed25519");
        auto view = editorFor(server);
        auto *note = child<QLabel>(view.get(), "keyNote");
        auto *create = child<QPushButton>(view.get(), "createKey");
        QTRY_VERIFY(note->text().startsWith(QStringLiteral("There is no key at this path yet")));
        QVERIFY(create->isVisibleTo(view.get()));
        create->click();
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(server.privateKeyPath) && !create->isVisibleTo(view.get()), 20000);
        QTRY_VERIFY(child<QPushButton>(view.get(), "installKey")->isVisibleTo(view.get()));
        QCOMPARE(note->text(), QStringLiteral("Key created. Next: install it on the server."));

        // A key with a passphrase: the agent switch is the way.
        const QString locked = m_h->home.path() + QStringLiteral("/locked");
        QCOMPARE(
            QProcess::execute(QStringLiteral("/usr/bin/ssh-keygen"),
                              {QStringLiteral("-q"), QStringLiteral("-t"), QStringLiteral("ed25519"),
                               QStringLiteral("-N"), QStringLiteral("secret phrase"), QStringLiteral("-f"), locked}),
            0);
        type(child<QLineEdit>(view.get(), "keyField"), locked);
        QTRY_VERIFY(note->text().startsWith(
            QStringLiteral("This key has a passphrase: turn on “Use ssh-agent” and add it with ssh-add\n")));
        auto *separate = child<QPushButton>(view.get(), "separateKey");
        QVERIFY(separate->isVisibleTo(view.get()));
        // Without an agent: a key of Tidewell's own, made and installed.
        QVERIFY(QDir().mkpath(m_h->home.home() + QStringLiteral("/.ssh")));
        writeFile(m_h->home.home() + QStringLiteral("/.ssh/tidewell_ed25519"), "someone else's");
        m_h->dialogs->setNextText(std::nullopt); // the password is not given this time
        separate->click();
        QCOMPARE(stored().privateKeyPath, QStringLiteral("~/.ssh/tidewell_2_ed25519"));
        QCOMPARE(readFile(m_h->home.home() + QStringLiteral("/.ssh/tidewell_ed25519")), QByteArray("someone else's"));
        // Installed as any key is: the host key first, then the password.
        QTRY_VERIFY(note->text().startsWith(QStringLiteral("Trust the server's host key first"))
                    || (!m_h->dialogs->askedTexts().isEmpty()
                        && m_h->dialogs->askedTexts().last().contains(QStringLiteral("Password of"))));

        // The agent switch; the button that goes leaves the focus with the switch.
        type(child<QLineEdit>(view.get(), "keyField"), locked);
        auto *useAgent = child<QPushButton>(view.get(), "useAgent");
        QTRY_VERIFY(useAgent->isVisibleTo(view.get()));
        view->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(view.get()));
        useAgent->setFocus();
        QVERIFY(useAgent->hasFocus());
        useAgent->click();
        QVERIFY(stored().useSSHAgent);
        QTRY_VERIFY(!useAgent->isVisible());
        QVERIFY(child<QCheckBox>(view.get(), "agentSwitch")->hasFocus());
    }

    // "Browse…" lists the server's folders; entering, going up and choosing
    // a file fill the path and its kind.
    void theRemoteBrowserFillsThePath()
    {
        Server server = m_sshd->server();
        BackupPath path;
        server.paths = {path};
        auto view = editorFor(server);
        const QString root = m_h->home.path() + QStringLiteral("/remote tree");
        QVERIFY(QDir().mkpath(root + QStringLiteral("/ü folder")));
        writeFile(root + QStringLiteral("/a file"), "x");

        QPointer<RemoteFolderDialog> dialog = view->browsePath(path.id);
        QVERIFY(dialog);
        QSignalSpy listed(dialog.data(), &RemoteFolderDialog::listed);
        QVERIFY(listed.wait(20000)); // the account's home first
        dialog->showFolder(root);
        QVERIFY(listed.wait(20000));
        auto *entries = dialog->findChild<QListWidget *>(QStringLiteral("remoteEntries"));
        QCOMPARE(entries->count(), 2);
        QCOMPARE(entries->item(0)->text(), QStringLiteral("ü folder"));
        Q_EMIT entries->itemActivated(entries->item(0));
        QVERIFY(listed.wait(20000));
        QCOMPARE(dialog->folder(), root + QStringLiteral("/ü folder"));
        child<QPushButton>(dialog.data(), "remoteUp")->click();
        QVERIFY(listed.wait(20000));
        entries->setCurrentRow(1);
        child<QPushButton>(dialog.data(), "remoteChoose")->click();
        QCOMPARE(stored().paths.first().remotePath, root + QStringLiteral("/a file"));
        QVERIFY(!stored().paths.first().isDirectory);
        QCOMPARE(stored().paths.first().name, QStringLiteral("a file")); // named after it, having no label
    }

    void realHostKeyCheckAndTrust()
    {
        auto view = editorFor(m_sshd->server());
        QSignalSpy done(view.get(), &ServerDetailView::busyChanged);
        view->checkHostKey();
        QVERIFY(!child<QPushButton>(view.get(), "checkHostKey")->isEnabled());
        QVERIFY(done.wait(20000));
        QCOMPARE(view->hostStatus()->state().state, HostKeyChecker::Status::State::unknown);
        QVERIFY(child<QLabel>(view.get(), "hostBadge")->text().contains(QStringLiteral("Unknown host")));
        auto *trust = child<QPushButton>(view.get(), "trustHost");
        trust->click();
        QTRY_VERIFY_WITH_TIMEOUT(view->hostStatus()->state().state == HostKeyChecker::Status::State::trusted
                                     && !view->isCheckingHost(),
                                 20000);
        QCOMPARE(view->hostActionMessage(), QStringLiteral("Host key added to ~/.ssh/known_hosts."));
        QVERIFY(child<QLabel>(view.get(), "hostBadge")->text().contains(QStringLiteral("Trusted")));
        QVERIFY(!view->findChild<QPushButton *>(QStringLiteral("trustHost"))
                || !view->findChild<QPushButton *>(QStringLiteral("trustHost"))->isVisible());
        QVERIFY(QFile::exists(m_h->home.home() + QStringLiteral("/.ssh/known_hosts")));
    }

    // A key that changed is a dead end no longer: once the user confirms
    // (both keys shown), the stored entries go and the new key is trusted.
    void aChangedHostKeyCanBeReplaced()
    {
        const QString other = m_h->home.path() + QStringLiteral("/other_key");
        QVERIFY(QProcess::execute(QStringLiteral("/usr/bin/ssh-keygen"),
                                  {QStringLiteral("-q"), QStringLiteral("-N"), QString(), QStringLiteral("-t"),
                                   QStringLiteral("ed25519"), QStringLiteral("-f"), other})
                == 0);
        const QString known = m_h->home.home() + QStringLiteral("/.ssh/known_hosts");
        const QByteArray stale = QStringLiteral("[127.0.0.1]:%1 ").arg(m_sshd->port()).toUtf8()
                                 + readFile(other + QStringLiteral(".pub")).split(' ').mid(0, 2).join(' ') + '\n';
        QVERIFY(writeFile(known, stale));
        auto view = editorFor(m_sshd->server());
        QSignalSpy done(view.get(), &ServerDetailView::busyChanged);
        view->checkHostKey();
        QTRY_VERIFY_WITH_TIMEOUT(view->hostStatus() && !view->isCheckingHost(), 20000);
        QCOMPARE(view->hostStatus()->state().state, HostKeyChecker::Status::State::mismatch);
        const auto shown = view->hostStatus()->state();
        auto *replace = child<QPushButton>(view.get(), "replaceHostKey");
        m_h->dialogs->setNextAnswer(false);
        replace->click();
        QVERIFY(m_h->dialogs->askedTexts().last().contains(shown.live.sha256));
        QVERIFY(m_h->dialogs->askedTexts().last().contains(shown.known.sha256));
        QCOMPARE(readFile(known), stale); // not without a yes
        m_h->dialogs->setNextAnswer(true);
        child<QPushButton>(view.get(), "replaceHostKey")->click();
        QTRY_VERIFY_WITH_TIMEOUT(view->hostStatus()->state().state == HostKeyChecker::Status::State::trusted
                                     && !view->isCheckingHost(),
                                 20000);
        QCOMPARE(view->hostActionMessage(), QStringLiteral("The old host key was removed and the new one trusted."));
        QVERIFY(child<QLabel>(view.get(), "hostBadge")->text().contains(QStringLiteral("Trusted")));
        QVERIFY(!readFile(known).contains(stale.trimmed()));
    }

    // The switch applies at once; a time when its editing is finished, so
    // typing "7:30" installs one timer, at 07:30, and none at 07:03 on the way.
    void scheduleFollowsTheFields()
    {
        Server server;
        auto view = editorFor(server);
        auto *section = view->findChild<ScheduleSection *>();
        auto *time = child<QLineEdit>(view.get(), "timeField");
        const auto timer = [&] { return readFile(m_h->scheduler->plistURL(server.id)); };
        const auto restarts = [&] { return readFile(m_h->calls()).count("--user restart"); };
        QVERIFY(!time->isEnabled());
        child<QCheckBox>(view.get(), "scheduleSwitch")->click();
        QVERIFY(time->isEnabled());
        QTRY_VERIFY(timer().contains("OnCalendar=*-*-* 03:00:00"));
        QTRY_VERIFY(!section->isSyncing());
        const qsizetype before = restarts();

        type(time, QStringLiteral("7"));
        QCOMPARE(stored().scheduleTime, QStringLiteral("03:00")); // nothing applied while typing
        QTest::keyClick(time, Qt::Key_Return);
        QTRY_COMPARE(view->scheduleError(), QStringLiteral("Invalid schedule time '7'. Use HH:mm (24h)."));
        QVERIFY(child<QLabel>(view.get(), "scheduleError")->isVisible());
        QTest::keyClicks(time, QStringLiteral(":3"));
        QTest::keyClicks(time, QStringLiteral("0"));
        QCOMPARE(restarts(), before);
        QTest::keyClick(time, Qt::Key_Return);
        QTRY_COMPARE(view->scheduleError(), QString());
        QTRY_VERIFY(timer().contains("OnCalendar=*-*-* 07:30:00"));
        QTRY_VERIFY(!section->isSyncing());
        QCOMPARE(restarts(), before + 1);
        QCOMPARE(stored().scheduleTime, QStringLiteral("7:30"));

        child<QCheckBox>(view.get(), "scheduleSwitch")->click();
        QVERIFY(!stored().scheduleEnabled);
        QTRY_VERIFY(!QFile::exists(m_h->scheduler->plistURL(server.id)));
        // Switched on and off faster than systemd answers: it ends as the switch says.
        child<QCheckBox>(view.get(), "scheduleSwitch")->click();
        child<QCheckBox>(view.get(), "scheduleSwitch")->click();
        child<QCheckBox>(view.get(), "scheduleSwitch")->click();
        QTRY_VERIFY(!section->isSyncing());
        QVERIFY(stored().scheduleEnabled);
        QVERIFY(timer().contains("OnCalendar=*-*-* 07:30:00"));
    }

    // Another kind of schedule shows only its own fields and is installed at
    // once; a custom calendar shows systemd's next times, or its refusal.
    // The commands on this computer are typed as one line each and kept as
    // their words; one that cannot run says why under them and stops runs.
    void commandsOnThisComputer()
    {
        Server server;
        server.name = QStringLiteral("web");
        server.host = QStringLiteral("web.example");
        server.username = QStringLiteral("backup");
        BackupPath path;
        path.remotePath = QStringLiteral("/etc");
        server.paths = {path};
        auto view = editorFor(server);
        auto *before = child<QLineEdit>(view.get(), "localBeforeCommand");
        auto *problem = child<QLabel>(view.get(), "commandsProblem");
        QVERIFY(!problem->isVisibleTo(view.get()));
        type(before, QStringLiteral("/bin/echo \"two words\" --now"));
        QCOMPARE(stored().localBeforeCommand,
                 (QStringList{QStringLiteral("/bin/echo"), QStringLiteral("two words"), QStringLiteral("--now")}));
        QVERIFY(!problem->isVisibleTo(view.get()));
        QVERIFY(view->problemTexts().isEmpty());

        type(child<QLineEdit>(view.get(), "localAfterFailureCommand"), QStringLiteral("notify-me"));
        QCOMPARE(stored().localAfterFailureCommand, QStringList{QStringLiteral("notify-me")});
        QTRY_VERIFY(problem->isVisibleTo(view.get()));
        QVERIFY2(problem->text().contains(QStringLiteral("absolute path")), qPrintable(problem->text()));
        QCOMPARE(view->problemTexts().size(), 1);

        auto *limit = child<QSpinBox>(view.get(), "hookTimeoutSeconds");
        QCOMPARE(limit->value(), 600);
        limit->setValue(30);
        QCOMPARE(stored().hookTimeoutSeconds, 30);

        // The path's command after the transfer, beside the one before it.
        auto *after = child<QPlainTextEdit>(view.get(), "pathAfterCommand");
        after->setFocus();
        QTest::keyClicks(after, QStringLiteral("rm -f /var/backups/db.dump"));
        QCOMPARE(stored().paths.at(0).postBackupCommand, QStringLiteral("rm -f /var/backups/db.dump"));

        // A path that is a database dump: its kind, database and account.
        auto *dumpRow = child<QComboBox>(view.get(), "pathDumpKind");
        QVERIFY(!dumpRow->isVisibleTo(view.get()));
        child<QRadioButton>(view.get(), "pathDump")->click();
        QCOMPARE(stored().paths.at(0).dumpKind, QStringLiteral("postgresql"));
        QTRY_VERIFY(dumpRow->isVisibleTo(view.get()));
        dumpRow->setCurrentIndex(dumpRow->findData(QStringLiteral("sqlite")));
        Q_EMIT dumpRow->activated(dumpRow->currentIndex());
        type(child<QLineEdit>(view.get(), "pathDumpDatabase"), QStringLiteral("app.db"));
        QCOMPARE(stored().paths.at(0).dumpKind, QStringLiteral("sqlite"));
        QCOMPARE(stored().paths.at(0).dumpDatabase, QStringLiteral("app.db"));
        // Not a path on the server: said, and the run refused.
        QTRY_VERIFY(view->problemTexts().join(u'\n').contains(QStringLiteral("must be a path on the server")));
        child<QRadioButton>(view.get(), "pathDirectory")->click();
        QVERIFY(stored().paths.at(0).dumpKind.isEmpty());
        QVERIFY(stored().paths.at(0).isDirectory);
    }

    void otherKindsOfSchedule()
    {
        Server server;
        auto view = editorFor(server);
        auto *section = view->findChild<ScheduleSection *>();
        const auto timer = [&] { return readFile(m_h->scheduler->plistURL(server.id)); };
        child<QCheckBox>(view.get(), "scheduleSwitch")->click();
        QTRY_VERIFY(timer().contains("OnCalendar=*-*-* 03:00:00"));
        QTRY_VERIFY(!section->isSyncing());
        auto *kind = child<QComboBox>(view.get(), "scheduleKind");
        auto *hours = child<QComboBox>(view.get(), "scheduleEveryHours");
        auto *weekday = child<QComboBox>(view.get(), "scheduleWeekday");
        auto *calendar = child<QLineEdit>(view.get(), "scheduleCalendar");
        const auto choose = [](QComboBox *box, const QVariant &value) {
            box->setCurrentIndex(box->findData(value));
            Q_EMIT box->activated(box->currentIndex());
        };
        const auto shown = [&](QWidget *control) { return control->isVisibleTo(view.get()); };
        QVERIFY(!shown(hours) && !shown(weekday) && !shown(calendar));

        choose(kind, QStringLiteral("hours"));
        QVERIFY(shown(hours) && !shown(weekday));
        QTRY_VERIFY(timer().contains("OnCalendar=*-*-* 03/6:00:00"));
        QTRY_VERIFY(!section->isSyncing());
        choose(hours, qint64(4));
        QTRY_VERIFY(timer().contains("OnCalendar=*-*-* 03/4:00:00"));
        QTRY_VERIFY(!section->isSyncing());
        QCOMPARE(stored().scheduleEveryHours, 4);
        QCOMPARE(child<QCheckBox>(view.get(), "scheduleSwitch")->text(), QStringLiteral("Run automatically"));

        choose(kind, QStringLiteral("weekly"));
        choose(weekday, qint64(6));
        QTRY_VERIFY(timer().contains("OnCalendar=Sat *-*-* 03:00:00"));
        QTRY_VERIFY(!section->isSyncing());

        choose(kind, QStringLiteral("custom"));
        QVERIFY(shown(calendar) && !shown(child<QLineEdit>(view.get(), "timeField")));
        type(calendar, QStringLiteral("Someday 04:00"));
        QTest::keyClick(calendar, Qt::Key_Return);
        auto *note = child<QLabel>(view.get(), "scheduleCalendarNote");
        QTRY_VERIFY(note->text().contains(QStringLiteral("systemd does not take")));
        QTRY_VERIFY(!section->isSyncing());
        QVERIFY(view->scheduleError().contains(QStringLiteral("systemd does not take")));
        QVERIFY(timer().contains("OnCalendar=Sat *-*-* 03:00:00")); // the working one stays
        type(calendar, QStringLiteral("*-*-01 04:00"));
        QTest::keyClick(calendar, Qt::Key_Return);
        QTRY_VERIFY(note->text().startsWith(QStringLiteral("Next: ")));
        QCOMPARE(note->text().count(QStringLiteral(" · ")), 2);
        QTRY_VERIFY(timer().contains("OnCalendar=*-*-01 04:00"));
        QTRY_COMPARE(view->scheduleError(), QString());
    }

    void pathsAndCounter()
    {
        Server server;
        auto view = editorFor(server);
        QCOMPARE(child<QLabel>(view.get(), "pathCounter")->text(), QStringLiteral("0 enabled of 0"));
        child<QPushButton>(view.get(), "addPath")->click();
        QCOMPARE(stored().paths.size(), 1);
        QCOMPARE(stored().paths.first().name, QStringLiteral("New path"));
        QVERIFY(stored().paths.first().isDirectory && stored().paths.first().enabled);
        QCOMPARE(child<QLabel>(view.get(), "pathCounter")->text(), QStringLiteral("1 enabled of 1"));
        type(child<QLineEdit>(view.get(), "pathRemote"), QStringLiteral("/srv/db.sqlite"));
        QCOMPARE(stored().paths.first().remotePath, QStringLiteral("/srv/db.sqlite"));
        child<QCheckBox>(view.get(), "pathEnabled")->click();
        QCOMPARE(child<QLabel>(view.get(), "pathCounter")->text(), QStringLiteral("0 enabled of 1"));
        child<QAbstractButton>(view.get(), "pathFile")->click();
        QVERIFY(!stored().paths.first().isDirectory);
        child<QAbstractButton>(view.get(), "pathRemove")->click();
        QVERIFY(stored().paths.isEmpty());

        // A new row comes into view with its name ready to be typed over.
        view->show();
        for (int i = 0; i < 8; ++i)
            child<QPushButton>(view.get(), "addPath")->click();
        const QList<PathRow *> rows = view->findChildren<PathRow *>();
        PathRow *last = nullptr;
        for (PathRow *row : rows) {
            if (row->pathID() == stored().paths.last().id)
                last = row;
        }
        QVERIFY(last);
        QCOMPARE(view->window()->focusWidget(), last->findChild<QLineEdit *>(QStringLiteral("pathName")));
        QTRY_VERIFY(!last->visibleRegion().isEmpty());
    }

    // Daily, weekly and monthly counts, each stored as typed; empty is 0.
    // Hours only for a server backed up several times a day.
    void retentionCounts()
    {
        Server server;
        server.keepMonthly = 6;
        auto view = editorFor(server);
        QCOMPARE(child<QLineEdit>(view.get(), "keepMonthlyField")->text(), QStringLiteral("6"));
        type(child<QLineEdit>(view.get(), "retentionField"), QStringLiteral("14"));
        type(child<QLineEdit>(view.get(), "keepWeeklyField"), QStringLiteral("4"));
        auto *monthly = child<QLineEdit>(view.get(), "keepMonthlyField");
        monthly->setFocus();
        monthly->selectAll();
        QTest::keyClick(monthly, Qt::Key_Backspace);
        QCOMPARE(stored().retentionCount, 14);
        QCOMPARE(stored().keepWeekly, 4);
        QCOMPARE(stored().keepMonthly, 0);
        type(child<QLineEdit>(view.get(), "keepWeeklyField"), QStringLiteral("-3")); // refused as typed
        QCOMPARE(stored().keepWeekly, 3);
        QVERIFY(!child<QLineEdit>(view.get(), "keepHourlyField")->isVisible());
        m_h->store.updateServer(server.id, [](Server &s) {
            s.scheduleKind = QStringLiteral("hours");
            s.scheduleEveryHours = 4;
        });
        QVERIFY(child<QLineEdit>(view.get(), "keepHourlyField")->isVisible());
        type(child<QLineEdit>(view.get(), "keepHourlyField"), QStringLiteral("24"));
        QCOMPARE(stored().keepHourly, 24);
    }

    void lastRunSection()
    {
        Server server;
        auto view = editorFor(server);
        QVERIFY(!child<QGroupBox>(view.get(), "lastRunSection")->isVisible());
        m_h->store.updateServer(server.id, [](Server &s) { s.lastRunAt = 100; });
        QVERIFY(child<QGroupBox>(view.get(), "lastRunSection")->isVisible());
        QCOMPARE(child<QLabel>(view.get(), "lastRunStatus")->text(),
                 QStringLiteral("Cancelled")); // a run without a result
        // One that was paused says so while its folder waits for the next run.
        const QString day =
            Retention::serverFolder(m_h->store.settings().destinationPath, stored()) + QStringLiteral("/2026-12-01");
        QVERIFY(QDir().mkpath(day));
        Snapshots::markPaused(day);
        m_h->store.updateServer(server.id, [](Server &s) { s.lastRunAt = 200; });
        QCOMPARE(child<QLabel>(view.get(), "lastRunStatus")->text(),
                 QStringLiteral("Paused: the next run goes on from where it stopped"));
        Snapshots::markComplete(day);
        m_h->store.updateServer(server.id, [](Server &s) { s.lastExitCode = 23; });
        QVERIFY(child<QLabel>(view.get(), "lastRunStatus")->text().endsWith(QStringLiteral("Failed (exit 23)")));
        m_h->store.updateServer(server.id, [](Server &s) { s.lastExitCode = 0; });
        QVERIFY(child<QLabel>(view.get(), "lastRunStatus")->text().endsWith(QStringLiteral("Success")));
        QVERIFY(!child<QPushButton>(view.get(), "viewFullLog")->isEnabled());
        LogStore::save(server.id, QStringLiteral("h"), {});
        m_h->store.updateServer(server.id, [](Server &) {});
        QVERIFY(child<QPushButton>(view.get(), "viewFullLog")->isEnabled());
        QVERIFY(view->findChild<QAction *>(QStringLiteral("lastLog"))->isEnabled());

        // Each second copy that takes the server says how far it is.
        QVERIFY(!child<QLabel>(view.get(), "copiedTo")->isVisible());
        CopyTarget offsite;
        offsite.name = QStringLiteral("offsite");
        offsite.path = m_h->home.path() + QStringLiteral("/offsite");
        CopyState::State state;
        state[server.id].days.insert(QStringLiteral("2026-12-06"), QStringLiteral("1:2"));
        QVERIFY(CopyState::save(offsite.id, state));
        m_h->store.update([&offsite](AppSettings &s) { s.copyTargets = {offsite}; });
        QVERIFY(child<QLabel>(view.get(), "copiedTo")->isVisible());
        QCOMPARE(child<QLabel>(view.get(), "copiedTo")->text(), QStringLiteral("Copied to offsite: up to 2026-12-06"));

        // A held mass change is shown with its counts; the user's word
        // lifts the hold beside the backups and in the configuration.
        QVERIFY(!child<QPushButton>(view.get(), "acceptChanges")->isVisible());
        const ChangeHold hold{QStringLiteral("2026-12-07"), QStringLiteral("2026-12-06"), 41203, 47360};
        m_h->store.updateServer(server.id, [&hold](Server &s) { s.heldChange = hold; });
        const QString folder = Retention::serverFolder(m_h->store.settings().destinationPath, stored());
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(MassChange::hold(folder, hold));
        QCOMPARE(child<QLabel>(view.get(), "heldChange")->text(),
                 QStringLiteral("87 % of the files changed since 2026-12-06 (41,203 of 47,360): old backups are kept "
                                "until you confirm this change."));
        QTest::mouseClick(child<QPushButton>(view.get(), "acceptChanges"), Qt::LeftButton);
        QVERIFY(!stored().heldChange);
        QVERIFY(!MassChange::held(folder));
        QVERIFY(!child<QPushButton>(view.get(), "acceptChanges")->isVisible());

        // Check backups… reads the days off the window's thread and keeps
        // what it found; a print that does not match is damage.
        QCOMPARE(child<QLabel>(view.get(), "lastCheck")->text(), QStringLiteral("Never"));
        const QString copy = folder + QStringLiteral("/2026-12-07/www/a.txt");
        QVERIFY(QDir().mkpath(QFileInfo(copy).path()));
        QFile file(copy);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("contents") == 8);
        file.close();
        Fingerprints::Print wrong;
        wrong.size = 8;
        const QByteArray value = wrong.encoded();
        QCOMPARE(::setxattr(QFile::encodeName(copy).constData(), Fingerprints::attribute, value.constData(),
                            size_t(value.size()), 0),
                 0);
        QTest::mouseClick(child<QPushButton>(view.get(), "checkBackups"), Qt::LeftButton);
        QTRY_COMPARE(stored().damagedFiles, 1);
        QVERIFY(stored().lastVerifiedAt.has_value());
        QVERIFY2(child<QLabel>(view.get(), "lastCheck")
                     ->text()
                     .endsWith(QStringLiteral("1 damaged file: see tidewell --verify")),
                 qPrintable(child<QLabel>(view.get(), "lastCheck")->text()));
        QCOMPARE(child<QPushButton>(view.get(), "checkBackups")->text(), QStringLiteral("Check backups…"));
    }

    void runEnabling()
    {
        Server server = m_sshd->server();
        auto view = editorFor(server);
        auto *run = view->findChild<QAction *>(QStringLiteral("runBackup"));
        QVERIFY(!run->isEnabled()); // no path
        child<QPushButton>(view.get(), "addPath")->click();
        QVERIFY(!run->isEnabled()); // an enabled path without a remote path
        type(child<QLineEdit>(view.get(), "pathRemote"), QStringLiteral("/srv"));
        QVERIFY(run->isEnabled());
        QSignalSpy requested(view.get(), &ServerDetailView::runRequested);
        run->trigger();
        QCOMPARE(requested.count(), 1);
    }

    void backupsAreListedNewestFirst()
    {
        Server server = m_sshd->server(QStringLiteral("web/prod"));
        const QString folder = m_h->destination() + QStringLiteral("/web_prod/");
        for (const char *day : {"2025-01-29", "2025-01-30", "2025-01-31"})
            QDir().mkpath(folder + QLatin1String(day));
        writeFile(folder + QStringLiteral("2025-01-30/") + Snapshots::incompleteMarker, "");
        QDir().mkpath(folder + QStringLiteral("manual"));
        auto view = editorFor(server);
        auto *section = child<BackupsSection>(view.get(), "backupsSection");
        QCOMPARE(section->rows(),
                 (QStringList{QStringLiteral("2025-01-31 complete"), QStringLiteral("2025-01-30 incomplete"),
                              QStringLiteral("2025-01-29 complete")}));
        QSignalSpy opened(view.get(), &ServerDetailView::openPathRequested);
        auto *list = child<QTreeWidget>(view.get(), "backupList");
        Q_EMIT list->itemClicked(list->topLevelItem(1), 2);
        QCOMPARE(opened.first().first().toString(), folder + QStringLiteral("2025-01-30"));
        // Browse… from the keyboard: the chosen row's menu (the menu key).
        QSignalSpy browsed(view.get(), &ServerDetailView::restoreRequested);
        list->setCurrentItem(list->topLevelItem(0));
        auto *browse = list->findChild<QAction *>(QStringLiteral("backupBrowse"));
        QVERIFY(browse && list->actions().contains(browse));
        QCOMPARE(list->contextMenuPolicy(), Qt::ActionsContextMenu);
        browse->trigger();
        QCOMPARE(browsed.size(), 1);
        QCOMPARE(browsed.first().at(1).toString(), QStringLiteral("2025-01-31"));
        // Without date folders, the one server folder.
        m_h->store.update([](AppSettings &s) { s.useDateSubfolder = false; });
        QCOMPARE(section->rows(), QStringList{QStringLiteral("web_prod complete")});
    }

    // What a run would refuse shows under the field as the user types, and blocks the run.
    void problemsShowWhereTheyAreTyped()
    {
        Server server = m_sshd->server(QStringLiteral("web"));
        BackupPath media;
        media.name = QStringLiteral("Media");
        media.remotePath = QStringLiteral("/srv/media");
        server.paths = {media};
        auto view = editorFor(server);
        m_h->add(m_sshd->server(QStringLiteral("db")));
        auto *run = view->findChild<QAction *>(QStringLiteral("runBackup"));
        QVERIFY(run->isEnabled());
        type(child<QLineEdit>(view.get(), "nameField"), QStringLiteral("DB"));
        auto *nameProblem = child<QLabel>(view.get(), "nameProblem");
        QVERIFY(nameProblem->isVisible());
        QCOMPARE(
            nameProblem->text(),
            QStringLiteral("Servers “DB” and “db” would share the backup folder “DB” — give them different names."));
        QVERIFY(!run->isEnabled());
        QCOMPARE(run->toolTip(), nameProblem->text());
        type(child<QLineEdit>(view.get(), "nameField"), QStringLiteral("web"));
        QVERIFY(!nameProblem->isVisible());
        QVERIFY(run->isEnabled());
        auto *remote = child<QLineEdit>(view.get(), "pathRemote");
        remote->selectAll();
        remote->insert(QStringLiteral("   ")); // as pasted
        QVERIFY(child<QLabel>(view.get(), "pathProblem")->isVisible());
        QVERIFY(child<QLabel>(view.get(), "pathProblem")
                    ->text()
                    .startsWith(QStringLiteral("Path “Media” has no remote path")));
        QVERIFY(!run->isEnabled());
        remote->selectAll();
        remote->insert(QStringLiteral("/srv/media"));
        QVERIFY(run->isEnabled());

        // rsync would read "a/b@host:path" as a local path, and the user
        // "deploy@host" typed into Host as a second user.
        type(child<QLineEdit>(view.get(), "hostField"), QStringLiteral("deploy@127.0.0.1"));
        QVERIFY(child<QLabel>(view.get(), "hostProblem")->isVisible());
        QCOMPARE(child<QLabel>(view.get(), "hostProblem")->text(),
                 QStringLiteral("Refusing host name “deploy@127.0.0.1”: no host name holds “@”."));
        QVERIFY(!run->isEnabled());
        type(child<QLineEdit>(view.get(), "hostField"), QStringLiteral("127.0.0.1"));
        type(child<QLineEdit>(view.get(), "userField"), QStringLiteral("web/admin"));
        QVERIFY(!child<QLabel>(view.get(), "hostProblem")->isVisible());
        QCOMPARE(child<QLabel>(view.get(), "userProblem")->text(),
                 QStringLiteral("Refusing user name “web/admin”: no user name holds “/”."));
        QVERIFY(!run->isEnabled());
    }

    // Check against the server reads the newest day and the server's tree
    // off the window's thread; a copy that differs though its size and time
    // agree is counted and kept, a path rsync cannot read says why.
    void checkAgainstTheServer()
    {
        const QString tree = m_h->home.path() + QStringLiteral("/site");
        writeFile(tree + QStringLiteral("/a.txt"), "aaaa");
        writeFile(tree + QStringLiteral("/b.txt"), "bbbb");
        Server server = m_sshd->server(QStringLiteral("web <prod>"));
        BackupPath site;
        site.name = QStringLiteral("Site");
        site.remotePath = tree;
        server.paths = {site};
        server.lastRunAt = ReferenceDate::now();
        server.lastExitCode = 0;
        auto view = editorFor(server);
        auto *label = child<QLabel>(view.get(), "lastRemoteCheck");
        auto *button = child<QPushButton>(view.get(), "checkAgainstServer");
        QCOMPARE(label->text(), QStringLiteral("Never compared"));
        const QString day = Retention::serverFolder(m_h->store.settings().destinationPath, stored()) + u'/'
                            + QDate::currentDate().toString(Qt::ISODate) + QStringLiteral("/Site");
        QVERIFY(QDir().mkpath(day));
        for (const char *name : {"a.txt", "b.txt"})
            QVERIFY(QFile::copy(tree + u'/' + QLatin1String(name), day + u'/' + QLatin1String(name)));
        // The copy of b.txt rots: same length, its time put back.
        QFile rotten(day + QStringLiteral("/b.txt"));
        QVERIFY(rotten.open(QIODevice::ReadWrite) && rotten.write("bbbB") == 4);
        rotten.close();
        for (const char *name : {"a.txt", "b.txt"}) {
            QFile copy(day + u'/' + QLatin1String(name));
            QVERIFY(copy.open(QIODevice::ReadWrite));
            QVERIFY(copy.setFileTime(QFileInfo(tree + u'/' + QLatin1String(name)).lastModified(),
                                     QFileDevice::FileModificationTime));
        }
        // The button stays usable (and keeps the focus) while the check
        // runs: it stops it.
        button->click();
        QCOMPARE(button->text(), QStringLiteral("Stop"));
        QVERIFY(button->isEnabled());
        QTRY_COMPARE_WITH_TIMEOUT(button->text(), QStringLiteral("Check against the server"), 30000);
        QCOMPARE(stored().remoteDifferences, 1);
        QVERIFY(stored().lastRemoteCheckAt.has_value());
        QVERIFY2(label->text().endsWith(
                     QStringLiteral("1 file differs though size and time agree: see tidewell --verify-remote")),
                 qPrintable(label->text()));

        // The server's folder is gone: nothing is recorded, the reason shows.
        QVERIFY(QDir(tree).removeRecursively());
        button->click();
        QTRY_COMPARE_WITH_TIMEOUT(button->text(), QStringLiteral("Check against the server"), 30000);
        QVERIFY2(label->text().contains(QStringLiteral("The check could not be made: ")), qPrintable(label->text()));
        QCOMPARE(stored().remoteDifferences, 1);

        // Stopped, it records nothing and shows the last result again.
        writeFile(tree + QStringLiteral("/a.txt"), "aaaa");
        button->click();
        button->click();
        QTRY_COMPARE_WITH_TIMEOUT(button->text(), QStringLiteral("Check against the server"), 30000);
        QVERIFY2(label->text().endsWith(QStringLiteral("see tidewell --verify-remote")), qPrintable(label->text()));
        QCOMPARE(stored().remoteDifferences, 1);

        // Closing the editor during a check stops it.
        button->click();
        view.reset();
    }

    // Patterns are kept line by line as typed, only for folders; the
    // bandwidth limit is a whole number; Preview asks the real server.
    void excludesBandwidthAndPreview()
    {
        const QString tree = m_h->home.path() + QStringLiteral("/site");
        for (const char *file : {"index.html", "debug.log", "cache/page"})
            writeFile(tree + u'/' + QLatin1String(file), "x");
        Server server = m_sshd->server(QStringLiteral("web"));
        BackupPath site;
        site.name = QStringLiteral("Site");
        site.remotePath = tree;
        server.paths = {site};
        auto view = editorFor(server);

        auto *bandwidth = child<QSpinBox>(view.get(), "bandwidthField");
        QCOMPARE(bandwidth->value(), 0);
        bandwidth->setValue(512);
        QCOMPARE(stored().bandwidthLimitKBps, 512);

        auto *excludes = child<QPlainTextEdit>(view.get(), "pathExcludes");
        QCOMPARE(excludes->placeholderText(),
                 QStringLiteral("Exclude (one rsync pattern per line, e.g. node_modules/, *.log)"));
        excludes->setFocus();
        QTest::keyClicks(excludes, QStringLiteral("*.log"));
        QTest::keyClick(excludes, Qt::Key_Return);
        QTest::keyClicks(excludes, QStringLiteral("cache/"));
        QTest::keyClick(excludes, Qt::Key_Return);
        QCOMPARE(stored().paths.first().excludes, (QStringList{QStringLiteral("*.log"), QStringLiteral("cache/")}));

        child<QPushButton>(view.get(), "pathPreview")->click();
        QPointer<PreviewDialog> dialog = view->findChild<PreviewDialog *>();
        QVERIFY(dialog);
        QVERIFY(dialog->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!dialog->isRunning(), 30000);
        // index.html is copied; a log and a folder are left out.
        QCOMPARE(dialog->summary(), QStringLiteral("A run would copy 1 file(s); 2 item(s) left out by exclude "
                                                   "patterns.\nIncluded at the top: index.html"));
        QVERIFY(dialog->shownLines().contains(QStringLiteral(">f+++++++++ index.html")));
        QVERIFY(dialog->shownLines().contains(QStringLiteral("hiding file debug.log because of pattern *.log")));
        QVERIFY(!QDir(m_h->destination()).exists()); // nothing copied
        dialog->reject();
        QTRY_VERIFY(!dialog);

        // With today's snapshot already there, a run makes a new one from it:
        // nothing to copy, and the preview says what it takes and includes.
        const QString today = m_h->destination() + QStringLiteral("/web/") + QDate::currentDate().toString(Qt::ISODate);
        QVERIFY(QDir().mkpath(today));
        QCOMPARE(QProcess::execute(QStringLiteral("/usr/bin/rsync"),
                                   {QStringLiteral("-a"), QStringLiteral("--exclude=*.log"),
                                    QStringLiteral("--exclude=cache/"), tree + u'/', today + QStringLiteral("/Site")}),
                 0);
        dialog = view->previewPath(site.id);
        QTRY_VERIFY_WITH_TIMEOUT(!dialog->isRunning(), 30000);
        QCOMPARE(dialog->summary(),
                 QStringLiteral("A run would copy 0 file(s) and take 1 unchanged file(s) from the snapshot of ")
                     + QDate::currentDate().toString(Qt::ISODate)
                     + QStringLiteral("; 2 item(s) left out by exclude patterns.\nIncluded at the top: index.html"));
        dialog->reject();

        child<QAbstractButton>(view.get(), "pathFile")->click();
        QVERIFY(!excludes->isVisible()); // a single file has nothing to leave out
    }

    // A preview of a server that does not answer can be stopped, and closing
    // the dialog while it runs stops it too.
    void aPreviewStopsWhenAsked()
    {
        Server server = m_sshd->server(QStringLiteral("web"));
        server.privateKeyPath = m_sshd->hungKey();
        BackupPath site;
        site.name = QStringLiteral("Site");
        site.remotePath = QStringLiteral("/srv");
        server.paths = {site};
        auto view = editorFor(server);
        QPointer<PreviewDialog> dialog = view->previewPath(site.id);
        QTest::qWait(300);
        QVERIFY(dialog->isRunning());
        child<QPushButton>(dialog.data(), "previewCancel")->click();
        QTRY_VERIFY_WITH_TIMEOUT(!dialog->isRunning(), 15000);
        QVERIFY(dialog->summary().startsWith(QStringLiteral("Cancelled. So far: ")));
        QVERIFY(dialog->isVisible()); // Stop keeps what was seen

        QPointer<PreviewDialog> second = view->previewPath(site.id);
        QTest::qWait(300);
        QVERIFY(second->isRunning());
        second->reject();
        QTRY_VERIFY_WITH_TIMEOUT(!second, 15000);
        QVERIFY(processesMentioning(m_sshd->hungKey()).isEmpty());
    }
};

QTEST_MAIN(TestServerDetailView)
#include "tst_ServerDetailView.moc"
