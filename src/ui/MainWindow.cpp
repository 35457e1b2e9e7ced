#include "MainWindow.h"

#include "ConfigStore.h"
#include "RsyncRunner.h"

#include <QLabel>

MainWindow::MainWindow(ConfigStore *store, RsyncRunner *runner, QWidget *parent)
    : QMainWindow(parent)
    , m_store(store)
    , m_runner(runner)
{
    setWindowTitle(QStringLiteral("Tidewell"));
    setMinimumSize(920, 600);
    auto *label = new QLabel(tr("%n server(s) configured.", nullptr, int(m_store->settings().servers.size())), this);
    label->setAlignment(Qt::AlignCenter);
    setCentralWidget(label);
}
