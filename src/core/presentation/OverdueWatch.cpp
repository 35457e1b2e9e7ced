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

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <qcoro/qcorotask.h>

OverdueWatch::OverdueWatch(ConfigStore *store, QObject *parent)
    : QObject(parent)
    , m_store(store)
{
    m_timer.setInterval(intervalMs);
    QDBusConnection::sessionBus().connect(QStringLiteral("org.freedesktop.Notifications"),
                                          QStringLiteral("/org/freedesktop/Notifications"),
                                          QStringLiteral("org.freedesktop.Notifications"),
                                          QStringLiteral("ActionInvoked"), this, SLOT(actionInvoked(uint, QString)));
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
    const QString name = server.shownName();
    if (!ServerRules::lastSuccess(server))
        return QCoreApplication::translate("OverdueWatch", "⚠ %1 — no successful backup yet").arg(name);
    const int days = ServerRules::daysWithoutSuccess(server, now);
    return QCoreApplication::translate("OverdueWatch", "⚠ %1 — no successful backup for %n day(s)", nullptr, days)
        .arg(name);
}

QString OverdueWatch::summaryText(const QStringList &names)
{
    constexpr qsizetype shown = 5;
    const QString listed = names.mid(0, shown).join(QStringLiteral(", "));
    const QString title =
        QCoreApplication::translate("OverdueWatch", "⚠ %n server(s) need attention", nullptr, int(names.size()));
    if (names.size() <= shown)
        return title + u'\n' + listed;
    return title + u'\n'
           + QCoreApplication::translate("OverdueWatch", "%1 and %n more", nullptr, int(names.size() - shown))
                 .arg(listed);
}

QList<QUuid> OverdueWatch::check()
{
    const QDateTime now = m_now();
    const QDate today = now.toLocalTime().date();
    QList<QUuid> told;
    if (!m_store->settings().notificationsEnabled)
        return told; // the dashboard still shows them
    QList<const Server *> overdue;
    QList<const Server *> failing; // told by their runs' own notifications, counted for the summary
    for (const Server &server : m_store->settings().servers) {
        if (m_told.value(server.id) == today)
            continue;
        if (ServerRules::isOverdue(server, now))
            overdue << &server;
        else if (server.lastExitCode && *server.lastExitCode != 0)
            failing << &server;
    }
    if (overdue.size() + failing.size() > summaryAbove) {
        // One notice for the lot instead of a flood.
        QStringList names;
        for (const Server *server : overdue + failing) {
            names << NotificationService::shortName(server->shownName());
            m_told.insert(server->id, today);
            told << server->id;
        }
        NotificationService::Content content;
        content.body = summaryText(names);
        content.hints.insert(QStringLiteral("urgency"), QVariant::fromValue(uchar(2)));
        content.actions = {QStringLiteral("default"), tr("Show"), QStringLiteral("show"), tr("Show")};
        const QList<QUuid> ids = told;
        QCoro::connect(NotificationService::postForId(content), this, [this, ids](std::optional<uint> id) {
            if (id)
                m_summaries.insert(*id, ids);
        });
    } else {
        for (const Server *server : std::as_const(overdue)) {
            NotificationService::Content content;
            content.body = noticeText(NotificationService::forNotice(*server), now);
            content.hints.insert(QStringLiteral("urgency"), QVariant::fromValue(uchar(1)));
            NotificationService::post(content);
            m_told.insert(server->id, today);
            told << server->id;
        }
    }
    if (!told.isEmpty()) {
        // Servers that are gone need no memory.
        m_told.removeIf([this](const auto &entry) { return !m_store->settings().server(entry.key()); });
        saveNotices();
    }
    return told;
}

void OverdueWatch::actionInvoked(uint id, const QString &action)
{
    const auto found = m_summaries.constFind(id);
    if (found == m_summaries.cend() || (action != QStringLiteral("default") && action != QStringLiteral("show")))
        return;
    const QList<QUuid> ids = *found; // NOLINT(performance-unnecessary-copy-initialization): removed below
    m_summaries.remove(id);
    Q_EMIT attentionRequested(ids);
}

void OverdueWatch::loadNotices()
{
    const auto bytes = FileUtil::readRegularFile(noticesFile());
    if (!bytes) {
        DiagnosticLog::write(noticesFile() + QStringLiteral(" was not read: ") + bytes.error().message);
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
                             + written.error().message);
}
