// Theme icons with bundled fallbacks, and shared colours.
#include "ui/Icons.h"

#include <QFile>
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
    initResources();
    const QString bundled = QStringLiteral(":/icons/") + themeName + QStringLiteral(".png");
    return QIcon::fromTheme(themeName, QFile::exists(bundled) ? QIcon(bundled) : QIcon());
}

QColor green()
{
    return QColor(0x2e, 0x9e, 0x4f);
}

QColor red()
{
    return QColor(0xd1, 0x3b, 0x3b);
}

QColor accent(const QWidget *widget)
{
    return widget->palette().color(QPalette::Highlight);
}

QColor secondary(const QWidget *widget)
{
    // The text colour faded toward the background, as secondary labels are.
    const QColor text = widget->palette().color(QPalette::WindowText);
    const QColor window = widget->palette().color(QPalette::Window);
    const auto mix = [](int a, int b) { return (a * 55 + b * 45) / 100; };
    return QColor(mix(text.red(), window.red()), mix(text.green(), window.green()), mix(text.blue(), window.blue()));
}

QString colorStyle(const QColor &color)
{
    return QStringLiteral("color: %1;").arg(color.name());
}

} // namespace Icons
