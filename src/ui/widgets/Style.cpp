// SPDX-License-Identifier: GPL-3.0-or-later
// Heading, monospace and note styles.
#include "ui/widgets/Style.h"

#include "ui/widgets/Icons.h"

#include <QFontDatabase>
#include <QLabel>

namespace Style {

QFont heading(const QWidget *widget, qreal scale)
{
    QFont font = widget->font();
    font.setPointSizeF(font.pointSizeF() * scale);
    font.setBold(true);
    return font;
}

QFont monospace(qreal scale)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSizeF(font.pointSizeF() * scale);
    return font;
}

QLabel *note(const QString &text, QWidget *parent, const QColor &color)
{
    auto *label = new QLabel(text, parent);
    // Texts, never markup: "/<exit code>" and names stay as they are written.
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    QFont small = label->font();
    small.setPointSizeF(small.pointSizeF() * 0.9);
    label->setFont(small);
    if (color.isValid()) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, color);
        label->setPalette(palette);
    } else {
        label->setForegroundRole(QPalette::PlaceholderText);
    }
    return label;
}

} // namespace Style
