// SPDX-License-Identifier: GPL-3.0-or-later
// Theme icons with bundled fallbacks, and shared colours.
#include "ui/widgets/Icons.h"

#include <QDirIterator>
#include <QFile>
#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <cstdlib>

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

namespace {

// A bundled drawing in greys is drawn again from the palette: its dark
// parts in the text colour, its light parts in the window's, so it shows on
// a dark palette as on a light one; a coloured one stays as it is.
QIcon bundledIcon(const QString &path, const QColor &ink, const QColor &paper)
{
    QImage image = QImage(path).convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = line[x];
            if (qAlpha(pixel) < 64)
                continue; // the faint edge of a stroke tells nothing
            const bool grey = std::abs(qRed(pixel) - qGreen(pixel)) < 16 && std::abs(qGreen(pixel) - qBlue(pixel)) < 16;
            if (!grey)
                return QIcon(path);
        }
    }
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int light = qGray(line[x]);
            const auto mix = [light](int dark, int bright) { return (dark * (255 - light) + bright * light) / 255; };
            line[x] = qRgba(mix(ink.red(), paper.red()), mix(ink.green(), paper.green()), mix(ink.blue(), paper.blue()),
                            qAlpha(line[x]));
        }
    }
    return QIcon(QPixmap::fromImage(image));
}

} // namespace

QIcon get(const QString &themeName)
{
    // One icon per name and text colour: an icon caches its scaled pixmaps
    // under its own key, so a fresh icon on every paint would fill the pixmap
    // cache with copies.
    static QHash<QString, QIcon> icons;
    const QColor ink = QGuiApplication::palette().color(QPalette::WindowText);
    const QColor paper = QGuiApplication::palette().color(QPalette::Window);
    const QString key = themeName + u'\n' + QString::number(ink.rgba(), 16) + u'\n' + QString::number(paper.rgba(), 16);
    if (const auto found = icons.constFind(key); found != icons.cend())
        return *found;
    initResources();
    const QString bundled = QStringLiteral(":/icons/") + themeName + QStringLiteral(".png");
    const QIcon icon = QIcon::fromTheme(themeName, QFile::exists(bundled) ? bundledIcon(bundled, ink, paper) : QIcon());
    icons.insert(key, icon);
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

namespace {

// WCAG's relative luminance and contrast ratio.
double luminance(const QColor &color)
{
    const auto channel = [](double c) { return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(color.redF()) + 0.7152 * channel(color.greenF()) + 0.0722 * channel(color.blueF());
}

double contrast(const QColor &a, const QColor &b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

double worstContrast(const QColor &color, const QPalette &palette)
{
    return std::min(contrast(color, palette.color(QPalette::Window)), contrast(color, palette.color(QPalette::Base)));
}

} // namespace

QColor readable(const QColor &color, const QPalette &palette)
{
    constexpr double wanted = 4.6; // 4.5 and a little for rounding to 8 bits
    if (worstContrast(color, palette) >= wanted)
        return color;
    // Toward black on a light window, toward white on a dark one.
    const bool darker = luminance(palette.color(QPalette::Window)) > 0.18;
    const QColor hsl = color.toHsl();
    QColor best = color;
    for (int step = 1; step <= 20; ++step) {
        const double lightness =
            darker ? hsl.lightnessF() * (1.0 - step / 20.0) : hsl.lightnessF() + (1.0 - hsl.lightnessF()) * step / 20.0;
        best = QColor::fromHslF(hsl.hslHueF(), hsl.hslSaturationF(), float(lightness)).toRgb();
        if (worstContrast(best, palette) >= wanted)
            break;
    }
    return best;
}

QColor green()
{
    return readable(QColor(0x2e, 0x9e, 0x4f), QGuiApplication::palette());
}

QColor amber()
{
    return readable(QColor(0xc7, 0x7c, 0x02), QGuiApplication::palette());
}

QColor red()
{
    return readable(QColor(0xd1, 0x3b, 0x3b), QGuiApplication::palette());
}

QColor accent(const QWidget *widget)
{
    return accent(widget->palette());
}

QColor accent(const QPalette &palette)
{
    return readable(palette.color(QPalette::Highlight), palette);
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
    return readable(
        QColor(mix(text.red(), window.red()), mix(text.green(), window.green()), mix(text.blue(), window.blue())),
        palette);
}

} // namespace Icons
