// Icons by freedesktop name and the colours the views share.
#pragma once

#include <QColor>
#include <QIcon>
#include <QString>

class QWidget;

// Icons by freedesktop icon-theme name, with the bundled drawing as fallback
// so every control has one on any desktop; and the few colours views share.
namespace Icons {

QIcon get(const QString &themeName);

QColor green();
QColor red();
QColor accent(const QWidget *widget);
QColor secondary(const QWidget *widget);
// "color: #rrggbb" for a style sheet.
QString colorStyle(const QColor &color);

} // namespace Icons
