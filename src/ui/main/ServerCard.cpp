// SPDX-License-Identifier: GPL-3.0-or-later
// A dashboard card, updated in place.
#include "ui/main/ServerCard.h"

#include "core/model/Schedule.h"
#include "core/presentation/Formatting.h"
#include "core/presentation/ServerRules.h"
#include "ui/widgets/ElidedLabel.h"
#include "ui/widgets/Icons.h"
#include "ui/widgets/Style.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString healthIcon(ServerRules::Health::Kind kind)
{
    switch (kind) {
    case ServerRules::Health::Kind::running:
        return QStringLiteral("view-refresh");
    case ServerRules::Health::Kind::neverRan:
        return QStringLiteral("content-loading");
    case ServerRules::Health::Kind::failed:
    case ServerRules::Health::Kind::damaged:
        return QStringLiteral("dialog-error");
    case ServerRules::Health::Kind::held:
        return QStringLiteral("security-high");
    case ServerRules::Health::Kind::overdue:
        return QStringLiteral("appointment-soon");
    case ServerRules::Health::Kind::healthy:
        return QStringLiteral("emblem-ok");
    }
    return QString();
}

// Sets a label's text only when it differs: no relayout for nothing.
void setText(QLabel *label, const QString &text)
{
    if (auto *elided = qobject_cast<ElidedLabel *>(label)) {
        if (elided->fullText() != text)
            elided->setFullText(text);
    } else if (label->text() != text) {
        label->setText(text);
    }
}

} // namespace

ServerCard::ServerCard(const QUuid &serverID, QWidget *parent)
    : QFrame(parent)
    , m_id(serverID)
{
    setObjectName(QStringLiteral("card-") + serverID.toString(QUuid::WithoutBraces));
    setCursor(Qt::PointingHandCursor);
    // One Tab stop per card, with a frame when focused; Enter opens it.
    setFocusPolicy(Qt::StrongFocus);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 12, 14, 12);
    layout->setSpacing(6);
    auto *titleLine = new QHBoxLayout;
    m_icon = new QLabel(this);
    m_name = new ElidedLabel(this);
    m_name->setObjectName(QStringLiteral("cardName"));
    QFont bold = m_name->font();
    bold.setBold(true);
    m_name->setFont(bold);
    m_clock = new QLabel(this);
    titleLine->addWidget(m_icon);
    titleLine->addWidget(m_name, 1);
    titleLine->addWidget(m_clock);
    layout->addLayout(titleLine);
    m_health = new QLabel(this);
    m_health->setObjectName(QStringLiteral("cardHealth"));
    m_health->setTextFormat(Qt::PlainText);
    layout->addWidget(m_health);

    m_rows = new QWidget(this);
    auto *rows = new QGridLayout(m_rows);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setHorizontalSpacing(8);
    rows->setVerticalSpacing(2);
    rows->setColumnMinimumWidth(0, 60);
    rows->setColumnStretch(1, 1);
    layout->addWidget(m_rows);
    m_host = addRow(tr("Host"), QStringLiteral("cardHost"));
    m_lastRun = addRow(tr("Last run"), QStringLiteral("cardLastRun"));
    m_next = addRow(tr("Next"), QStringLiteral("cardNext"));
    m_nextLabel = m_captions.last();
    m_paths = addRow(tr("Paths"), QStringLiteral("cardPaths"));
    m_copies = addRow(tr("Copies"), QStringLiteral("cardCopies"));
    m_copiesLabel = m_captions.last();
    m_problem = Style::note(QString(), this, Icons::red());
    m_problem->setObjectName(QStringLiteral("cardScheduleProblem"));
    m_problem->setTextFormat(Qt::PlainText);
    layout->addWidget(m_problem);

    auto *buttons = new QHBoxLayout;
    m_run = new QPushButton(Icons::get(QStringLiteral("go-down")), tr("Run now"), this);
    m_run->setObjectName(QStringLiteral("cardRun"));
    auto *configure = new QPushButton(Icons::get(QStringLiteral("preferences-system")), tr("Configure"), this);
    configure->setObjectName(QStringLiteral("cardConfigure"));
    connect(m_run, &QPushButton::clicked, this, [this] { Q_EMIT runRequested(m_id); });
    connect(configure, &QPushButton::clicked, this, [this] { Q_EMIT selectRequested(m_id); });
    // Reached with Tab after the card itself, as the mouse reaches them.
    m_run->setFocusPolicy(Qt::TabFocus);
    configure->setFocusPolicy(Qt::TabFocus);
    buttons->addWidget(m_run);
    buttons->addWidget(configure);
    buttons->addStretch(1);
    layout->addLayout(buttons);
}

QLabel *ServerCard::addRow(const QString &label, const QString &objectName)
{
    auto *grid = qobject_cast<QGridLayout *>(m_rows->layout());
    const int row = int(m_captions.size());
    auto *caption = new QLabel(label, m_rows);
    m_captions.append(caption);
    caption->setForegroundRole(QPalette::PlaceholderText);
    // Cut with "…" (the whole text as tooltip) when the card is narrow.
    auto *value = new ElidedLabel(m_rows);
    value->setObjectName(objectName);
    value->setMinimumWidth(40);
    value->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    grid->addWidget(caption, row, 0);
    grid->addWidget(value, row, 1);
    return value;
}

void ServerCard::setServer(const Server &server, const State &state)
{
    ++m_revision;
    m_server = server;
    m_state = state;
    const ServerRules::Health health = ServerRules::healthStatus(server, state.running, state.now);
    if (int(health.kind) != m_healthKind) {
        m_healthKind = int(health.kind);
        m_icon->setPixmap(Icons::get(healthIcon(health.kind)).pixmap(18, 18));
    }
    QColor tint = Icons::secondary(this);
    if (health.kind == ServerRules::Health::Kind::running)
        tint = Icons::accent(this);
    else if (health.kind == ServerRules::Health::Kind::failed || health.kind == ServerRules::Health::Kind::damaged)
        tint = Icons::red();
    else if (health.kind == ServerRules::Health::Kind::overdue || health.kind == ServerRules::Health::Kind::held)
        tint = Icons::amber();
    else if (health.kind == ServerRules::Health::Kind::healthy)
        tint = Icons::green();
    if (tint != m_tint) {
        m_tint = tint;
        QPalette palette = m_health->palette();
        palette.setColor(QPalette::WindowText, tint);
        m_health->setPalette(palette);
        update();
    }
    m_name->setFullText(server.shownName());
    setAccessibleName(server.shownName());
    setText(m_health, state.waiting ? tr("Waiting for a free slot…") : health.label);
    const bool broken = !state.scheduleProblem.isEmpty();
    m_clock->setVisible(server.scheduleEnabled);
    if (broken != m_clockBroken || m_clock->pixmap().isNull()) {
        m_clockBroken = broken;
        m_clock->setPixmap(Icons::scheduleMark(broken, 14, devicePixelRatioF()));
    }
    const bool daily = Schedule::kind(server) == Schedule::Kind::daily;
    if (broken)
        m_clock->setToolTip(daily ? tr("The daily schedule does not work") : tr("The schedule does not work"));
    else
        m_clock->setToolTip(daily ? tr("Scheduled daily at %1").arg(server.scheduleTime)
                                  : tr("Scheduled %1").arg(ServerRules::scheduleText(server)));
    setText(m_host, ServerRules::hostText(server));
    setText(m_lastRun, server.lastRunAt ? Formatting::shortDateTime(*server.lastRunAt) : tr("never"));
    // Only a timer that works has a next run; a broken one shows its problem instead.
    setText(m_next, state.nextRun.isValid()
                        ? Formatting::shortDateTime(state.nextRun)
                        : (daily ? tr("daily %1").arg(server.scheduleTime) : ServerRules::scheduleText(server)));
    m_next->setVisible(server.scheduleEnabled && !broken);
    m_nextLabel->setVisible(server.scheduleEnabled && !broken);
    setText(m_paths, ServerRules::pathsText(server));
    setText(m_copies, state.copies);
    m_copies->setVisible(!state.copies.isEmpty());
    m_copiesLabel->setVisible(!state.copies.isEmpty());
    setText(m_problem, state.scheduleProblem);
    m_problem->setVisible(!state.scheduleProblem.isEmpty());
    m_run->setEnabled(state.canStart || state.runningHere);
    if (state.runningHere != m_showsRun) {
        m_showsRun = state.runningHere;
        m_run->setText(m_showsRun ? tr("Show backup") : tr("Run now"));
        m_run->setIcon(Icons::get(m_showsRun ? QStringLiteral("view-refresh") : QStringLiteral("go-down")));
    }
}

void ServerCard::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Q_EMIT selectRequested(m_id);
    QFrame::mouseReleaseEvent(event);
}

void ServerCard::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        Q_EMIT selectRequested(m_id);
        return;
    default:
        QFrame::keyPressEvent(event);
    }
}

void ServerCard::focusInEvent(QFocusEvent *event)
{
    QFrame::focusInEvent(event);
    update();
}

void ServerCard::focusOutEvent(QFocusEvent *event)
{
    QFrame::focusOutEvent(event);
    update();
}

void ServerCard::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const bool focused = hasFocus();
    painter.setPen(QPen(focused ? palette().color(QPalette::Highlight) : m_tint, focused ? 2.5 : 1));
    painter.setBrush(palette().color(QPalette::Base));
    const qreal inset = focused ? 1.5 : 0.5;
    painter.drawRoundedRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset), 8, 8);
}

void ServerCard::changeEvent(QEvent *event)
{
    QFrame::changeEvent(event);
    // Colours follow a palette change (a dark theme) at once.
    if (event->type() == QEvent::PaletteChange && !m_id.isNull() && m_healthKind >= 0) {
        m_tint = QColor();
        m_healthKind = -1;
        setServer(m_server, m_state);
    }
}
