// SPDX-License-Identifier: GPL-3.0-or-later
// Editing how a server is reached, and testing it.
#include "ui/editor/ConnectionSection.h"

#include "core/model/HostInput.h"
#include "core/ssh/HostKeyChecker.h"
#include "core/ssh/KeySetup.h"
#include "core/storage/ConfigStore.h"
#include "core/system/AppPaths.h"
#include "ui/widgets/Dialogs.h"
#include "ui/widgets/FormRow.h"
#include "ui/widgets/Icons.h"
#include "ui/widgets/Style.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <qcoro/qcorotask.h>

namespace {

// A port as typed: a whole number from 1 to 65535, or nothing.
std::optional<qint64> parsePort(const QString &text)
{
    bool ok = false;
    const qint64 port = text.trimmed().toLongLong(&ok);
    return ok && port >= 1 && port <= 65535 ? std::optional<qint64>(port) : std::nullopt;
}

void setRed(QLineEdit *edit, bool red)
{
    QPalette palette = edit->parentWidget()->palette();
    if (red)
        palette.setColor(QPalette::Text, Icons::red());
    edit->setPalette(palette);
}

} // namespace

ConnectionSection::ConnectionSection(const QUuid &serverID, ConfigStore *store, Dialogs *dialogs, QWidget *parent)
    : EditorSection(tr("Connection"), serverID, store, parent)
    , m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("connectionSection"));
    auto *layout = qobject_cast<QVBoxLayout *>(this->layout());
    buildAddress(layout);
    buildKey(layout);
    buildKeySetup(layout);
    buildBandwidth(layout);
    buildTest(layout);
    connectFields();
}

QLineEdit *ConnectionSection::lineEdit(const QString &name, const QString &placeholder)
{
    auto *edit = new QLineEdit(this);
    edit->setObjectName(name);
    edit->setPlaceholderText(placeholder);
    return edit;
}

QLabel *ConnectionSection::problemNote(const QString &name)
{
    QLabel *note = Style::note(QString(), this, Icons::red());
    note->setObjectName(name);
    note->setTextFormat(Qt::PlainText);
    note->setVisible(false);
    return note;
}

// Name, host, port and user, each with the note that says what is wrong with it.
void ConnectionSection::buildAddress(QVBoxLayout *layout)
{
    m_name = lineEdit(QStringLiteral("nameField"), QString());
    m_host = lineEdit(QStringLiteral("hostField"), QStringLiteral("backup.example.com"));
    m_port = lineEdit(QStringLiteral("portField"), QStringLiteral("22"));
    m_port->setMaxLength(5);
    m_user = lineEdit(QStringLiteral("userField"), QStringLiteral("deploy"));
    m_nameProblem = Style::note(QString(), this, Icons::red());
    m_nameProblem->setObjectName(QStringLiteral("nameProblem"));
    m_nameProblem->setTextFormat(Qt::PlainText);
    m_hostProblem = problemNote(QStringLiteral("hostProblem"));
    m_hostSplit = Style::note(QString(), this);
    m_hostSplit->setObjectName(QStringLiteral("hostSplit"));
    m_hostSplit->setTextFormat(Qt::PlainText);
    m_hostSplit->setVisible(false);
    m_userProblem = problemNote(QStringLiteral("userProblem"));
    m_portProblem = Style::note(tr("The port must be a whole number from 1 to 65535."), this, Icons::red());
    m_portProblem->setObjectName(QStringLiteral("portProblem"));
    layout->addWidget(field(tr("Name"), m_name));
    layout->addWidget(m_nameProblem);
    layout->addWidget(field(tr("Host"), m_host));
    layout->addWidget(m_hostProblem);
    layout->addWidget(m_hostSplit);
    auto *portBox = new QWidget(this);
    auto *portLayout = new QHBoxLayout(portBox);
    portLayout->setContentsMargins(0, 0, 0, 0);
    m_port->setParent(portBox);
    m_port->setFixedWidth(90);
    portLayout->addWidget(m_port);
    portLayout->addStretch(1);
    layout->addWidget(field(tr("Port"), portBox, m_port));
    layout->addWidget(m_portProblem);
    layout->addWidget(field(tr("Username"), m_user));
    layout->addWidget(m_userProblem);
}

// ssh-agent or a key file.
void ConnectionSection::buildKey(QVBoxLayout *layout)
{
    m_agent = new QCheckBox(this);
    m_agent->setObjectName(QStringLiteral("agentSwitch"));
    m_agent->setToolTip(
        tr("Use keys loaded in ssh-agent instead of a file on disk. Supports passphrase-protected keys."));
    m_agent->setAccessibleName(tr("Use ssh-agent"));
    layout->addWidget(field(tr("Use ssh-agent"), m_agent));
    m_keyField = new PathField(QStringLiteral("~/.ssh/id_ed25519"), this);
    m_key = m_keyField->edit();
    m_key->setObjectName(QStringLiteral("keyField"));
    m_keyField->browseButton()->setObjectName(QStringLiteral("browseKey"));
    m_keyRow = field(tr("SSH private key"), m_keyField, m_key);
    m_keyRow->setObjectName(QStringLiteral("keyRow"));
    layout->addWidget(m_keyRow);
}

// What to do about a key that is missing or not installed.
void ConnectionSection::buildKeySetup(QVBoxLayout *layout)
{
    auto *keySetup = new QWidget(this);
    keySetup->setObjectName(QStringLiteral("keySetupRow"));
    // The note above its buttons: beside them it made the editor wider than
    // a small window (and longer languages wider still).
    auto *keySetupLayout = new QVBoxLayout(keySetup);
    keySetupLayout->setContentsMargins(0, 0, 0, 0);
    auto *keyButtons = new QHBoxLayout;
    m_keyNote = Style::note(QString(), keySetup);
    m_keyNote->setObjectName(QStringLiteral("keyNote"));
    m_keyNote->setTextFormat(Qt::PlainText);
    m_keyNote->setWordWrap(true);
    m_createKey = new QPushButton(Icons::get(QStringLiteral("document-new")), tr("Create a key"), keySetup);
    m_createKey->setObjectName(QStringLiteral("createKey"));
    m_createKey->setToolTip(tr("Make a new ed25519 key without a passphrase at the path shown (ssh-keygen)"));
    m_installKey = new QPushButton(Icons::get(QStringLiteral("document-send")), tr("Install key on server…"), keySetup);
    m_installKey->setObjectName(QStringLiteral("installKey"));
    m_installKey->setToolTip(tr("Add the public key to the account's authorized keys, with its password "
                                "asked for once (ssh-copy-id)"));
    m_useAgent = new QPushButton(tr("Use ssh-agent"), keySetup);
    m_useAgent->setObjectName(QStringLiteral("useAgent"));
    m_separateKey =
        new QPushButton(Icons::get(QStringLiteral("document-new")), tr("Create a separate key for Tidewell"), keySetup);
    m_separateKey->setObjectName(QStringLiteral("separateKey"));
    m_separateKey->setToolTip(tr("Make a key without a passphrase for Tidewell alone (~/.ssh/tidewell_ed25519) and "
                                 "install it on the server; your own key stays as it is"));
    keySetupLayout->addWidget(m_keyNote);
    keyButtons->addWidget(m_createKey);
    keyButtons->addWidget(m_useAgent);
    keyButtons->addWidget(m_separateKey);
    keyButtons->addWidget(m_installKey);
    keyButtons->addStretch(1);
    keySetupLayout->addLayout(keyButtons);
    m_createKey->hide();
    m_useAgent->hide();
    m_separateKey->hide();
    m_installKey->hide();
    layout->addWidget(keySetup);
}

void ConnectionSection::buildBandwidth(QVBoxLayout *layout)
{
    auto *bandwidthBox = new QWidget(this);
    auto *bandwidthLayout = new QHBoxLayout(bandwidthBox);
    bandwidthLayout->setContentsMargins(0, 0, 0, 0);
    m_bandwidth = new QSpinBox(bandwidthBox);
    m_bandwidth->setObjectName(QStringLiteral("bandwidthField"));
    m_bandwidth->setRange(0, 10'000'000);
    m_bandwidth->setGroupSeparatorShown(false);
    m_bandwidth->setFixedWidth(110);
    bandwidthLayout->addWidget(m_bandwidth);
    auto *unit = new QLabel(tr("KB/s (0 = no limit)"), bandwidthBox);
    unit->setWordWrap(true); // wraps in a narrow window instead of widening it
    bandwidthLayout->addWidget(unit, 1);
    bandwidthLayout->addStretch(1);
    layout->addWidget(field(tr("Limit bandwidth to"), bandwidthBox, m_bandwidth));
}

// "Test connection" and what it found.
void ConnectionSection::buildTest(QVBoxLayout *layout)
{
    auto *testLine = new QHBoxLayout;
    m_test = new QPushButton(Icons::get(QStringLiteral("network-connect")), tr("Test connection"), this);
    m_test->setObjectName(QStringLiteral("testConnection"));
    m_testResult = new QLabel(this);
    m_testResult->setObjectName(QStringLiteral("testResult"));
    testLine->addWidget(m_test);
    testLine->addWidget(m_testResult);
    testLine->addStretch(1);
    layout->addLayout(testLine);
    m_testMessage = new QLabel(this);
    m_testMessage->setObjectName(QStringLiteral("testMessage"));
    m_testMessage->setTextFormat(Qt::PlainText);
    m_testMessage->setFont(Style::monospace(0.9));
    m_testMessage->setWordWrap(true);
    m_testMessage->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_testMessage->setFrameShape(QFrame::Box);
    m_testMessage->setFrameShadow(QFrame::Plain); // the box takes the text colour: green or red
    m_testMessage->setMargin(8);
    layout->addWidget(m_testMessage);
}

// Every field edits the server as it is typed.
void ConnectionSection::connectFields()
{
    connect(m_name, &QLineEdit::textEdited, this,
            [this](const QString &text) { edit([&](Server &s) { s.name = text; }); });
    connect(m_host, &QLineEdit::textEdited, this, [this](const QString &text) {
        m_hostSplit->setVisible(false);
        edit([&](Server &s) {
            s.host = text;
            s.markCorrected(QStringLiteral("host"));
        });
    });
    connect(m_host, &QLineEdit::editingFinished, this, &ConnectionSection::splitHost);
    connect(m_port, &QLineEdit::textEdited, this, [this](const QString &text) {
        // An entry that is not a port is shown as such and not stored.
        const auto port = parsePort(text);
        setRed(m_port, !port);
        m_portProblem->setVisible(!port);
        if (port)
            edit([&](Server &s) {
                s.port = *port;
                s.markCorrected(QStringLiteral("port"));
            });
    });
    connect(m_user, &QLineEdit::textEdited, this, [this](const QString &text) {
        edit([&](Server &s) {
            s.username = text;
            s.markCorrected(QStringLiteral("username"));
        });
    });
    connect(m_agent, &QCheckBox::toggled, this, [this](bool on) {
        edit([&](Server &s) {
            s.useSSHAgent = on;
            s.markCorrected(QStringLiteral("useSSHAgent"));
        });
    });
    connect(m_key, &QLineEdit::textEdited, this, [this](const QString &text) {
        edit([&](Server &s) {
            s.privateKeyPath = text;
            s.markCorrected(QStringLiteral("privateKeyPath"));
        });
    });
    connect(m_bandwidth, &QSpinBox::valueChanged, this,
            [this](int value) { edit([&](Server &s) { s.bandwidthLimitKBps = value; }); });
    connect(m_keyField, &PathField::browseRequested, this, &ConnectionSection::pickKey);
    connect(m_test, &QPushButton::clicked, this, &ConnectionSection::testConnection);
    connect(m_createKey, &QPushButton::clicked, this, &ConnectionSection::createKey);
    connect(m_installKey, &QPushButton::clicked, this, &ConnectionSection::installKey);
    connect(m_useAgent, &QPushButton::clicked, this, [this] { m_agent->setChecked(true); });
    connect(m_separateKey, &QPushButton::clicked, this, &ConnectionSection::useSeparateKey);
}

void ConnectionSection::refresh(const Server &server)
{
    showText(m_name, server.name);
    showText(m_host, server.host);
    if (!m_port->hasFocus() && parsePort(m_port->text()) != std::optional<qint64>(server.port)) {
        m_port->setText(QString::number(server.port));
        const bool valid = parsePort(m_port->text()).has_value();
        setRed(m_port, !valid);
        m_portProblem->setVisible(!valid);
    }
    showText(m_user, server.username);
    showText(m_key, server.privateKeyPath);
    if (m_agent->isChecked() != server.useSSHAgent) {
        const QSignalBlocker block(m_agent);
        m_agent->setChecked(server.useSSHAgent);
    }
    m_keyRow->setVisible(!server.useSSHAgent);
    if (m_bandwidth->value() != server.bandwidthLimitKBps) {
        const QSignalBlocker block(m_bandwidth);
        m_bandwidth->setValue(int(std::clamp<qint64>(server.bandwidthLimitKBps, 0, m_bandwidth->maximum())));
    }
    showTest(server);
    inspectKey(server);
}

void ConnectionSection::inspectKey(const Server &server)
{
    const QString subject = server.useSSHAgent ? QStringLiteral("\nagent") : server.privateKeyPath;
    m_installKey->setEnabled(!m_keyBusy && !server.host.isEmpty() && !server.username.isEmpty());
    if (subject == m_inspectedFor || m_keyBusy)
        return;
    m_inspectedFor = subject;
    // A button that goes away with the focus leaves it with the key (or the
    // agent switch), not with whatever field comes next.
    if (m_createKey->hasFocus() || m_useAgent->hasFocus() || m_separateKey->hasFocus() || m_installKey->hasFocus())
        (server.useSSHAgent ? static_cast<QWidget *>(m_agent) : m_key)->setFocus(Qt::OtherFocusReason);
    m_createKey->hide();
    m_useAgent->hide();
    m_separateKey->hide();
    m_installKey->hide();
    showKeyNote(QString());
    if (server.useSSHAgent) {
        QCoro::connect(KeySetup::agentState(), this, [this, subject](KeySetup::AgentState state) {
            if (subject != m_inspectedFor)
                return;
            if (state == KeySetup::AgentState::empty)
                showKeyNote(tr("ssh-agent holds no keys: add yours with ssh-add (in a terminal: ssh-add "
                               "~/.ssh/id_ed25519)."),
                            true);
            else if (state == KeySetup::AgentState::absent)
                showKeyNote(tr("No ssh-agent answers in this session: start one, or turn “Use ssh-agent” off and "
                               "choose a key file."),
                            true);
            Q_EMIT keySetupFinished();
        });
        return;
    }
    QCoro::connect(KeySetup::inspect(subject), this, [this, subject](const KeySetup::Inspection &inspection) {
        if (subject != m_inspectedFor)
            return;
        switch (inspection.state) {
        case KeySetup::KeyState::missing:
            showKeyNote(tr("There is no key at this path yet: create one here, or let “Install key on server…” "
                           "make it."));
            m_createKey->setVisible(!subject.trimmed().isEmpty());
            m_installKey->setVisible(!subject.trimmed().isEmpty());
            break;
        case KeySetup::KeyState::passphrase:
            // Scheduled runs have no one to type the passphrase, nor always an agent.
            showKeyNote(tr("This key has a passphrase: turn on “Use ssh-agent” and add it with ssh-add") + u'\n'
                            + tr("Or let Tidewell use a key of its own without a passphrase: scheduled runs have "
                                 "no one to type it, and no agent after a restart."),
                        true);
            m_useAgent->show();
            m_separateKey->show();
            break;
        case KeySetup::KeyState::unreadable:
            showKeyNote(tr("This key cannot be used: %1").arg(inspection.detail), true);
            break;
        case KeySetup::KeyState::ready:
            m_installKey->show();
            break;
        }
        Q_EMIT keySetupFinished();
    });
}

void ConnectionSection::showKeyNote(const QString &text, bool red)
{
    m_keyNote->setText(text);
    // A problem in red; advice in the notes' own grey.
    QPalette palette = m_keyNote->parentWidget()->palette();
    palette.setColor(QPalette::WindowText, Icons::red());
    m_keyNote->setPalette(palette);
    m_keyNote->setForegroundRole(red ? QPalette::WindowText : QPalette::PlaceholderText);
    m_keyNote->setVisible(!text.isEmpty());
}

QString ConnectionSection::keyNote() const
{
    return m_keyNote->isVisible() ? m_keyNote->text() : QString();
}

void ConnectionSection::createKey()
{
    const Server s = server();
    m_keyBusy = true;
    m_createKey->setEnabled(false);
    QCoro::connect(KeySetup::createKey(s.privateKeyPath), this, [this](const tl::expected<void, Error> &made) {
        m_keyBusy = false;
        m_createKey->setEnabled(true);
        m_inspectedFor.clear();
        inspectKey(server());
        if (!made)
            showKeyNote(tr("Could not create the key: %1").arg(made.error().message), true);
        else
            showKeyNote(tr("Key created. Next: install it on the server."));
        Q_EMIT keySetupFinished();
    });
}

void ConnectionSection::useSeparateKey()
{
    // Never over a key that is there: the first free name.
    QString name = QStringLiteral("tidewell_ed25519");
    for (int n = 2;
         QFileInfo::exists(AppPaths::expandTilde(QStringLiteral("~/.ssh/") + name))
         || QFileInfo::exists(AppPaths::expandTilde(QStringLiteral("~/.ssh/") + name + QStringLiteral(".pub")));
         ++n)
        name = QStringLiteral("tidewell_%1_ed25519").arg(n);
    const QString shown = QStringLiteral("~/.ssh/") + name;
    edit([&shown](Server &s) { s.privateKeyPath = shown; });
    m_key->setText(shown);
    m_key->setFocus(Qt::OtherFocusReason);
    installKey();
}

void ConnectionSection::installKey()
{
    const Server s = server();
    if (s.host.isEmpty() || s.username.isEmpty())
        return;
    const auto ask = [this, s] {
        const std::optional<QString> password = m_dialogs->password(
            this, tr("Install key on server"),
            tr("Password of %1 on %2 (used once to install the key; never stored):").arg(s.username, s.host));
        if (!password)
            return;
        m_keyBusy = true;
        m_installKey->setEnabled(false);
        m_createKey->setEnabled(false);
        if (QFileInfo::exists(AppPaths::expandTilde(s.privateKeyPath))) {
            sendKey(s, *password);
            return;
        }
        // No key yet: it is made first, then installed.
        showKeyNote(tr("Creating the key…"));
        QCoro::connect(KeySetup::createKey(s.privateKeyPath), this,
                       [this, s, password](const tl::expected<void, Error> &made) {
                           if (made) {
                               sendKey(s, *password);
                               return;
                           }
                           m_keyBusy = false;
                           m_installKey->setEnabled(true);
                           m_createKey->setEnabled(true);
                           showKeyNote(tr("Could not create the key: %1").arg(made.error().message), true);
                           Q_EMIT keySetupFinished();
                       });
    };
    // ssh-copy-id never trusts an unseen host key: the host key step comes first.
    QCoro::connect(HostKeyChecker::knownHostFingerprint(s.host, s.port), this,
                   [this, ask](const std::optional<HostKeyChecker::Fingerprint> &known) {
                       if (known) {
                           ask();
                           return;
                       }
                       showKeyNote(tr("Trust the server's host key first (under “Host key” below); the key is "
                                      "installed next."),
                                   true);
                       Q_EMIT hostKeyNeeded(AfterTrust::installKey);
                       Q_EMIT keySetupFinished();
                   });
}

void ConnectionSection::sendKey(const Server &server, const QString &password)
{
    showKeyNote(tr("Installing the key…"));
    QCoro::connect(KeySetup::installKey(server, password, m_askpassProgram), this,
                   [this](const tl::expected<void, Error> &installed) {
                       m_keyBusy = false;
                       m_installKey->setEnabled(true);
                       m_createKey->setEnabled(true);
                       m_inspectedFor.clear();
                       inspectKey(this->server());
                       if (!installed) {
                           showKeyNote(tr("Could not install the key: %1").arg(installed.error().message), true);
                           Q_EMIT keySetupFinished();
                           return;
                       }
                       // The test that follows says whether the server takes it.
                       showKeyNote(tr("The key is installed on the server."));
                       Q_EMIT keySetupFinished();
                       testConnection();
                   });
}

void ConnectionSection::setProblems(const QString &name, const QString &host, const QString &user)
{
    for (const auto &[note, problem] :
         {std::pair{m_nameProblem, name}, std::pair{m_hostProblem, host}, std::pair{m_userProblem, user}}) {
        if (note->text() != problem)
            note->setText(problem);
        note->setVisible(!problem.isEmpty());
    }
}

void ConnectionSection::splitHost()
{
    const auto parts = HostInput::split(m_host->text());
    if (!parts)
        return;
    edit([&](Server &s) {
        s.host = parts->host;
        if (!parts->user.isEmpty())
            s.username = parts->user;
        if (parts->port)
            s.port = *parts->port;
    });
    // The fields show it even while one of them has the focus.
    m_host->setText(parts->host);
    if (!parts->user.isEmpty())
        m_user->setText(parts->user);
    if (parts->port) {
        m_port->setText(QString::number(*parts->port));
        setRed(m_port, false);
        m_portProblem->setVisible(false);
    }
    QStringList said{tr("host “%1”").arg(parts->host)};
    if (!parts->user.isEmpty())
        said.prepend(tr("user “%1”").arg(parts->user));
    if (parts->port)
        said.append(tr("port %1").arg(*parts->port));
    m_hostSplit->setText(tr("Split into %1.").arg(QLocale().createSeparatedList(said)));
    m_hostSplit->setVisible(true);
}

void ConnectionSection::focusKey()
{
    if (m_keyRow->isHidden())
        m_agent->setFocus();
    else
        m_key->setFocus();
}

void ConnectionSection::focusName()
{
    m_name->setFocus();
    m_name->selectAll();
}

QString ConnectionSection::connectionOf(const Server &server)
{
    return QStringList{server.host, QString::number(server.port), server.username,
                       server.useSSHAgent ? QStringLiteral("agent") : server.privateKeyPath}
        .join(u'\n');
}

void ConnectionSection::showTest(const Server &server)
{
    // A result is about the host, port, user and key it was tested with.
    if (m_report && connectionOf(server) != m_testedConnection)
        m_report.reset();
    m_test->setEnabled(!m_testing && !server.host.isEmpty() && !server.username.isEmpty());
    m_test->setText(m_testing ? tr("Testing…") : tr("Test connection"));
    m_testResult->setVisible(m_report.has_value());
    if (m_report) {
        QPalette palette = m_testResult->palette();
        palette.setColor(QPalette::WindowText, m_report->has_value() ? Icons::green() : Icons::red());
        m_testResult->setPalette(palette);
        m_testResult->setText(m_report->has_value() ? tr("✓ Connected") : tr("✗ Failed"));
    }
    const bool showMessage = m_report && !m_testing && !SSHTester::messageOf(*m_report).isEmpty();
    m_testMessage->setVisible(showMessage);
    if (showMessage) {
        QString text = SSHTester::messageOf(*m_report);
        // ssh's own words, then what to do about the usual refusals.
        if (!m_report->has_value() && text.contains(QLatin1String("Permission denied"))) {
            text += u'\n'
                    + (server.useSSHAgent
                           ? tr("The server accepted none of ssh-agent's keys: add the right one with ssh-add, or "
                                "turn “Use ssh-agent” off and install a key file.")
                           : tr("The server did not accept this key: use “Install key on server…” to add it with "
                                "the account's password."));
        } else if (!m_report->has_value() && text.contains(QLatin1String("Host key verification failed"))) {
            text += u'\n' + tr("The server's host key is not trusted: check it under “Host key”.");
        }
        m_testMessage->setText(text);
        QPalette palette = m_testMessage->palette();
        palette.setColor(QPalette::WindowText, m_report->has_value() ? Icons::green() : Icons::red());
        m_testMessage->setPalette(palette);
    }
}

void ConnectionSection::testConnection()
{
    m_testing = true;
    m_report.reset();
    m_testedConnection = connectionOf(server());
    showTest(server());
    if (SSHTester::hostKeyPolicy() == SSHTester::HostKeyPolicy::acceptNew) {
        runTest();
        return;
    }
    const Server s = server();
    QCoro::connect(
        HostKeyChecker::knownHostFingerprint(s.host, s.port), this,
        [this](const std::optional<HostKeyChecker::Fingerprint> &known) {
            if (known) {
                runTest();
                return;
            }
            m_testing = false;
            m_report = tl::unexpected(SSHTester::Failure{
                Error::Code::failed, tr("The host key is not trusted yet: check it under “Host key” below. The test "
                                        "goes on once you trust it.")});
            showTest(server());
            Q_EMIT hostKeyNeeded(AfterTrust::test);
            Q_EMIT testFinished();
        });
}

void ConnectionSection::runTest()
{
    QCoro::connect(SSHTester::test(server(), 10), this, [this](const SSHTester::Report &report) {
        if (!report || !server().remoteSudo) {
            finishTest(report);
            return;
        }
        // Runs go through sudo: the test asks it too, and says what sudoers needs.
        QCoro::connect(SudoCheck::check(server(), 10), this, [this, report](const SudoCheck::Result &sudo) {
            const QString text = *report + u'\n' + sudo.message;
            if (sudo.works)
                finishTest(text);
            else
                finishTest(tl::unexpected(SSHTester::Failure{
                    Error::Code::failed, sudo.sudoersLine.isEmpty() ? text : text + u'\n' + sudo.sudoersLine}));
            Q_EMIT sudoChecked(sudo);
        });
    });
}

void ConnectionSection::finishTest(const SSHTester::Report &report)
{
    m_report = report;
    m_testing = false;
    showTest(server());
    Q_EMIT testFinished();
}

void ConnectionSection::pickKey()
{
    const QString chosen =
        m_dialogs->openFileName(this, tr("Choose SSH private key"), AppPaths::homeFolder() + QStringLiteral("/.ssh"),
                                tr("All files (*)"), true);
    if (chosen.isEmpty())
        return;
    const QString absolute = QFileInfo(chosen).absoluteFilePath();
    edit([&](Server &s) { s.privateKeyPath = absolute; });
}
