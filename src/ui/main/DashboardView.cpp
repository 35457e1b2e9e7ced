// SPDX-License-Identifier: GPL-3.0-or-later
// The overview of all servers: counters and cards, updated in place.
#include "ui/main/DashboardView.h"

#include "core/engine/CopyState.h"
#include "core/presentation/ServerListModel.h"
#include "core/schedule/ScheduleStatus.h"
#include "core/storage/ConfigStore.h"
#include "core/system/FileUtil.h"
#include "ui/main/ServerCard.h"
#include "ui/widgets/Icons.h"
#include "ui/widgets/Style.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include <optional>

DashboardView::DashboardView(const AppContext &context, QWidget *parent)
    : QWidget(parent)
    , m_context(context)
{
    setObjectName(QStringLiteral("dashboardView"));
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto *scroll = new QScrollArea(this);
    // Not a Tab stop of its own: Tab goes to its controls, and it scrolls to them.
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    m_content = new QWidget(scroll);
    auto *layout = new QVBoxLayout(m_content);
    layout->setContentsMargins(20, 16, 20, 16);
    layout->setSpacing(16);
    scroll->setWidget(m_content);
    outer->addWidget(scroll);
    // Near the end (or with everything in view), the next page of cards.
    const auto more = [this, scroll] {
        const QScrollBar *bar = scroll->verticalScrollBar();
        if (bar->value() < bar->maximum() - bar->pageStep() || m_cardLimit >= shownCount())
            return;
        m_cardLimit += cardsPerPage;
        syncStructure();
    };
    connect(scroll->verticalScrollBar(), &QScrollBar::valueChanged, this, more);
    connect(scroll->verticalScrollBar(), &QScrollBar::rangeChanged, this, more, Qt::QueuedConnection);

    auto *title = new QLabel(tr("Overview"), m_content);
    title->setFont(Style::heading(title, 1.6));
    layout->addWidget(title);
    buildCounters(layout);
    buildEmptyState(layout);
    buildWelcome(layout);
    m_grid = new QGridLayout;
    m_grid->setHorizontalSpacing(spacing);
    m_grid->setVerticalSpacing(spacing);
    layout->addLayout(m_grid);
    layout->addStretch(1);

    connectModel();
    syncAll();
}

void DashboardView::buildCounters(QVBoxLayout *layout)
{
    // 36 pixels between counters when there is room, down to 12 in a narrow
    // window or a language with longer words.
    auto *header = new QHBoxLayout;
    header->setSpacing(12);
    using Health = ServerFilterModel::Health;
    struct Counter
    {
        QString key; // names the counter in code, whatever the language
        QString caption;
        std::optional<Health> filter;
    };
    const QList<Counter> counters{{QStringLiteral("Servers"), tr("Servers"), Health::all},
                                  {QStringLiteral("Healthy"), tr("Healthy"), std::nullopt},
                                  {QStringLiteral("Failing"), tr("Failing"), Health::failing},
                                  {QStringLiteral("Overdue"), tr("Overdue"), Health::overdue},
                                  {QStringLiteral("Scheduled"), tr("Scheduled"), std::nullopt}};
    for (const auto &[label, captionText, filter] : counters) {
        if (label != counters.constFirst().key)
            header->addSpacerItem(new QSpacerItem(24, 0, QSizePolicy::Preferred, QSizePolicy::Minimum));
        header->addWidget(counterBox(label, captionText, filter));
    }
    header->addStretch(1);
    layout->addLayout(header);
}

// What shows while no server is configured.
void DashboardView::buildEmptyState(QVBoxLayout *layout)
{
    m_empty = new QWidget(m_content);
    m_empty->setObjectName(QStringLiteral("emptyState"));
    auto *emptyLayout = new QVBoxLayout(m_empty);
    emptyLayout->setAlignment(Qt::AlignCenter);
    auto *icon = new QLabel(m_empty);
    icon->setPixmap(Icons::get(QStringLiteral("network-server")).pixmap(48, 48));
    icon->setAlignment(Qt::AlignCenter);
    auto *heading = new QLabel(tr("No servers configured"), m_empty);
    heading->setFont(Style::heading(heading));
    heading->setAlignment(Qt::AlignCenter);
    heading->setWordWrap(true);
    auto *description = new QLabel(tr("Click + in the sidebar to add your first server."), m_empty);
    description->setForegroundRole(QPalette::PlaceholderText);
    description->setAlignment(Qt::AlignCenter);
    description->setWordWrap(true);
    emptyLayout->addWidget(icon);
    emptyLayout->addWidget(heading);
    emptyLayout->addWidget(description);
    layout->addWidget(m_empty);
}

void DashboardView::buildWelcome(QVBoxLayout *layout)
{
    // Three numbered steps to a first backup, each a button.
    m_welcome = new QWidget(m_content);
    m_welcome->setObjectName(QStringLiteral("welcomeSteps"));
    auto *welcomeLayout = new QGridLayout(m_welcome);
    welcomeLayout->setContentsMargins(0, 8, 0, 8);
    auto *welcomeHeading = new QLabel(tr("Your first backup in three steps"), m_welcome);
    welcomeHeading->setFont(Style::heading(welcomeHeading));
    welcomeHeading->setWordWrap(true);
    welcomeLayout->addWidget(welcomeHeading, 0, 0, 1, 3);
    const QList<std::pair<QString, QString>> steps{
        {tr("Add a server: its address, the account to log in as, and a name."), tr("Add a server")},
        {tr("Set up its SSH key (Tidewell can make one and install it with the account's password) and trust "
            "its host key."),
         tr("Set up key")},
        {tr("Add a folder to back up, then run the first backup."), tr("Add a path")}};
    for (int i = 0; i < steps.size(); ++i) {
        auto *mark = new QLabel(QString::number(i + 1), m_welcome);
        QFont bold = mark->font();
        bold.setBold(true);
        mark->setFont(bold);
        auto *text = new QLabel(steps.at(i).first, m_welcome);
        text->setWordWrap(true);
        auto *button = new QPushButton(steps.at(i).second, m_welcome);
        button->setObjectName(QStringLiteral("welcomeStep%1").arg(i + 1));
        welcomeLayout->addWidget(mark, i + 1, 0, Qt::AlignTop);
        welcomeLayout->addWidget(text, i + 1, 1);
        welcomeLayout->addWidget(button, i + 1, 2, Qt::AlignTop);
        m_stepMarks << mark;
        m_stepButtons << button;
    }
    welcomeLayout->setColumnStretch(1, 1);
    layout->addWidget(m_welcome);
    connect(m_stepButtons.at(0), &QPushButton::clicked, this, &DashboardView::addServerRequested);
    connect(m_stepButtons.at(1), &QPushButton::clicked, this, [this] {
        if (m_context.servers->rowCount() > 0)
            Q_EMIT keySetupRequested(m_context.servers->server(0).id);
    });
    connect(m_stepButtons.at(2), &QPushButton::clicked, this, [this] {
        if (m_context.servers->rowCount() > 0)
            Q_EMIT addPathRequested(m_context.servers->server(0).id);
    });
}

// Each change of the list updates the cards and counters in place, while shown.
void DashboardView::connectModel()
{
    ServerListModel *model = m_context.servers;
    connect(model, &QAbstractItemModel::dataChanged, this, [this](const QModelIndex &top, const QModelIndex &bottom) {
        if (!deferred())
            syncRows(top.row(), bottom.row());
    });
    for (auto structural : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(model, structural, this, [this] {
            if (!deferred())
                syncStructure();
        });
    connect(model, &QAbstractItemModel::rowsMoved, this, [this] {
        if (!deferred())
            syncStructure();
    });
    connect(model, &QAbstractItemModel::modelReset, this, [this] {
        if (!deferred())
            syncStructure();
    });
    connect(model, &ServerListModel::countersChanged, this, [this] {
        if (!deferred())
            updateCounters();
    });
    if (!m_context.store)
        return;
    connect(m_context.store, &ConfigStore::settingsChanged, this, &DashboardView::watchCopies);
    connect(&m_copiesWatch, &QFileSystemWatcher::directoryChanged, this, [this] {
        if (!deferred())
            syncRows(0, m_context.servers->rowCount() - 1);
    });
    watchCopies();
}

void DashboardView::watchCopies()
{
    const QList<CopyTarget> &targets = m_context.store->settings().copyTargets;
    if (!targets.isEmpty() && m_copiesWatch.directories().isEmpty()) {
        (void)FileUtil::makePrivateFolder(CopyState::folder());
        m_copiesWatch.addPath(CopyState::folder());
    }
    if (targets == m_copyTargets)
        return;
    m_copyTargets = targets;
    if (!deferred())
        syncRows(0, m_context.servers->rowCount() - 1);
}

// One counter: its number over its caption; one that filters the list is a
// button that shows those servers.
QWidget *DashboardView::counterBox(const QString &label, const QString &captionText,
                                   std::optional<ServerFilterModel::Health> filter)
{
    using Health = ServerFilterModel::Health;
    QWidget *box = nullptr;
    if (filter) {
        auto *button = new QPushButton(m_content);
        button->setObjectName(QStringLiteral("counterButton") + label);
        button->setFlat(true);
        button->setCursor(Qt::PointingHandCursor);
        button->setAccessibleName(*filter == Health::all       ? tr("Show all servers in the list")
                                  : *filter == Health::failing ? tr("Show the failing servers in the list")
                                                               : tr("Show the overdue servers in the list"));
        button->setToolTip(button->accessibleName());
        connect(button, &QPushButton::clicked, this, [this, health = *filter] { Q_EMIT filterRequested(health); });
        box = button;
    } else {
        box = new QWidget(m_content);
    }
    auto *boxLayout = new QVBoxLayout(box);
    boxLayout->setContentsMargins(0, 0, 0, 0);
    boxLayout->setSpacing(0);
    auto *number = new QLabel(box);
    number->setObjectName(QStringLiteral("counter") + label);
    QFont big = number->font();
    big.setPointSizeF(big.pointSizeF() * 2.2);
    big.setBold(true);
    big.setStyleHint(QFont::Monospace);
    number->setFont(big);
    auto *caption = new QLabel(captionText, box);
    caption->setForegroundRole(QPalette::PlaceholderText);
    boxLayout->addWidget(number);
    boxLayout->addWidget(caption);
    // A button does not size itself by its layout: the layout does, as the number changes.
    if (qobject_cast<QPushButton *>(box))
        boxLayout->setSizeConstraint(QLayout::SetMinimumSize);
    m_counters.insert(label, number);
    return box;
}

bool DashboardView::deferred()
{
    if (isVisible())
        return false;
    m_stale = true;
    return true;
}

void DashboardView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_stale)
        syncAll();
}

void DashboardView::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        updateCounters();
}

int DashboardView::columnsFor(int width)
{
    return std::max(1, (width + spacing) / (minimumCardWidth + spacing));
}

void DashboardView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // The margins of the content take 40 of the width.
    if (columnsFor(event->size().width() - 40) != m_columns)
        placeCards();
}

QString DashboardView::counterText(const QString &label) const
{
    const QLabel *number = m_counters.value(label);
    return number ? number->text() : QString();
}

void DashboardView::syncAll()
{
    m_stale = false;
    syncStructure();
    syncRows(0, m_context.servers->rowCount() - 1);
}

void DashboardView::followFilter(const ServerFilterModel *filter)
{
    m_filter = filter;
    const auto follow = [this] {
        if (!deferred())
            syncStructure();
    };
    connect(filter, &ServerFilterModel::filterChanged, this, follow);
    connect(filter, &QAbstractItemModel::layoutChanged, this, follow);
    connect(filter, &QAbstractItemModel::rowsInserted, this, follow);
    connect(filter, &QAbstractItemModel::rowsRemoved, this, follow);
    follow();
}

int DashboardView::shownCount() const
{
    return m_filter ? m_filter->rowCount() : m_context.servers->rowCount();
}

QList<int> DashboardView::shownRows() const
{
    QList<int> rows;
    for (int i = 0; i < std::min(shownCount(), m_cardLimit); ++i)
        rows << (m_filter ? m_filter->sourceRow(i) : i);
    return rows;
}

void DashboardView::syncStructure()
{
    ServerListModel *model = m_context.servers;
    QHash<QUuid, ServerCard *> kept;
    QList<int> fresh;
    for (const int row : shownRows()) {
        const QUuid id = model->server(row).id;
        ServerCard *card = m_cards.take(id);
        if (!card) {
            card = new ServerCard(id, m_content);
            connect(card, &ServerCard::selectRequested, this, &DashboardView::selectRequested);
            connect(card, &ServerCard::runRequested, this, [this](const QUuid &serverID) {
                if (const Server *server = m_context.store->settings().server(serverID))
                    Q_EMIT runRequested(*server);
            });
            fresh.append(row);
        }
        kept.insert(id, card);
    }
    // What is left belongs to servers that are gone. A card may be the
    // sender of the change that removed it, so it goes later.
    for (ServerCard *gone : std::as_const(m_cards)) {
        gone->hide();
        gone->deleteLater();
    }
    m_cards = kept;
    for (const int row : std::as_const(fresh))
        syncRows(row, row);
    placeCards();
    updateCounters();
}

void DashboardView::placeCards()
{
    m_columns = columnsFor(width() - 40);
    ServerListModel *model = m_context.servers;
    while (m_grid->count() > 0)
        delete m_grid->takeAt(0);
    const QList<int> rows = shownRows();
    for (int i = 0; i < int(rows.size()); ++i) {
        if (ServerCard *card = m_cards.value(model->server(rows.at(i)).id))
            m_grid->addWidget(card, i / m_columns, i % m_columns);
    }
    for (int c = 0; c < m_grid->columnCount(); ++c)
        m_grid->setColumnStretch(c, c < m_columns ? 1 : 0);
    m_empty->setVisible(model->rowCount() == 0);
    updateWelcome();
}

void DashboardView::updateWelcome()
{
    ServerListModel *model = m_context.servers;
    const int rows = model->rowCount();
    bool fresh = rows <= 3;
    for (int row = 0; fresh && row < rows; ++row)
        fresh = model->data(model->index(row), ServerListModel::ResultRole).toInt() == -1;
    m_welcome->setVisible(fresh);
    if (!fresh)
        return;
    m_stepMarks.at(0)->setText(rows > 0 ? QStringLiteral("✓") : QStringLiteral("1"));
    m_stepButtons.at(1)->setEnabled(rows > 0);
    m_stepButtons.at(2)->setEnabled(rows > 0);
}

QString DashboardView::copiesText(const Server &server) const
{
    QStringList parts;
    for (const CopyState::Lag &lag : CopyState::lags(m_context.store->settings(), server)) {
        QString part = lag.newestDay.isEmpty() ? tr("%1: not yet").arg(lag.target)
                                               : tr("%1: up to %2").arg(lag.target, lag.newestDay);
        if (!lag.lastError.isEmpty())
            part = QStringLiteral("✗ ") + part;
        else if (lag.daysBehind > 0)
            part += u' ' + tr("(%n day(s) behind)", nullptr, int(std::min<qint64>(lag.daysBehind, 100000)));
        parts << part;
    }
    return parts.join(QStringLiteral(" · "));
}

void DashboardView::syncRows(int first, int last)
{
    updateWelcome();
    ServerListModel *model = m_context.servers;
    const QDateTime now = model->now();
    for (int row = std::max(first, 0); row <= last && row < model->rowCount(); ++row) {
        const Server &server = model->server(row);
        ServerCard *card = m_cards.value(server.id);
        if (!card)
            continue;
        ServerCard::State state;
        state.running = model->isRunning(row);
        state.canStart = model->canStart(row);
        state.runningHere = model->isRunningHere(row);
        state.waiting = model->isWaiting(row);
        state.scheduleProblem = model->scheduleProblem(row);
        state.now = now;
        if (m_context.schedules)
            state.nextRun = m_context.schedules->state(server.id).next;
        if (m_context.store && !m_context.store->settings().copyTargets.isEmpty())
            state.copies = copiesText(server);
        card->setServer(server, state);
    }
}

void DashboardView::updateCounters()
{
    const ServerRules::Counters counts = m_context.servers->counters();
    const auto show = [this](const QString &label, int value, const QColor &tint) {
        QLabel *number = m_counters.value(label);
        number->setText(QString::number(value));
        QPalette palette = number->palette();
        palette.setColor(QPalette::WindowText, tint);
        number->setPalette(palette);
    };
    show(QStringLiteral("Servers"), counts.servers, Icons::secondary(this));
    show(QStringLiteral("Healthy"), counts.healthy, Icons::green());
    show(QStringLiteral("Failing"), counts.failing, counts.failing > 0 ? Icons::red() : Icons::secondary(this));
    show(QStringLiteral("Overdue"), counts.overdue, counts.overdue > 0 ? Icons::amber() : Icons::secondary(this));
    show(QStringLiteral("Scheduled"), counts.scheduled, Icons::accent(this));
}
