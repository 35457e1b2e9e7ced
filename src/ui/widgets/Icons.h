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

QIcon get(const QString &themeName);
// Tidewell's own icon, in every size it is drawn in.
QIcon application();

// The clock that marks a daily schedule; struck through in red when the
// schedule does not work.
void paintScheduleMark(QPainter *painter, const QRect &rect, bool broken);
QPixmap scheduleMark(bool broken, int size, qreal devicePixelRatio);

QColor green();
QColor red();
QColor amber();
QColor accent(const QWidget *widget);
QColor accent(const QPalette &palette);
QColor secondary(const QWidget *widget);
QColor secondary(const QPalette &palette);

} // namespace Icons
