// The program entry: a headless run or the windowed application.
#include "core/EntryPoint.h"
#include "core/HeadlessRunner.h"
#include "ui/TidewellApp.h"

#include <QApplication>
#include <QCoreApplication>
#include <QIcon>

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
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/drive-harddisk.png")));
    TidewellApp tidewell;
    tidewell.start();
    return app.exec();
}
