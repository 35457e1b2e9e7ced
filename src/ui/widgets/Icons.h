// SPDX-License-Identifier: GPL-3.0-or-later
// Icons by freedesktop name and the colours the views share.
#pragma once

#include <QColor>
#include <QIcon>
#include <QString>

class QPainter;
class QPalette;
class QPixmap;
class QRect;
class QWidget;

// Icons by freedesktop icon-theme name, with the bundled drawing as fallback
// so every control has one on any desktop; and the few colours views share.
namespace Icons {

// The theme's icon, or the bundled one; a bundled one in grey is drawn in
// the application palette's text colour (light on a dark palette).
QIcon get(const QString &themeName);
// Tidewell's own icon, in every size it is drawn in.
QIcon application();

// The clock that marks a daily schedule; struck through in red when the
// schedule does not work.
void paintScheduleMark(QPainter *painter, const QRect &rect, bool broken);
QPixmap scheduleMark(bool broken, int size, qreal devicePixelRatio);

// The status colours, made dark or light enough to read as text (a 4.5:1
// contrast) on the application palette's window and fields, light or dark.
QColor green();
QColor red();
QColor amber();
// `color` with its lightness moved (its hue kept) until it reads on the
// palette's Window and Base at 4.5:1, or as close as black or white come.
QColor readable(const QColor &color, const QPalette &palette);
QColor accent(const QWidget *widget);
QColor accent(const QPalette &palette);
QColor secondary(const QWidget *widget);
QColor secondary(const QPalette &palette);

} // namespace Icons
