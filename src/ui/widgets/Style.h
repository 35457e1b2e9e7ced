// SPDX-License-Identifier: GPL-3.0-or-later
// Fonts and small texts the windows share.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class QLabel;
class QWidget;

// Fonts and small texts the windows share.
namespace Style {

// The widget's font, bold and scaled, for headings.
QFont heading(const QWidget *widget, qreal scale = 1.3);
// The system's fixed-width font, scaled.
QFont monospace(qreal scale = 1.0);
// A small wrapped note in the secondary text colour, which follows the
// palette (a dark theme) as it changes; or in a fixed colour (red).
QLabel *note(const QString &text, QWidget *parent, const QColor &color = QColor());

} // namespace Style
