// The dashboard shown when no server is selected.
#pragma once

#include <QUuid>
#include <QWidget>

class ConfigStore;
class QGridLayout;
class QLabel;
class QVBoxLayout;
class RsyncRunner;
class ServerActivity;
struct Server;

// The overview: four counters and one card per server in an adaptive grid.
class DashboardView : public QWidget
{
    Q_OBJECT

public:
    static constexpr int minimumCardWidth = 280;
    static constexpr int spacing = 12;

    DashboardView(ConfigStore *store, RsyncRunner *runner, ServerActivity *activity, QWidget *parent = nullptr);

    // How many cards fit side by side in `width`.
    static int columnsFor(int width);
    QString counterText(const QString &label) const;

Q_SIGNALS:
    void selectRequested(const QUuid &serverID);
    void runRequested(const Server &server);

public Q_SLOTS:
    void rebuild();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QWidget *card(const Server &server);
    QWidget *counter(const QString &label, int value, const QColor &tint);

    ConfigStore *m_store;
    RsyncRunner *m_runner;
    ServerActivity *m_activity;
    QWidget *m_content;
    QVBoxLayout *m_layout;
    int m_columns = 1;
};
