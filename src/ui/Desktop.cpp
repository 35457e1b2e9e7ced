// Revealing files in the file manager, opening folders, the clipboard.
#include "ui/Desktop.h"

#include <QClipboard>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QUrl>

#include <qcoro/qcorodbuspendingcall.h>
#include <qcoro/qcorotask.h>

namespace {

// Asks the file manager to show the item selected; opens its folder when no
// file manager answers within 3 s. The window keeps running meanwhile.
QCoro::Task<> showItem(QString path)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected()) {
        QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.FileManager1"),
                                                           QStringLiteral("/org/freedesktop/FileManager1"),
                                                           QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
        call << QStringList{QUrl::fromLocalFile(path).toString()} << QString();
        const QDBusMessage reply = co_await bus.asyncCall(call, 3000);
        if (reply.type() == QDBusMessage::ReplyMessage)
            co_return;
    }
    const QFileInfo info(path);
    QDesktopServices::openUrl(QUrl::fromLocalFile(info.isDir() ? info.absoluteFilePath() : info.absolutePath()));
}

} // namespace

void Desktop::reveal(const QString &path)
{
    if (m_recorder)
        return m_recorder(QStringLiteral("reveal"), path);
    QCoro::connect(showItem(path), this, [] {});
}

void Desktop::openFolder(const QString &path)
{
    if (m_recorder)
        return m_recorder(QStringLiteral("open"), path);
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void Desktop::copyText(const QString &text)
{
    QGuiApplication::clipboard()->setText(text);
}
