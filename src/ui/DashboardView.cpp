// The overview of all servers: counters and cards.
#include "ui/DashboardView.h"

#include "core/engine/RsyncRunner.h"
#include "core/presentation/Formatting.h"
#include "core/presentation/ServerActivity.h"
#include "core/presentation/ServerRules.h"
#include "core/storage/ConfigStore.h"
#include "ui/Icons.h"
#include "ui/Style.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>
#include <QScrollArea>
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
        return QStringLiteral("dialog-error");
    case ServerRules::Health::Kind::healthy:
        return QStringLiteral("emblem-ok");
    }
    return QString();
}

} // namespace

DashboardView::DashboardView(ConfigStore *store, RsyncRunner *runner, ServerActivity *activity, QWidget *parent)
    : QWidget(parent)
    , m_store(store)
    , m_runner(runner)
    , m_activity(activity)
{
    setObjectName(QStringLiteral("dashboardView"));
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto *scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    m_content = new QWidget(scroll);
    m_layout = new QVBoxLayout(m_content);
    m_layout->setContentsMargins(20, 16, 20, 16);
    m_layout->setSpacing(16);
    scroll->setWidget(m_content);
    outer->addWidget(scroll);

    connect(m_store, &ConfigStore::settingsChanged, this, &DashboardView::rebuild);
    connect(m_runner, &RsyncRunner::isRunningChanged, this, &DashboardView::rebuild);
    connect(m_runner, &RsyncRunner::runningServerIDChanged, this, &DashboardView::rebuild);
    connect(m_activity, &ServerActivity::changed, this, &DashboardView::rebuild);
    rebuild();
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
        rebuild();
}

QWidget *DashboardView::counter(const QString &label, int value, const QColor &tint)
{
    auto *box = new QWidget(m_content);
    auto *layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto *number = new QLabel(QString::number(value), box);
    number->setObjectName(QStringLiteral("counter") + label);
    QFont big = number->font();
    big.setPointSizeF(big.pointSizeF() * 2.2);
    big.setBold(true);
    big.setStyleHint(QFont::Monospace);
    number->setFont(big);
    number->setStyleSheet(Icons::colorStyle(tint));
    auto *caption = new QLabel(label, box);
    caption->setStyleSheet(Icons::colorStyle(Icons::secondary(this)));
    layout->addWidget(number);
    layout->addWidget(caption);
    return box;
}

QString DashboardView::counterText(const QString &label) const
{
    const auto *number = findChild<QLabel *>(QStringLiteral("counter") + label);
    return number ? number->text() : QString();
}

QWidget *DashboardView::card(const Server &server)
{
    const bool running = m_activity->isRunning(server.id);
    const ServerRules::Health health = ServerRules::healthStatus(server, running);
    QColor tint = Icons::secondary(this);
    if (health.kind == ServerRules::Health::Kind::running)
        tint = Icons::accent(this);
    else if (health.kind == ServerRules::Health::Kind::failed)
        tint = Icons::red();
    else if (health.kind == ServerRules::Health::Kind::healthy)
        tint = Icons::green();

    auto *card = new QPushButton(m_content);
    card->setObjectName(QStringLiteral("card-") + server.id.toString(QUuid::WithoutBraces));
    card->setFlat(true);
    card->setCursor(Qt::PointingHandCursor);
    card->setStyleSheet(QStringLiteral("QPushButton#%1 { background: palette(base); border: 1px solid %2; border-radius: 8px; }")
                            .arg(card->objectName(), tint.name()));
    const QUuid id = server.id;
    connect(card, &QPushButton::clicked, this, [this, id] { Q_EMIT selectRequested(id); });

    auto *layout = new QVBoxLayout(card);
    layout->setContentsMargins(14, 12, 14, 12);
    layout->setSpacing(6);
    auto *titleLine = new QHBoxLayout;
    auto *icon = new QLabel(card);
    icon->setPixmap(Icons::get(healthIcon(health.kind)).pixmap(18, 18));
    auto *name = new QLabel(ServerRules::displayName(server), card);
    QFont bold = name->font();
    bold.setBold(true);
    name->setFont(bold);
    titleLine->addWidget(icon);
    titleLine->addWidget(name, 1);
    if (server.scheduleEnabled) {
        auto *clock = new QLabel(card);
        clock->setPixmap(Icons::get(QStringLiteral("appointment-soon")).pixmap(14, 14));
        clock->setToolTip(tr("Scheduled daily at ") + server.scheduleTime);
        titleLine->addWidget(clock);
    }
    layout->addLayout(titleLine);
    auto *healthLabel = new QLabel(health.label, card);
    healthLabel->setObjectName(QStringLiteral("cardHealth"));
    healthLabel->setStyleSheet(Icons::colorStyle(tint));
    layout->addWidget(healthLabel);

    auto *rows = new QGridLayout;
    rows->setHorizontalSpacing(8);
    rows->setVerticalSpacing(2);
    rows->setColumnMinimumWidth(0, 60);
    auto addRow = [&](const QString &label, const QString &value, const QString &objectName) {
        const int row = rows->rowCount();
        auto *l = new QLabel(label, card);
        l->setStyleSheet(Icons::colorStyle(Icons::secondary(this)));
        auto *v = new QLabel(value, card);
        v->setObjectName(objectName);
        v->setTextFormat(Qt::PlainText);
        v->setMinimumWidth(40);
        v->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        rows->addWidget(l, row, 0);
        rows->addWidget(v, row, 1);
    };
    addRow(tr("Host"), ServerRules::hostText(server), QStringLiteral("cardHost"));
    addRow(tr("Last run"), server.lastRunAt ? Formatting::shortDateTime(*server.lastRunAt) : tr("never"), QStringLiteral("cardLastRun"));
    if (server.scheduleEnabled)
        addRow(tr("Next"), tr("daily ") + server.scheduleTime, QStringLiteral("cardNext"));
    addRow(tr("Paths"), ServerRules::pathsText(server), QStringLiteral("cardPaths"));
    rows->setColumnStretch(1, 1);
    layout->addLayout(rows);

    auto *buttons = new QHBoxLayout;
    auto *run = new QPushButton(Icons::get(QStringLiteral("go-down")), tr("Run now"), card);
    run->setObjectName(QStringLiteral("cardRun"));
    run->setDefault(true);
    run->setEnabled(m_activity->canStart(server.id));
    auto *configure = new QPushButton(Icons::get(QStringLiteral("preferences-system")), tr("Configure"), card);
    configure->setObjectName(QStringLiteral("cardConfigure"));
    connect(run, &QPushButton::clicked, this, [this, server] { Q_EMIT runRequested(server); });
    connect(configure, &QPushButton::clicked, this, [this, id] { Q_EMIT selectRequested(id); });
    buttons->addWidget(run);
    buttons->addWidget(configure);
    buttons->addStretch(1);
    layout->addLayout(buttons);
    // A button does not size itself by its layout.
    card->setMinimumHeight(layout->sizeHint().height());
    return card;
}

void DashboardView::rebuild()
{
    // Old widgets leave at once (a card may be the sender of the change that
    // rebuilds, so it is deleted later).
    const auto retire = [](QWidget *widget) {
        widget->hide();
        widget->setParent(nullptr);
        widget->deleteLater();
    };
    while (QLayoutItem *item = m_layout->takeAt(0)) {
        if (item->widget())
            retire(item->widget());
        else if (item->layout()) {
            while (QLayoutItem *inner = item->layout()->takeAt(0)) {
                if (inner->widget())
                    retire(inner->widget());
                delete inner;
            }
        }
        delete item;
    }
    const AppSettings &settings = m_store->settings();

    auto *title = new QLabel(tr("Overview"), m_content);
    title->setFont(Style::heading(title, 1.6));
    m_layout->addWidget(title);

    const ServerRules::Counters counts = ServerRules::counters(settings);
    auto *header = new QHBoxLayout;
    header->setSpacing(36);
    header->addWidget(counter(tr("Servers"), counts.servers, Icons::secondary(this)));
    header->addWidget(counter(tr("Healthy"), counts.healthy, Icons::green()));
    header->addWidget(counter(tr("Failing"), counts.failing, counts.failing > 0 ? Icons::red() : Icons::secondary(this)));
    header->addWidget(counter(tr("Scheduled"), counts.scheduled, Icons::accent(this)));
    header->addStretch(1);
    m_layout->addLayout(header);

    m_columns = columnsFor(width() - 40);
    if (settings.servers.isEmpty()) {
        auto *empty = new QWidget(m_content);
        empty->setObjectName(QStringLiteral("emptyState"));
        auto *emptyLayout = new QVBoxLayout(empty);
        emptyLayout->setAlignment(Qt::AlignCenter);
        auto *icon = new QLabel(empty);
        icon->setPixmap(Icons::get(QStringLiteral("network-server")).pixmap(48, 48));
        icon->setAlignment(Qt::AlignCenter);
        auto *heading = new QLabel(tr("No servers configured"), empty);
        heading->setFont(Style::heading(heading));
        heading->setAlignment(Qt::AlignCenter);
        auto *description = new QLabel(tr("Click + in the sidebar to add your first server."), empty);
        description->setStyleSheet(Icons::colorStyle(Icons::secondary(this)));
        description->setAlignment(Qt::AlignCenter);
        emptyLayout->addWidget(icon);
        emptyLayout->addWidget(heading);
        emptyLayout->addWidget(description);
        m_layout->addWidget(empty);
    } else {
        auto *grid = new QGridLayout;
        grid->setHorizontalSpacing(spacing);
        grid->setVerticalSpacing(spacing);
        for (int i = 0; i < settings.servers.size(); ++i)
            grid->addWidget(card(settings.servers.at(i)), i / m_columns, i % m_columns);
        for (int c = 0; c < m_columns; ++c)
            grid->setColumnStretch(c, 1);
        m_layout->addLayout(grid);
    }
    m_layout->addStretch(1);
}
