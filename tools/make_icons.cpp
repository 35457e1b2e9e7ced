// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the fallback icons that src/ui/widgets/icons holds, for desktops whose icon
// theme lacks a name Tidewell asks for. Run by hand after changing a glyph:
//   build/tools/make_icons src/ui/widgets/icons

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

#include <functional>

namespace {

const QColor ink(0x3b, 0x44, 0x4f);
const QColor accent(0x1f, 0x6f, 0xd1);
const QColor green(0x2e, 0x9e, 0x4f);
const QColor red(0xd1, 0x3b, 0x3b);

QPen pen(const QColor &color, qreal width = 5)
{
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void arrowHead(QPainter &p, QPointF tip, qreal angleDegrees, const QColor &color)
{
    const qreal a = qDegreesToRadians(angleDegrees);
    QPainterPath head;
    head.moveTo(tip);
    head.lineTo(tip + QPointF(std::cos(a + 2.6) * 14, std::sin(a + 2.6) * 14));
    head.lineTo(tip + QPointF(std::cos(a - 2.6) * 14, std::sin(a - 2.6) * 14));
    head.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPath(head);
}

void circularArrows(QPainter &p, const QColor &color)
{
    p.setPen(pen(color));
    p.setBrush(Qt::NoBrush);
    const QRectF r(12, 12, 40, 40);
    p.drawArc(r, 20 * 16, 140 * 16);
    p.drawArc(r, 200 * 16, 140 * 16);
    arrowHead(p, QPointF(32 + 20 * std::cos(qDegreesToRadians(160.0)), 32 - 20 * std::sin(qDegreesToRadians(160.0))),
              100, color);
    arrowHead(p, QPointF(32 + 20 * std::cos(qDegreesToRadians(340.0)), 32 - 20 * std::sin(qDegreesToRadians(340.0))),
              280, color);
}

void folder(QPainter &p)
{
    QPainterPath path;
    path.moveTo(8, 18);
    path.lineTo(26, 18);
    path.lineTo(31, 23);
    path.lineTo(56, 23);
    path.lineTo(56, 50);
    path.lineTo(8, 50);
    path.closeSubpath();
    p.setPen(pen(ink, 3));
    p.setBrush(QColor(0x8c, 0xb8, 0xe8));
    p.drawPath(path);
}

void rack(QPainter &p)
{
    p.setPen(pen(ink, 3));
    p.setBrush(QColor(0xe6, 0xe9, 0xee));
    for (int i = 0; i < 3; ++i) {
        p.drawRoundedRect(QRectF(10, 10 + i * 15, 44, 12), 3, 3);
        p.setBrush(green);
        p.drawEllipse(QPointF(46, 16 + i * 15), 2.5, 2.5);
        p.setBrush(QColor(0xe6, 0xe9, 0xee));
    }
}

void clock(QPainter &p, const QColor &color)
{
    p.setPen(pen(color, 5));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(10, 10, 44, 44));
    p.drawLine(QPointF(32, 32), QPointF(32, 18));
    p.drawLine(QPointF(32, 32), QPointF(42, 38));
}

void filledCircle(QPainter &p, const QColor &color)
{
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawEllipse(QRectF(6, 6, 52, 52));
}

using Painter = std::function<void(QPainter &)>;

const QList<QPair<QString, Painter>> glyphs = {
    {QStringLiteral("view-refresh"), [](QPainter &p) { circularArrows(p, accent); }},
    {QStringLiteral("drive-harddisk"),
     [](QPainter &p) {
         p.setPen(pen(ink, 3));
         p.setBrush(QColor(0xe6, 0xe9, 0xee));
         p.drawRoundedRect(QRectF(8, 20, 48, 26), 5, 5);
         p.setBrush(accent);
         p.drawEllipse(QPointF(46, 33), 3.5, 3.5);
         p.setPen(pen(ink, 3));
         p.drawLine(QPointF(15, 33), QPointF(34, 33));
     }},
    {QStringLiteral("network-server"), rack},
    {QStringLiteral("appointment-soon"), [](QPainter &p) { clock(p, ink); }},
    {QStringLiteral("go-down"),
     [](QPainter &p) {
         filledCircle(p, accent);
         p.setPen(pen(Qt::white, 5));
         p.drawLine(QPointF(32, 17), QPointF(32, 44));
         p.drawLine(QPointF(21, 34), QPointF(32, 45));
         p.drawLine(QPointF(43, 34), QPointF(32, 45));
     }},
    {QStringLiteral("folder"), folder},
    {QStringLiteral("text-x-generic"),
     [](QPainter &p) {
         p.setPen(pen(ink, 3));
         p.setBrush(Qt::white);
         p.drawRect(QRectF(14, 8, 30, 42));
         for (int i = 0; i < 4; ++i)
             p.drawLine(QPointF(20, 18 + i * 7), QPointF(38, 18 + i * 7));
         p.setBrush(Qt::NoBrush);
         p.setPen(pen(accent, 4));
         p.drawEllipse(QRectF(32, 34, 16, 16));
         p.drawLine(QPointF(46, 48), QPointF(55, 57));
     }},
    {QStringLiteral("edit-copy"),
     [](QPainter &p) {
         p.setPen(pen(ink, 3));
         p.setBrush(Qt::white);
         p.drawRoundedRect(QRectF(10, 8, 30, 36), 3, 3);
         p.drawRoundedRect(QRectF(22, 20, 30, 36), 3, 3);
     }},
    {QStringLiteral("edit-delete"),
     [](QPainter &p) {
         p.setPen(pen(red, 4));
         p.setBrush(Qt::NoBrush);
         p.drawLine(QPointF(12, 16), QPointF(52, 16));
         p.drawLine(QPointF(26, 10), QPointF(38, 10));
         QPainterPath can;
         can.moveTo(17, 16);
         can.lineTo(20, 55);
         can.lineTo(44, 55);
         can.lineTo(47, 16);
         p.drawPath(can);
         p.drawLine(QPointF(27, 24), QPointF(28, 47));
         p.drawLine(QPointF(37, 24), QPointF(36, 47));
     }},
    {QStringLiteral("go-home"),
     [](QPainter &p) {
         p.setPen(Qt::NoPen);
         p.setBrush(ink);
         for (int row = 0; row < 2; ++row)
             for (int column = 0; column < 2; ++column)
                 p.drawRoundedRect(QRectF(10 + column * 24, 10 + row * 24, 20, 20), 4, 4);
     }},
    {QStringLiteral("list-add"),
     [](QPainter &p) {
         p.setPen(pen(ink, 6));
         p.drawLine(QPointF(32, 12), QPointF(32, 52));
         p.drawLine(QPointF(12, 32), QPointF(52, 32));
     }},
    {QStringLiteral("emblem-ok"),
     [](QPainter &p) {
         filledCircle(p, green);
         p.setPen(pen(Qt::white, 6));
         p.drawLine(QPointF(19, 33), QPointF(28, 42));
         p.drawLine(QPointF(28, 42), QPointF(46, 22));
     }},
    {QStringLiteral("dialog-error"),
     [](QPainter &p) {
         QPolygonF octagon;
         for (int i = 0; i < 8; ++i) {
             const qreal a = qDegreesToRadians(22.5 + 45.0 * i);
             octagon << QPointF(32 + 27 * std::cos(a), 32 + 27 * std::sin(a));
         }
         p.setPen(Qt::NoPen);
         p.setBrush(red);
         p.drawPolygon(octagon);
         p.setPen(pen(Qt::white, 6));
         p.drawLine(QPointF(22, 22), QPointF(42, 42));
         p.drawLine(QPointF(42, 22), QPointF(22, 42));
     }},
    {QStringLiteral("content-loading"),
     [](QPainter &p) {
         QPen dashed = pen(QColor(0x8a, 0x93, 0x9e), 5);
         dashed.setDashPattern({1.5, 2});
         p.setPen(dashed);
         p.drawEllipse(QRectF(10, 10, 44, 44));
     }},
    {QStringLiteral("preferences-system"),
     [](QPainter &p) {
         p.setPen(pen(ink, 7));
         for (int i = 0; i < 8; ++i) {
             const qreal a = qDegreesToRadians(45.0 * i);
             p.drawLine(QPointF(32 + 16 * std::cos(a), 32 + 16 * std::sin(a)),
                        QPointF(32 + 25 * std::cos(a), 32 + 25 * std::sin(a)));
         }
         p.setPen(pen(ink, 5));
         p.setBrush(Qt::white);
         p.drawEllipse(QPointF(32, 32), 15, 15);
         p.drawEllipse(QPointF(32, 32), 5, 5);
     }},
    {QStringLiteral("document-open-recent"),
     [](QPainter &p) {
         clock(p, QColor(0x8a, 0x93, 0x9e));
         arrowHead(p, QPointF(12, 26), 250, QColor(0x8a, 0x93, 0x9e));
     }},
    {QStringLiteral("process-stop"),
     [](QPainter &p) {
         filledCircle(p, red);
         p.setPen(Qt::NoPen);
         p.setBrush(Qt::white);
         p.drawRect(QRectF(22, 22, 20, 20));
     }},
    {QStringLiteral("window-close"),
     [](QPainter &p) {
         p.setPen(pen(ink, 6));
         p.drawLine(QPointF(18, 18), QPointF(46, 46));
         p.drawLine(QPointF(46, 18), QPointF(18, 46));
     }},
    {QStringLiteral("network-connect"),
     [](QPainter &p) {
         p.setPen(pen(accent, 5));
         p.drawLine(QPointF(10, 32), QPointF(54, 32));
         p.setPen(Qt::NoPen);
         p.setBrush(accent);
         p.drawEllipse(QPointF(12, 32), 7, 7);
         p.drawEllipse(QPointF(52, 32), 7, 7);
     }},
    {QStringLiteral("security-high"),
     [](QPainter &p) {
         QPainterPath shield;
         shield.moveTo(32, 6);
         shield.lineTo(54, 14);
         shield.cubicTo(54, 38, 44, 52, 32, 58);
         shield.cubicTo(20, 52, 10, 38, 10, 14);
         shield.closeSubpath();
         p.setPen(Qt::NoPen);
         p.setBrush(green);
         p.drawPath(shield);
         p.setPen(pen(Qt::white, 5));
         p.drawLine(QPointF(22, 31), QPointF(29, 39));
         p.drawLine(QPointF(29, 39), QPointF(42, 24));
     }},
    {QStringLiteral("document-save"),
     [](QPainter &p) {
         p.setPen(pen(ink, 4));
         p.drawLine(QPointF(32, 10), QPointF(32, 40));
         p.drawLine(QPointF(20, 29), QPointF(32, 41));
         p.drawLine(QPointF(44, 29), QPointF(32, 41));
         p.drawLine(QPointF(12, 52), QPointF(52, 52));
     }},
    {QStringLiteral("document-open"),
     [](QPainter &p) {
         p.setPen(pen(ink, 4));
         p.drawLine(QPointF(32, 42), QPointF(32, 12));
         p.drawLine(QPointF(20, 23), QPointF(32, 11));
         p.drawLine(QPointF(44, 23), QPointF(32, 11));
         p.drawLine(QPointF(12, 52), QPointF(52, 52));
     }},
};

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("icons");
    QDir().mkpath(folder);
    for (const auto &[name, draw] : glyphs) {
        QImage image(64, 64, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        draw(painter);
        painter.end();
        image.save(folder + u'/' + name + QStringLiteral(".png"));
    }
    return 0;
}
