// SPDX-License-Identifier: GPL-3.0-or-later
// Theme icons with bundled fallbacks, and shared colours.
#include "ui/widgets/Icons.h"

#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QPainter>
#include <QPalette>
#include <QWidget>

static void initResources()
{
    // Resources of a static library are registered by hand, once.
    static const bool done = [] {
        Q_INIT_RESOURCE(icons);
        return true;
    }();
    Q_UNUSED(done);
}

namespace Icons {

QIcon get(const QString &themeName)
{
    // One icon per name: an icon caches its scaled pixmaps under its own key,
    // so a fresh icon on every paint would fill the pixmap cache with copies.
    static QHash<QString, QIcon> icons;
    if (const auto found = icons.constFind(themeName); found != icons.cend())
        return *found;
    initResources();
    const QString bundled = QStringLiteral(":/icons/") + themeName + QStringLiteral(".png");
    const QIcon icon = QIcon::fromTheme(themeName, QFile::exists(bundled) ? QIcon(bundled) : QIcon());
    icons.insert(themeName, icon);
    return icon;
}

QIcon application()
{
    static const QIcon icon = [] {
        initResources();
        QIcon made;
        QDirIterator sizes(QStringLiteral(":/app/hicolor"), {QStringLiteral("*.png")}, QDir::Files,
                           QDirIterator::Subdirectories);
        while (sizes.hasNext())
            made.addFile(sizes.next());
        return made;
    }();
    return icon;
}

void paintScheduleMark(QPainter *painter, const QRect &rect, bool broken)
{
    get(QStringLiteral("appointment-soon")).paint(painter, rect);
    if (broken) {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(QPen(red(), 2));
        painter->drawLine(rect.bottomLeft(), rect.topRight());
        painter->restore();
    }
}

QPixmap scheduleMark(bool broken, int size, qreal devicePixelRatio)
{
    QPixmap pixmap(QSize(size, size) * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    paintScheduleMark(&painter, QRect(0, 0, size, size), broken);
    return pixmap;
}

QColor green()
{
    return QColor(0x2e, 0x9e, 0x4f);
}

QColor amber()
{
    return QColor(0xc7, 0x7c, 0x02);
}

QColor red()
{
    return QColor(0xd1, 0x3b, 0x3b);
}

QColor accent(const QWidget *widget)
{
    return accent(widget->palette());
}

QColor accent(const QPalette &palette)
{
    return palette.color(QPalette::Highlight);
}

QColor secondary(const QWidget *widget)
{
    return secondary(widget->palette());
}

QColor secondary(const QPalette &palette)
{
    // The text colour faded toward the background, as secondary labels are.
    const QColor text = palette.color(QPalette::WindowText);
    const QColor window = palette.color(QPalette::Window);
    const auto mix = [](int a, int b) { return (a * 55 + b * 45) / 100; };
    return QColor(mix(text.red(), window.red()), mix(text.green(), window.green()), mix(text.blue(), window.blue()));
}

} // namespace Icons
