// One server row of the sidebar.
#include "ui/SidebarRow.h"

#include "core/model/ReferenceDate.h"
#include "core/presentation/Formatting.h"
#include "core/presentation/ServerRules.h"
#include "ui/Icons.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QToolButton>
#include <QVBoxLayout>

SidebarRow::SidebarRow(const Server &server, bool isRunning, bool canStart, QWidget *parent)
    : QWidget(parent)
    , m_server(server)
    , m_isRunning(isRunning)
    , m_canStart(canStart)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 4);
    auto *icon = new QLabel(this);
    icon->setPixmap(Icons::get(QStringLiteral("network-server")).pixmap(22, 22));
    layout->addWidget(icon);

    auto *texts = new QVBoxLayout;
    texts->setSpacing(1);
    auto *nameLine = new QHBoxLayout;
    auto *name = new QLabel(ServerRules::displayName(server), this);
    name->setObjectName(QStringLiteral("rowName"));
    QFont bold = name->font();
    bold.setBold(true);
    name->setFont(bold);
    nameLine->addWidget(name);
    if (server.scheduleEnabled) {
        auto *clock = new QLabel(this);
        clock->setObjectName(QStringLiteral("rowClock"));
        clock->setPixmap(Icons::get(QStringLiteral("appointment-soon")).pixmap(12, 12));
        nameLine->addWidget(clock);
    }
    nameLine->addStretch(1);
    texts->addLayout(nameLine);

    m_meta = new QLabel(this);
    m_meta->setObjectName(QStringLiteral("rowMeta"));
    m_meta->setTextFormat(Qt::RichText);
    QFont small = m_meta->font();
    small.setPointSizeF(small.pointSizeF() * 0.9);
    m_meta->setFont(small);
    const QString secondary = Icons::secondary(this).name();
    if (isRunning) {
        m_meta->setText(QStringLiteral("<span style='color:%1'>%2</span>").arg(Icons::accent(this).name(), tr("running…")));
    } else if (!server.lastRunAt) {
        m_meta->setText(QStringLiteral("<span style='color:%1'>%2</span>").arg(secondary, server.host.toHtmlEscaped()));
    } else {
        QString dot;
        if (server.lastExitCode)
            dot = QStringLiteral("<span style='color:%1'>●</span> ")
                      .arg((*server.lastExitCode == 0 ? Icons::green() : Icons::red()).name());
        m_meta->setText(dot + QStringLiteral("<span style='color:%1'>%2</span>")
                                  .arg(secondary, Formatting::relativeTime(ReferenceDate::toDateTime(*server.lastRunAt))));
    }
    texts->addWidget(m_meta);
    layout->addLayout(texts, 1);

    if (isRunning) {
        auto *spinner = new QProgressBar(this);
        spinner->setObjectName(QStringLiteral("rowSpinner"));
        spinner->setRange(0, 0);
        spinner->setTextVisible(false);
        spinner->setFixedSize(22, 8);
        layout->addWidget(spinner);
    } else {
        m_run = new QToolButton(this);
        m_run->setObjectName(QStringLiteral("rowRun"));
        m_run->setAutoRaise(true);
        m_run->setIcon(Icons::get(QStringLiteral("go-down")));
        m_run->setIconSize(QSize(20, 20));
        m_run->setToolTip(tr("Run backup (Ctrl+R)"));
        m_run->setEnabled(canRun());
        connect(m_run, &QToolButton::clicked, this, &SidebarRow::runRequested);
        layout->addWidget(m_run);
    }
}

QString SidebarRow::metaText() const
{
    return m_meta->text();
}

bool SidebarRow::runButtonEnabled() const
{
    return m_run && m_run->isEnabled();
}
