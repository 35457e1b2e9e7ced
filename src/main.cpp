#include "ConfigStore.h"
#include "EntryPoint.h"
#include "HeadlessRunner.h"
#include "MainWindow.h"
#include "RsyncRunner.h"

#include <QApplication>
#include <QCoreApplication>

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);

    if (const auto serverID = EntryPoint::headlessServerID(arguments)) {
        // No display needed: a scheduled run has no window.
        QCoreApplication app(argc, argv);
        return HeadlessRunner::exec(*serverID);
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tidewell"));
    ConfigStore store;
    store.setWatchesFile(true);
    RsyncRunner runner;
    MainWindow window(&store, &runner);
    window.show();
    return app.exec();
}
