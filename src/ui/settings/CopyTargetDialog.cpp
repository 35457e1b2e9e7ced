// SPDX-License-Identifier: GPL-3.0-or-later
// The fields of one second copy.
#include "ui/settings/CopyTargetDialog.h"

#include "core/model/HostInput.h"
#include "core/model/ServerCheck.h"
#include "core/presentation/HostKeyCheck.h"
#include "core/system/AppPaths.h"
#include "ui/widgets/Dialogs.h"
#include "ui/widgets/Icons.h"
#include "ui/widgets/Style.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

CopyTargetDialog::CopyTargetDialog(const CopyTarget &target, const AppSettings &settings, Dialogs *dialogs,
                                   QWidget *parent)
    : QDialog(parent)
    , m_target(target)
    , m_settings(settings)
    , m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("copyTargetDialog"));
    setWindowTitle(target.kind == CopyTarget::Kind::ssh ? tr("A second copy on a host")
                                                        : tr("A second copy in a folder"));
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    m_name = new QLineEdit(target.name, this);
    m_name->setObjectName(QStringLiteral("targetName"));
    form->addRow(tr("Name"), m_name);
    m_enabled = new QCheckBox(tr("Copy each good backup's new day here"), this);
    m_enabled->setObjectName(QStringLiteral("targetEnabled"));
    m_enabled->setChecked(target.enabled);
    form->addRow(QString(), m_enabled);
    buildPlace(form);
    buildServers(form);
    buildCounts(form);
    layout->addLayout(form);
    m_problem = Style::note(QString(), this, Icons::red());
    m_problem->setObjectName(QStringLiteral("targetProblem"));
    layout->addWidget(m_problem);
    m_buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel, this);
    m_buttons->button(QDialogButtonBox::Save)->setObjectName(QStringLiteral("targetSave"));
    layout->addWidget(m_buttons);
    connect(m_buttons, &QDialogButtonBox::accepted, this, [this] {
        if (problem().isEmpty())
            accept();
    });
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    for (QLineEdit *field : findChildren<QLineEdit *>())
        connect(field, &QLineEdit::textChanged, this, &CopyTargetDialog::update);
    for (QCheckBox *box : findChildren<QCheckBox *>())
        connect(box, &QCheckBox::toggled, this, &CopyTargetDialog::update);
    connect(m_servers, &QListWidget::itemChanged, this, &CopyTargetDialog::update);
    for (QSpinBox *count : findChildren<QSpinBox *>())
        connect(count, &QSpinBox::valueChanged, this, &CopyTargetDialog::update);
    update();
}

void CopyTargetDialog::buildPlace(QFormLayout *form)
{
    m_path = new QLineEdit(m_target.path, this);
    m_path->setObjectName(QStringLiteral("targetPath"));
    if (m_target.kind == CopyTarget::Kind::folder) {
        auto *line = new QHBoxLayout;
        line->addWidget(m_path, 1);
        auto *choose = new QPushButton(tr("Choose…"), this);
        choose->setObjectName(QStringLiteral("chooseTargetPath"));
        connect(choose, &QPushButton::clicked, this, &CopyTargetDialog::choosePath);
        line->addWidget(choose);
        form->addRow(tr("Folder"), line);
        return;
    }
    m_host = new QLineEdit(m_target.host, this);
    m_host->setObjectName(QStringLiteral("targetHost"));
    m_host->setPlaceholderText(QStringLiteral("backup.example.org"));
    // "user@host:port" pasted into the host field fills the three.
    connect(m_host, &QLineEdit::editingFinished, this, [this] {
        const std::optional<HostInput::Parts> parts = HostInput::split(m_host->text());
        if (!parts)
            return;
        m_host->setText(parts->host);
        if (!parts->user.isEmpty())
            m_user->setText(parts->user);
        if (parts->port)
            m_port->setValue(int(*parts->port));
    });
    form->addRow(tr("Host"), m_host);
    m_port = new QSpinBox(this);
    m_port->setObjectName(QStringLiteral("targetPort"));
    m_port->setRange(1, 65535);
    m_port->setValue(int(std::clamp<qint64>(m_target.port, 1, 65535)));
    form->addRow(tr("Port"), m_port);
    m_user = new QLineEdit(m_target.username, this);
    m_user->setObjectName(QStringLiteral("targetUser"));
    form->addRow(tr("User"), m_user);
    m_path->setPlaceholderText(QStringLiteral("/srv/copies"));
    form->addRow(tr("Folder on the host"), m_path);
    auto *keyLine = new QHBoxLayout;
    m_key = new QLineEdit(m_target.privateKeyPath, this);
    m_key->setObjectName(QStringLiteral("targetKey"));
    keyLine->addWidget(m_key, 1);
    auto *chooseKey = new QPushButton(tr("Choose…"), this);
    chooseKey->setObjectName(QStringLiteral("chooseTargetKey"));
    connect(chooseKey, &QPushButton::clicked, this, &CopyTargetDialog::chooseKey);
    keyLine->addWidget(chooseKey);
    form->addRow(tr("SSH key"), keyLine);
    m_agent = new QCheckBox(tr("Use the keys of ssh-agent"), this);
    m_agent->setObjectName(QStringLiteral("targetAgent"));
    m_agent->setChecked(m_target.useSSHAgent);
    form->addRow(QString(), m_agent);
    buildHostKey(form);
}

void CopyTargetDialog::buildHostKey(QFormLayout *form)
{
    m_keyCheck = new HostKeyCheck(this);
    auto *box = new QVBoxLayout;
    auto *check = new QPushButton(Icons::get(QStringLiteral("security-high")), tr("Check the host key"), this);
    check->setObjectName(QStringLiteral("targetCheckKey"));
    m_keyState = new QLabel(this);
    m_keyState->setObjectName(QStringLiteral("targetKeyState"));
    m_keyState->setWordWrap(true);
    m_keyState->setTextFormat(Qt::PlainText);
    m_keyState->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_keyAction = new QPushButton(this);
    m_keyAction->setObjectName(QStringLiteral("targetTrustKey"));
    m_keyAction->hide();
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(check);
    buttons->addWidget(m_keyAction);
    buttons->addStretch(1);
    box->addLayout(buttons);
    box->addWidget(m_keyState);
    form->addRow(tr("Host key"), box);
    connect(check, &QPushButton::clicked, this,
            [this] { m_keyCheck->check(m_host->text().trimmed(), m_port->value()); });
    connect(m_keyAction, &QPushButton::clicked, this, &CopyTargetDialog::actOnHostKey);
    connect(m_keyCheck, &HostKeyCheck::changed, this, &CopyTargetDialog::showHostKey);
    // A result is about the host and port it was had for.
    connect(m_host, &QLineEdit::textChanged, m_keyCheck, &HostKeyCheck::clear);
    connect(m_port, &QSpinBox::valueChanged, m_keyCheck, &HostKeyCheck::clear);
    showHostKey();
}

void CopyTargetDialog::showHostKey()
{
    using State = HostKeyChecker::Status::State;
    m_keyAction->hide();
    QStringList lines;
    if (m_keyCheck->isChecking()) {
        lines << tr("Checking…");
    } else if (const std::optional<HostKeyChecker::Status> status = m_keyCheck->status()) {
        const HostKeyChecker::Status::Classified found = status->state();
        const QString live = found.live.keyType + u' ' + found.live.sha256;
        if (found.state == State::trusted) {
            lines << tr("✔ Trusted: %1").arg(live);
        } else if (found.state == State::unknown) {
            lines << tr("? Unknown host: %1").arg(live)
                  << tr("Only trust if the fingerprint matches what the administrator gave you.");
            m_keyAction->setText(tr("Trust this host"));
            m_keyAction->show();
        } else if (found.state == State::mismatch) {
            lines << tr("⚠ Fingerprint mismatch! The host presents %1; you trusted %2.")
                         .arg(live, found.known.keyType + u' ' + found.known.sha256)
                  << tr("Nothing is copied there until the key is trusted again.");
            m_keyAction->setText(tr("Replace the stored key…"));
            m_keyAction->show();
        } else {
            lines << tr("✖ Unreachable: %1").arg(found.reason);
        }
    }
    if (!m_keyCheck->message().isEmpty())
        lines << m_keyCheck->message();
    m_keyState->setText(lines.join(u'\n'));
    m_keyState->setVisible(!lines.isEmpty());
}

void CopyTargetDialog::actOnHostKey()
{
    const std::optional<HostKeyChecker::Status> status = m_keyCheck->status();
    if (!status)
        return;
    const QString host = m_host->text().trimmed();
    if (status->state().state == HostKeyChecker::Status::State::unknown) {
        m_keyCheck->trust(host, m_port->value());
        return;
    }
    if (status->state().state != HostKeyChecker::Status::State::mismatch)
        return;
    if (!m_dialogs->confirm(this, tr("Replace the stored key?"), tr("Replace the stored host key of %1?").arg(host),
                            tr("Only do this when you know why the key changed (the host was rebuilt)."),
                            tr("Replace")))
        return;
    m_keyCheck->replace(host, m_port->value());
}

void CopyTargetDialog::buildServers(QFormLayout *form)
{
    m_allServers = new QCheckBox(tr("All servers, and those added later"), this);
    m_allServers->setObjectName(QStringLiteral("targetAllServers"));
    m_allServers->setChecked(m_target.servers.isEmpty());
    form->addRow(tr("Servers"), m_allServers);
    m_servers = new QListWidget(this);
    m_servers->setObjectName(QStringLiteral("targetServers"));
    m_servers->setMaximumHeight(120);
    for (const Server &server : std::as_const(m_settings.servers)) {
        auto *item = new QListWidgetItem(server.shownName(), m_servers);
        item->setData(Qt::UserRole, server.id);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(m_target.servers.contains(server.id) ? Qt::Checked : Qt::Unchecked);
    }
    form->addRow(QString(), m_servers);
}

void CopyTargetDialog::buildCounts(QFormLayout *form)
{
    m_ownCounts = new QCheckBox(tr("Keep its own number of days"), this);
    m_ownCounts->setObjectName(QStringLiteral("targetOwnCounts"));
    m_ownCounts->setChecked(m_target.keepDaily || m_target.keepWeekly || m_target.keepMonthly);
    form->addRow(tr("History"), m_ownCounts);
    auto *line = new QHBoxLayout;
    const QList<std::pair<QString, std::optional<qint64>>> counts{
        {tr("daily"), m_target.keepDaily}, {tr("weekly"), m_target.keepWeekly}, {tr("monthly"), m_target.keepMonthly}};
    const QStringList names{QStringLiteral("targetKeepDaily"), QStringLiteral("targetKeepWeekly"),
                            QStringLiteral("targetKeepMonthly")};
    for (qsizetype i = 0; i < counts.size(); ++i) {
        auto *count = new QSpinBox(this);
        count->setObjectName(names.at(i));
        count->setRange(0, 9999);
        count->setValue(int(std::clamp<qint64>(counts.at(i).second.value_or(0), 0, 9999)));
        auto *caption = new QLabel(counts.at(i).first, this);
        caption->setBuddy(count);
        line->addWidget(count);
        line->addWidget(caption);
        m_counts << count;
    }
    line->addStretch(1);
    form->addRow(QString(), line);
    form->addRow(QString(), Style::note(tr("Otherwise each server's own counts apply. A copy that keeps months only "
                                           "receives each month's newest day."),
                                        this));
}

CopyTarget CopyTargetDialog::target() const
{
    CopyTarget target = m_target;
    target.name = m_name->text().trimmed();
    target.enabled = m_enabled->isChecked();
    target.path = m_path->text().trimmed();
    if (target.kind == CopyTarget::Kind::ssh) {
        target.host = m_host->text().trimmed();
        target.port = m_port->value();
        target.username = m_user->text().trimmed();
        target.privateKeyPath = m_key->text().trimmed();
        target.useSSHAgent = m_agent->isChecked();
    } else if (!target.path.isEmpty()) {
        target.path = QDir::cleanPath(target.path);
    }
    target.servers.clear();
    for (int row = 0; !m_allServers->isChecked() && row < m_servers->count(); ++row) {
        if (m_servers->item(row)->checkState() == Qt::Checked)
            target.servers << m_servers->item(row)->data(Qt::UserRole).toUuid();
    }
    const bool own = m_ownCounts->isChecked();
    target.keepDaily = own ? std::optional<qint64>(m_counts.at(0)->value()) : std::nullopt;
    target.keepWeekly = own ? std::optional<qint64>(m_counts.at(1)->value()) : std::nullopt;
    target.keepMonthly = own ? std::optional<qint64>(m_counts.at(2)->value()) : std::nullopt;
    return target;
}

QString CopyTargetDialog::problem() const
{
    const CopyTarget edited = target();
    if (edited.name.isEmpty())
        return tr("Give the second copy a name.");
    for (const CopyTarget &other : std::as_const(m_settings.copyTargets)) {
        if (other.id != edited.id && other.name.compare(edited.name, Qt::CaseInsensitive) == 0)
            return tr("Another second copy is called “%1”.").arg(other.name);
    }
    if (edited.kind == CopyTarget::Kind::folder) {
        const QString folder = QDir::cleanPath(AppPaths::expandTilde(edited.path));
        if (!QDir::isAbsolutePath(folder))
            return tr("The folder must be a full path (starting with / or ~).");
        const QString destination = QDir::cleanPath(AppPaths::expandTilde(m_settings.destinationPath));
        if (folder == destination || folder.startsWith(destination + u'/') || destination.startsWith(folder + u'/'))
            return tr("The folder must be outside the destination, on another drive.");
    } else {
        // Checked as a server's connection is, and said the same way.
        using Field = ServerCheck::Problem::Field;
        for (const ServerCheck::Problem &found : ServerCheck::problems(edited.connection(), {})) {
            if (found.field == Field::host || found.field == Field::port || found.field == Field::username
                || found.field == Field::key)
                return found.shown;
        }
        if (edited.path.isEmpty())
            return tr("Name the folder on the host.");
        if (!edited.privateKeyPath.isEmpty() && !QFileInfo(AppPaths::expandTilde(edited.privateKeyPath)).isFile())
            return tr("There is no key file %1.").arg(edited.privateKeyPath);
    }
    if (m_ownCounts->isChecked() && m_counts.at(0)->value() + m_counts.at(1)->value() + m_counts.at(2)->value() == 0)
        return tr("Keep at least one day.");
    if (!m_allServers->isChecked() && edited.servers.isEmpty())
        return tr("Choose at least one server.");
    return QString();
}

void CopyTargetDialog::update()
{
    m_servers->setEnabled(!m_allServers->isChecked());
    for (QSpinBox *count : std::as_const(m_counts))
        count->setEnabled(m_ownCounts->isChecked());
    const QString why = problem();
    m_problem->setText(why);
    m_problem->setVisible(!why.isEmpty());
    m_buttons->button(QDialogButtonBox::Save)->setEnabled(why.isEmpty());
}

void CopyTargetDialog::choosePath()
{
    const QString start = m_path->text().isEmpty() ? QDir::homePath() : AppPaths::expandTilde(m_path->text());
    const QString folder = m_dialogs->folderName(this, tr("Choose the folder of a second copy"), start);
    if (!folder.isEmpty())
        m_path->setText(QDir::cleanPath(folder));
}

void CopyTargetDialog::chooseKey()
{
    const QString file = m_dialogs->openFileName(this, tr("Choose the SSH key"),
                                                 QDir::homePath() + QStringLiteral("/.ssh"), QString(), true);
    if (!file.isEmpty())
        m_key->setText(file);
}
