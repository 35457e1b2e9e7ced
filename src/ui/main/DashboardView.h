// SPDX-License-Identifier: GPL-3.0-or-later
// The dashboard shown when no server is selected.
#pragma once

#include "core/model/CopyTarget.h"
#include "core/presentation/ServerFilterModel.h"
#include "ui/widgets/AppContext.h"

#include <QFileSystemWatcher>
#include <QHash>
#include <QPointer>
#include <QUuid>
#include <QWidget>

#include <optional>

class QGridLayout;
class QVBoxLayout;
class QLabel;
class QPushButton;
class ServerCard;
struct Server;

// The overview: four counters and one card per server in an adaptive grid.
// Cards follow the server list model row by row and are updated in place;
// while the dashboard is hidden nothing is updated, and it catches up when
// it is shown again.
class DashboardView : public QWidget
{
    Q_OBJECT

public:
    static constexpr int minimumCardWidth = 280;
    static constexpr int spacing = 12;

    DashboardView(const AppContext &context, QWidget *parent = nullptr);

    // How many cards fit side by side in `width`.
    static int columnsFor(int width);
    QString counterText(const QString &label) const;
    ServerCard *card(const QUuid &serverID) const { return m_cards.value(serverID); }
    // The cards follow the sidebar's search, health filter and order; the
    // counters still count every server.
    void followFilter(const ServerFilterModel *filter);

Q_SIGNALS:
    void selectRequested(const QUuid &serverID);
    // A counter was clicked: the sidebar shows those servers.
    void filterRequested(ServerFilterModel::Health health);
    void runRequested(const Server &server);
    // The welcome's steps: add a server, set up its key and host key, add
    // its first path.
    void addServerRequested();
    void keySetupRequested(const QUuid &serverID);
    void addPathRequested(const QUuid &serverID);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void connectModel();
    void buildWelcome(QVBoxLayout *layout);
    void buildEmptyState(QVBoxLayout *layout);
    void buildCounters(QVBoxLayout *layout);
    QWidget *counterBox(const QString &label, const QString &captionText,
                        std::optional<ServerFilterModel::Health> filter);
    // The three first steps, while no server has run yet (up to three servers).
    void updateWelcome();
    void syncAll();
    void syncRows(int first, int last);
    // "offsite: up to 2026-12-06 · usb: not yet" for the server's card.
    QString copiesText(const Server &server) const;
    // While there are copy targets, each copy that records its state updates the cards.
    void watchCopies();
    void syncStructure();
    void placeCards();
    void updateCounters();
    // Work arriving while hidden waits for the next show.
    bool deferred();
    // The list model's rows that have cards, in the order they are shown.
    QList<int> shownRows() const;
    int shownCount() const;

    AppContext m_context;
    QPointer<const ServerFilterModel> m_filter;
    QWidget *m_content;
    QGridLayout *m_grid;
    QWidget *m_empty;
    QWidget *m_welcome;
    QList<QPushButton *> m_stepButtons;
    QList<QLabel *> m_stepMarks;
    QHash<QString, QLabel *> m_counters;
    QHash<QUuid, ServerCard *> m_cards;
    int m_columns = 1;
    bool m_stale = false;
    // Cards are made for the first rows only, and for more as the view is
    // scrolled to its end: a fleet of a thousand servers opens at once.
    static constexpr int cardsPerPage = 60;
    int m_cardLimit = cardsPerPage;
    QFileSystemWatcher m_copiesWatch;
    QList<CopyTarget> m_copyTargets;
};
