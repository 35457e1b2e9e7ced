// SPDX-License-Identifier: GPL-3.0-or-later
// Showing and acting on a server's host key state.
#include "ui/editor/HostKeySection.h"

#include "core/presentation/HostKeyCheck.h"
#include "ui/widgets/Icons.h"
#include "ui/widgets/Style.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QColor orange(0xd9, 0x82, 0x1e);

} // namespace

HostKeySection::HostKeySection(const QUuid &serverID, ConfigStore *store, QWidget *parent)
    : EditorSection(tr("Host key"), serverID, store, parent)
    , m_check(new HostKeyCheck(this))
{
    setObjectName(QStringLiteral("hostKeySection"));
    auto *layout = qobject_cast<QVBoxLayout *>(this->layout());
    auto *checkLine = new QHBoxLayout;
    m_checkButton = new QPushButton(Icons::get(QStringLiteral("security-high")), tr("Check host key"), this);
    m_checkButton->setObjectName(QStringLiteral("checkHostKey"));
    m_badge = new QLabel(this);
    m_badge->setObjectName(QStringLiteral("hostBadge"));
    QFont medium = m_badge->font();
    medium.setWeight(QFont::Medium);
    m_badge->setFont(medium);
    checkLine->addWidget(m_checkButton);
    checkLine->addWidget(m_badge);
    checkLine->addStretch(1);
    layout->addLayout(checkLine);
    m_detail = new QWidget(this);
    m_detail->setObjectName(QStringLiteral("hostDetail"));
    m_detailLayout = new QVBoxLayout(m_detail);
    m_detailLayout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_detail);
    m_note = Style::note(
        tr("Verify the server's SSH host key fingerprint before trusting it. On first use, compare the fingerprint "
           "with what the server administrator provides."),
        this);
    layout->addWidget(m_note);
    m_message = Style::note(QString(), this);
    m_message->setObjectName(QStringLiteral("hostActionMessage"));
    layout->addWidget(m_message);
    connect(m_checkButton, &QPushButton::clicked, this, [this] {
        const Server s = server();
        m_check->check(s.host, s.port);
    });
    connect(m_check, &HostKeyCheck::changed, this, [this] {
        refresh(server());
        showStatus();
    });
    showStatus();
}

void HostKeySection::refresh(const Server &server)
{
    // A result is about the host and port it was checked with.
    if (!m_check->isChecking() && !m_check->isAbout(server.host, server.port))
        m_check->clear();
    m_checkButton->setEnabled(!m_check->isChecking() && !server.host.isEmpty());
    m_checkButton->setText(m_check->isChecking() ? tr("Checking…") : tr("Check host key"));
    m_note->setVisible(!m_check->status());
    m_message->setVisible(!m_check->message().isEmpty());
    m_message->setText(m_check->message());
}

QWidget *HostKeySection::fingerprintBox(const QString &title, const QString &keyType, const QString &sha256,
                                        const QColor &tint)
{
    auto *box = new QWidget(m_detail);
    auto *layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(3);
    layout->addWidget(Style::note(title, box));
    auto *line = new QHBoxLayout;
    auto *type = new QLabel(keyType, box);
    QFont semibold = type->font();
    semibold.setPointSizeF(semibold.pointSizeF() * 0.9);
    semibold.setWeight(QFont::DemiBold);
    type->setFont(semibold);
    type->setAutoFillBackground(true);
    type->setMargin(2);
    QColor background = tint;
    background.setAlphaF(0.18);
    QPalette palette = type->palette();
    palette.setColor(QPalette::Window, background);
    type->setPalette(palette);
    auto *hash = new QLabel(sha256, box);
    hash->setObjectName(QStringLiteral("fingerprint"));
    hash->setTextFormat(Qt::PlainText);
    hash->setFont(Style::monospace(0.9));
    hash->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    // The type above the hash: side by side they were wider than the editor
    // of a window at its smallest.
    line->addWidget(type);
    line->addStretch(1);
    layout->addLayout(line);
    layout->addWidget(hash);
    return box;
}

void HostKeySection::showStatus()
{
    // The detail is built for each new result only (a check or a trust).
    const auto status = m_check->status();
    if (status == m_shown && !m_detail->isHidden() == status.has_value())
        return;
    m_shown = status;
    while (QLayoutItem *item = m_detailLayout->takeAt(0)) {
        if (item->widget()) {
            item->widget()->hide();
            item->widget()->deleteLater();
        }
        delete item;
    }
    m_badge->clear();
    m_detail->setVisible(status.has_value());
    if (!status)
        return;
    using State = HostKeyChecker::Status::State;
    const auto classified = status->state();
    switch (classified.state) {
    case State::trusted:
        setBadge(tr("✔ Trusted"), Icons::green());
        m_detailLayout->addWidget(
            fingerprintBox(tr("Trusted fingerprint"), classified.live.keyType, classified.live.sha256, Icons::green()));
        break;
    case State::unknown:
        showUnknown(classified);
        break;
    case State::mismatch:
        showMismatch(classified);
        break;
    case State::unreachable: {
        setBadge(tr("✖ Unreachable"), Icons::red());
        auto *reason = Style::note(classified.reason, m_detail);
        reason->setObjectName(QStringLiteral("unreachableReason"));
        reason->setTextFormat(Qt::PlainText);
        reason->setFont(Style::monospace(0.9));
        m_detailLayout->addWidget(reason);
        break;
    }
    }
}

void HostKeySection::setBadge(const QString &text, const QColor &color)
{
    m_badge->setText(text);
    QPalette palette = m_badge->palette();
    palette.setColor(QPalette::WindowText, color);
    m_badge->setPalette(palette);
}

// A host not known yet: its fingerprint and the way to trust it.
void HostKeySection::showUnknown(const HostKeyChecker::Status::Classified &classified)
{
    setBadge(tr("? Unknown host"), orange);
    m_detailLayout->addWidget(
        fingerprintBox(tr("Server's fingerprint"), classified.live.keyType, classified.live.sha256, orange));
    auto *trustRow = new QWidget(m_detail);
    auto *trustLine = new QHBoxLayout(trustRow);
    trustLine->setContentsMargins(0, 0, 0, 0);
    auto *trust = new QPushButton(Icons::get(QStringLiteral("security-high")), tr("Trust this host"), trustRow);
    trust->setObjectName(QStringLiteral("trustHost"));
    connect(trust, &QPushButton::clicked, this, [this] {
        const Server s = server();
        m_check->trust(s.host, s.port);
    });
    trustLine->addWidget(trust);
    setTabOrder(m_checkButton, trust); // made after the sections below
    trustLine->addWidget(
        Style::note(tr("Only trust if the fingerprint matches what the administrator gave you."), trustRow), 1);
    m_detailLayout->addWidget(trustRow);
}

// A key that is not the one trusted: both fingerprints, the warning and the
// way forward once the administrator confirmed the new key.
void HostKeySection::showMismatch(const HostKeyChecker::Status::Classified &classified)
{
    setBadge(tr("⚠ Fingerprint mismatch!"), Icons::red());
    m_detailLayout->addWidget(
        fingerprintBox(tr("Server presents"), classified.live.keyType, classified.live.sha256, Icons::red()));
    m_detailLayout->addWidget(
        fingerprintBox(tr("You trusted"), classified.known.keyType, classified.known.sha256, Icons::secondary(this)));
    m_detailLayout->addWidget(
        Style::note(tr("DANGER: the key changed. This can happen after a server rebuild — but also indicates "
                       "possible interception. Do not proceed without verifying with the administrator."),
                    m_detail, Icons::red()));
    {
        // The way forward once the administrator confirmed the new key.
        auto *replace = new QPushButton(tr("Replace the stored key…"), m_detail);
        replace->setObjectName(QStringLiteral("replaceHostKey"));
        connect(replace, &QPushButton::clicked, this, &HostKeySection::replaceRequested);
        setTabOrder(m_checkButton, replace);
        auto *row = new QHBoxLayout;
        row->addWidget(replace);
        row->addStretch(1);
        m_detailLayout->addLayout(row);
    }
}
