// SPDX-License-Identifier: GPL-3.0-or-later
// Revealing files in the file manager, opening folders, the clipboard.
#include "ui/widgets/Desktop.h"

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

// Asks the file manager (org.freedesktop.FileManager1) to show an item
// selected (ShowItems) or a folder's contents (ShowFolders); false when none
// answers within 3 s. The window keeps running meanwhile.
QCoro::Task<bool> fileManagerCall(QString method, QString path)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        co_return false;
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.FileManager1"),
                                                       QStringLiteral("/org/freedesktop/FileManager1"),
                                                       QStringLiteral("org.freedesktop.FileManager1"), method);
    call << QStringList{QUrl::fromLocalFile(path).toString()} << QString();
    const QDBusMessage reply = co_await bus.asyncCall(call, 3000);
    co_return reply.type() == QDBusMessage::ReplyMessage;
}

} // namespace

void Desktop::reveal(const QString &path)
{
    if (m_recorder)
        return m_recorder(QStringLiteral("reveal"), path);
    QCoro::connect(fileManagerCall(QStringLiteral("ShowItems"), path), this, [this, path](bool shown) {
        if (shown)
            return;
        const QFileInfo info(path);
        open(info.isDir() ? info.absoluteFilePath() : info.absolutePath());
    });
}

void Desktop::openFolder(const QString &path)
{
    if (m_recorder)
        return m_recorder(QStringLiteral("open"), path);
    QCoro::connect(fileManagerCall(QStringLiteral("ShowFolders"), path), this, [this, path](bool shown) {
        if (!shown)
            open(path);
    });
}

void Desktop::open(const QString &folder)
{
    if (!QFileInfo(folder).isDir())
        Q_EMIT openFailed(folder, tr("the folder does not exist"));
    else if (!QDesktopServices::openUrl(QUrl::fromLocalFile(folder)))
        Q_EMIT openFailed(folder, tr("no file manager answered, and no program is set to open folders"));
}

void Desktop::copyText(const QString &text)
{
    QGuiApplication::clipboard()->setText(text);
}
