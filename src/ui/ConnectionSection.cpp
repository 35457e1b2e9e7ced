// SPDX-License-Identifier: GPL-3.0-or-later
// Editing how a server is reached, and testing it.
#include "ui/ConnectionSection.h"

#include "core/storage/ConfigStore.h"
#include "core/system/AppPaths.h"
#include "ui/Dialogs.h"
#include "ui/Icons.h"
#include "ui/Style.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
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
    const auto lineEdit = [this](const QString &name, const QString &placeholder) {
        auto *edit = new QLineEdit(this);
        edit->setObjectName(name);
        edit->setPlaceholderText(placeholder);
        return edit;
    };
    m_name = lineEdit(QStringLiteral("nameField"), QString());
    m_host = lineEdit(QStringLiteral("hostField"), QStringLiteral("backup.example.com"));
    m_port = lineEdit(QStringLiteral("portField"), QStringLiteral("22"));
    m_port->setMaxLength(5);
    m_user = lineEdit(QStringLiteral("userField"), QStringLiteral("deploy"));
    m_nameProblem = Style::note(QString(), this, Icons::red());
    m_nameProblem->setObjectName(QStringLiteral("nameProblem"));
    m_nameProblem->setTextFormat(Qt::PlainText);
    const auto problemNote = [this](const QString &name) {
        QLabel *note = Style::note(QString(), this, Icons::red());
        note->setObjectName(name);
        note->setTextFormat(Qt::PlainText);
        note->setVisible(false);
        return note;
    };
    m_hostProblem = problemNote(QStringLiteral("hostProblem"));
    m_userProblem = problemNote(QStringLiteral("userProblem"));
    m_portProblem = Style::note(tr("The port must be a whole number from 1 to 65535."), this, Icons::red());
    m_portProblem->setObjectName(QStringLiteral("portProblem"));
    m_agent = new QCheckBox(this);
    m_agent->setObjectName(QStringLiteral("agentSwitch"));
    m_agent->setToolTip(
        tr("Use keys loaded in ssh-agent instead of a file on disk. Supports passphrase-protected keys."));
    m_agent->setAccessibleName(tr("Use ssh-agent"));
    auto *keyBox = new QWidget(this);
    auto *keyLayout = new QHBoxLayout(keyBox);
    keyLayout->setContentsMargins(0, 0, 0, 0);
    m_key = new QLineEdit(keyBox);
    m_key->setObjectName(QStringLiteral("keyField"));
    m_key->setPlaceholderText(QStringLiteral("~/.ssh/id_ed25519"));
    m_key->setFont(Style::monospace());
    auto *browse = new QPushButton(tr("Browse…"), keyBox);
    browse->setObjectName(QStringLiteral("browseKey"));
    keyLayout->addWidget(m_key, 1);
    keyLayout->addWidget(browse);
    layout->addWidget(field(tr("Name"), m_name));
    layout->addWidget(m_nameProblem);
    layout->addWidget(field(tr("Host"), m_host));
    layout->addWidget(m_hostProblem);
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
    layout->addWidget(field(tr("Use ssh-agent"), m_agent));
    m_keyRow = field(tr("SSH private key"), keyBox, m_key);
    m_keyRow->setObjectName(QStringLiteral("keyRow"));
    layout->addWidget(m_keyRow);
    auto *bandwidthBox = new QWidget(this);
    auto *bandwidthLayout = new QHBoxLayout(bandwidthBox);
    bandwidthLayout->setContentsMargins(0, 0, 0, 0);
    m_bandwidth = new QSpinBox(bandwidthBox);
    m_bandwidth->setObjectName(QStringLiteral("bandwidthField"));
    m_bandwidth->setRange(0, 10'000'000);
    m_bandwidth->setGroupSeparatorShown(false);
    m_bandwidth->setFixedWidth(110);
    bandwidthLayout->addWidget(m_bandwidth);
    bandwidthLayout->addWidget(new QLabel(tr("KB/s (0 = no limit)"), bandwidthBox));
    bandwidthLayout->addStretch(1);
    layout->addWidget(field(tr("Limit bandwidth to"), bandwidthBox, m_bandwidth));

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

    connect(m_name, &QLineEdit::textEdited, this,
            [this](const QString &text) { edit([&](Server &s) { s.name = text; }); });
    connect(m_host, &QLineEdit::textEdited, this,
            [this](const QString &text) { edit([&](Server &s) { s.host = text; }); });
    connect(m_port, &QLineEdit::textEdited, this, [this](const QString &text) {
        // An entry that is not a port is shown as such and not stored.
        const auto port = parsePort(text);
        setRed(m_port, !port);
        m_portProblem->setVisible(!port);
        if (port)
            edit([&](Server &s) { s.port = *port; });
    });
    connect(m_user, &QLineEdit::textEdited, this,
            [this](const QString &text) { edit([&](Server &s) { s.username = text; }); });
    connect(m_agent, &QCheckBox::toggled, this, [this](bool on) { edit([&](Server &s) { s.useSSHAgent = on; }); });
    connect(m_key, &QLineEdit::textEdited, this,
            [this](const QString &text) { edit([&](Server &s) { s.privateKeyPath = text; }); });
    connect(m_bandwidth, &QSpinBox::valueChanged, this,
            [this](int value) { edit([&](Server &s) { s.bandwidthLimitKBps = value; }); });
    connect(browse, &QPushButton::clicked, this, &ConnectionSection::pickKey);
    connect(m_test, &QPushButton::clicked, this, &ConnectionSection::testConnection);
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
        m_testMessage->setText(SSHTester::messageOf(*m_report));
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
    QCoro::connect(SSHTester::test(server(), 10), this, [this](const SSHTester::Report &report) {
        m_report = report;
        m_testing = false;
        showTest(server());
        Q_EMIT testFinished();
    });
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
