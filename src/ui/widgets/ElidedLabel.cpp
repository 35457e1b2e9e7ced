// SPDX-License-Identifier: GPL-3.0-or-later
// Elided plain-text labels for names.
#include "ui/widgets/ElidedLabel.h"

#include <QResizeEvent>

ElidedLabel::ElidedLabel(QWidget *parent)
    : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void ElidedLabel::setFullText(const QString &text)
{
    if (text == m_text && !QLabel::text().isEmpty())
        return;
    m_text = text;
    elide();
}

QSize ElidedLabel::minimumSizeHint() const
{
    return QSize(fontMetrics().horizontalAdvance(QStringLiteral("…")) + 4, QLabel::minimumSizeHint().height());
}

QSize ElidedLabel::sizeHint() const
{
    return QSize(fontMetrics().horizontalAdvance(m_text) + 4, QLabel::sizeHint().height());
}

void ElidedLabel::resizeEvent(QResizeEvent *event)
{
    QLabel::resizeEvent(event);
    elide();
}

void ElidedLabel::elide()
{
    const QString shown = fontMetrics().elidedText(m_text, Qt::ElideRight, std::max(contentsRect().width(), 1));
    setText(shown);
    setToolTip(shown == m_text ? QString() : m_text);
}
