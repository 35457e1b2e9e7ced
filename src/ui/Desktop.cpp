#include "ui/Desktop.h"

#include <QClipboard>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QUrl>

void Desktop::reveal(const QString &path)
{
    if (m_recorder)
        return m_recorder(QStringLiteral("reveal"), path);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected()) {
        QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.FileManager1"),
                                                           QStringLiteral("/org/freedesktop/FileManager1"),
                                                           QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
        call << QStringList{QUrl::fromLocalFile(path).toString()} << QString();
        const QDBusMessage reply = bus.call(call, QDBus::Block, 3000);
        if (reply.type() == QDBusMessage::ReplyMessage)
            return;
    }
    const QFileInfo info(path);
    QDesktopServices::openUrl(QUrl::fromLocalFile(info.isDir() ? info.absoluteFilePath() : info.absolutePath()));
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
