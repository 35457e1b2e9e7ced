// SPDX-License-Identifier: GPL-3.0-or-later
// The hourly look for overdue backups, and its once-a-day notices.
#include "core/presentation/OverdueWatch.h"

#include "core/model/ServerId.h"
#include "core/presentation/ServerRules.h"
#include "core/storage/ConfigStore.h"
#include "core/system/AppPaths.h"
#include "core/system/DiagnosticLog.h"
#include "core/system/FileUtil.h"
#include "core/system/NotificationService.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

OverdueWatch::OverdueWatch(ConfigStore *store, QObject *parent)
    : QObject(parent)
    , m_store(store)
{
    m_timer.setInterval(intervalMs);
    connect(&m_timer, &QTimer::timeout, this, &OverdueWatch::check);
    loadNotices();
}

void OverdueWatch::start()
{
    check();
    m_timer.start();
}

QString OverdueWatch::noticesFile()
{
    return AppPaths::dataFolder() + QStringLiteral("/overdue-notices.json");
}

QString OverdueWatch::noticeText(const Server &server, const QDateTime &now)
{
    const QString name = ServerRules::displayName(server);
    if (!ServerRules::lastSuccess(server))
        return QStringLiteral("⚠ ") + name + QStringLiteral(" — no successful backup yet");
    const int days = ServerRules::daysWithoutSuccess(server, now);
    return QStringLiteral("⚠ ") + name + QStringLiteral(" — no successful backup for ") + QString::number(days)
           + (days == 1 ? QStringLiteral(" day") : QStringLiteral(" days"));
}

QList<QUuid> OverdueWatch::check()
{
    const QDateTime now = m_now();
    const QDate today = now.toLocalTime().date();
    QList<QUuid> told;
    if (!m_store->settings().notificationsEnabled)
        return told; // the dashboard still shows them
    for (const Server &server : m_store->settings().servers) {
        if (!ServerRules::isOverdue(server, now) || m_told.value(server.id) == today)
            continue;
        NotificationService::Content content;
        content.body = noticeText(server, now);
        content.hints.insert(QStringLiteral("urgency"), QVariant::fromValue(uchar(1)));
        NotificationService::post(content);
        m_told.insert(server.id, today);
        told << server.id;
    }
    if (!told.isEmpty()) {
        // Servers that are gone need no memory.
        m_told.removeIf([this](const auto &entry) { return !m_store->settings().server(entry.key()); });
        saveNotices();
    }
    return told;
}

void OverdueWatch::loadNotices()
{
    const auto bytes = FileUtil::readRegularFile(noticesFile());
    if (!bytes) {
        DiagnosticLog::write(noticesFile() + QStringLiteral(" was not read: ") + bytes.error());
        return;
    }
    if (!*bytes)
        return;
    const QJsonObject object = QJsonDocument::fromJson(**bytes).object();
    for (auto it = object.begin(); it != object.end(); ++it) {
        const auto id = ServerId::parse(it.key());
        const QDate day = QDate::fromString(it.value().toString(), Qt::ISODate);
        if (id && day.isValid())
            m_told.insert(*id, day);
    }
}

void OverdueWatch::saveNotices() const
{
    QJsonObject object;
    for (auto it = m_told.begin(); it != m_told.end(); ++it)
        object.insert(ServerId::text(it.key()), it.value().toString(Qt::ISODate));
    FileUtil::makePrivateFolder(AppPaths::dataFolder());
    if (const auto written =
            FileUtil::writeAtomically(noticesFile(), QJsonDocument(object).toJson(QJsonDocument::Compact));
        !written)
        DiagnosticLog::write(QStringLiteral("Could not keep which overdue backups were told about: ")
                             + written.error());
}
