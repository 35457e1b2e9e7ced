// SPDX-License-Identifier: GPL-3.0-or-later
// Draws Tidewell's application icon at build time: the scalable SVG and PNGs
// of the hicolor sizes, both from the one drawing below.
//   make_app_icon <output-folder>
// writes <output-folder>/org.tidewell.Tidewell.svg and
// <output-folder>/hicolor/<N>x<N>/apps/org.tidewell.Tidewell.png.

#include <QBrush>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPen>

#include <cstdio>
#include <optional>

namespace {

const QString iconName = QStringLiteral("org.tidewell.Tidewell");
constexpr int canvas = 256;

struct Shape
{
    QPainterPath path;
    std::optional<QLinearGradient> gradient;
    QColor fill = Qt::transparent;
    qreal strokeWidth = 0; // > 0: stroked with round ends, not filled
    QColor stroke;
};

Shape filled(const QPainterPath &path, const QColor &color)
{
    Shape shape;
    shape.path = path;
    shape.fill = color;
    return shape;
}

Shape stroked(const QPainterPath &path, qreal width, const QColor &color)
{
    Shape shape;
    shape.path = path;
    shape.strokeWidth = width;
    shape.stroke = color;
    return shape;
}

QPainterPath wave(qreal left, qreal right, qreal y, qreal amplitude)
{
    QPainterPath path;
    path.moveTo(left, y);
    const qreal half = (right - left) / 4;
    for (int i = 0; i < 4; ++i) {
        const qreal x = left + i * half;
        const qreal peak = i % 2 == 0 ? y - amplitude : y + amplitude;
        path.cubicTo(x + half * 0.36, peak, x + half * 0.64, peak, x + half, y);
    }
    return path;
}

QPainterPath roundedRect(qreal x, qreal y, qreal w, qreal h, qreal r)
{
    QPainterPath path;
    path.addRoundedRect(QRectF(x, y, w, h), r, r);
    return path;
}

QPainterPath circle(qreal cx, qreal cy, qreal r)
{
    QPainterPath path;
    path.addEllipse(QPointF(cx, cy), r, r);
    return path;
}

// A blue tile with two server units above two waves: files kept as the tide
// brings them in.
QList<Shape> drawing()
{
    QList<Shape> shapes;
    QLinearGradient sea(QPointF(128, 16), QPointF(128, 240));
    sea.setColorAt(0, QColor(0x3a, 0x9b, 0xf0));
    sea.setColorAt(1, QColor(0x0f, 0x4c, 0x9c));
    Shape tile = filled(roundedRect(16, 16, 224, 224, 52), Qt::transparent);
    tile.gradient = sea;
    shapes.append(tile);

    const QColor unit(0xf2, 0xf7, 0xff);
    const QColor slot(0x0f, 0x4c, 0x9c);
    const QColor light(0x3c, 0xd0, 0x78);
    for (const qreal top : {48.0, 102.0}) {
        shapes.append(filled(roundedRect(50, top, 156, 44, 12), unit));
        QPainterPath line;
        line.moveTo(72, top + 22);
        line.lineTo(124, top + 22);
        shapes.append(stroked(line, 8, slot));
        shapes.append(filled(circle(180, top + 22, 8), light));
    }
    shapes.append(stroked(wave(52, 204, 184, 13), 14, Qt::white));
    QColor foam = Qt::white;
    foam.setAlphaF(0.6);
    shapes.append(stroked(wave(52, 204, 214, 10), 10, foam));
    return shapes;
}

QString number(qreal value)
{
    return QString::number(value, 'g', 6);
}

QString svgColor(const QColor &color)
{
    return color.name(QColor::HexRgb);
}

QString svgPathData(const QPainterPath &path)
{
    QStringList data;
    QPointF start;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        switch (e.type) {
        case QPainterPath::MoveToElement:
            start = e;
            data << QStringLiteral("M") + number(e.x) + u' ' + number(e.y);
            break;
        case QPainterPath::LineToElement:
            data << QStringLiteral("L") + number(e.x) + u' ' + number(e.y);
            break;
        case QPainterPath::CurveToElement: {
            const QPainterPath::Element c2 = path.elementAt(i + 1);
            const QPainterPath::Element end = path.elementAt(i + 2);
            data << QStringLiteral("C") + number(e.x) + u' ' + number(e.y) + u' ' + number(c2.x) + u' ' + number(c2.y)
                        + u' ' + number(end.x) + u' ' + number(end.y);
            i += 2;
            break;
        }
        case QPainterPath::CurveToDataElement:
            break;
        }
        // A sub-path that comes back to its start is closed.
        const bool lastOfSubpath =
            i + 1 >= path.elementCount() || path.elementAt(i + 1).type == QPainterPath::MoveToElement;
        const QPainterPath::Element last = path.elementAt(i);
        if (lastOfSubpath && e.type != QPainterPath::MoveToElement && QPointF(last) == start)
            data << QStringLiteral("Z");
    }
    return data.join(u' ');
}

QByteArray svg(const QList<Shape> &shapes)
{
    QStringList defs;
    QStringList body;
    for (const Shape &shape : shapes) {
        QString paint;
        if (shape.gradient) {
            const QString id = QStringLiteral("g%1").arg(defs.size());
            QString gradient =
                QStringLiteral("<linearGradient id=\"%1\" gradientUnits=\"userSpaceOnUse\" x1=\"%2\" y1=\"%3\" "
                               "x2=\"%4\" y2=\"%5\">")
                    .arg(id, number(shape.gradient->start().x()), number(shape.gradient->start().y()),
                         number(shape.gradient->finalStop().x()), number(shape.gradient->finalStop().y()));
            for (const QGradientStop &stop : shape.gradient->stops())
                gradient += QStringLiteral("<stop offset=\"%1\" stop-color=\"%2\"/>")
                                .arg(number(stop.first), svgColor(stop.second));
            defs << gradient + QStringLiteral("</linearGradient>");
            paint = QStringLiteral("fill=\"url(#%1)\"").arg(id);
        } else if (shape.strokeWidth > 0) {
            paint = QStringLiteral("fill=\"none\" stroke=\"%1\" stroke-width=\"%2\" stroke-linecap=\"round\" "
                                   "stroke-linejoin=\"round\"")
                        .arg(svgColor(shape.stroke), number(shape.strokeWidth));
            if (shape.stroke.alphaF() < 1)
                paint += QStringLiteral(" stroke-opacity=\"%1\"").arg(number(shape.stroke.alphaF()));
        } else {
            paint = QStringLiteral("fill=\"%1\"").arg(svgColor(shape.fill));
            if (shape.fill.alphaF() < 1)
                paint += QStringLiteral(" fill-opacity=\"%1\"").arg(number(shape.fill.alphaF()));
        }
        body << QStringLiteral("  <path d=\"%1\" %2/>").arg(svgPathData(shape.path), paint);
    }
    const QString text =
        QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%1\" viewBox=\"0 0 %1 %1\">\n"
                       "  <defs>%2</defs>\n%3\n</svg>\n")
            .arg(QString::number(canvas), defs.join(QString()), body.join(u'\n'));
    return text.toUtf8();
}

QImage png(const QList<Shape> &shapes, int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(qreal(size) / canvas, qreal(size) / canvas);
    for (const Shape &shape : shapes) {
        if (shape.strokeWidth > 0) {
            painter.setPen(QPen(shape.stroke, shape.strokeWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            painter.setBrush(Qt::NoBrush);
        } else {
            painter.setPen(Qt::NoPen);
            painter.setBrush(shape.gradient ? QBrush(*shape.gradient) : QBrush(shape.fill));
        }
        painter.drawPath(shape.path);
    }
    return image;
}

bool write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

int main(int argc, char *argv[])
{
    // Painting on an image needs no display, and no application object.
    if (argc < 2) {
        std::fputs("usage: make_app_icon <output-folder>\n", stderr);
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    const QList<Shape> shapes = drawing();
    if (!QDir().mkpath(out) || !write(out + u'/' + iconName + QStringLiteral(".svg"), svg(shapes))) {
        std::fprintf(stderr, "make_app_icon: cannot write into %s\n", argv[1]);
        return 1;
    }
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString folder = out + QStringLiteral("/hicolor/%1x%1/apps").arg(size);
        if (!QDir().mkpath(folder) || !png(shapes, size).save(folder + u'/' + iconName + QStringLiteral(".png"))) {
            std::fprintf(stderr, "make_app_icon: cannot write the %dx%d icon\n", size, size);
            return 1;
        }
    }
    return 0;
}
