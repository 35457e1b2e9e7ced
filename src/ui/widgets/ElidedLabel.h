// SPDX-License-Identifier: GPL-3.0-or-later
// A one-line plain-text label that elides what does not fit.
#pragma once

#include <QLabel>

// Shows user text as text (never rich text), on one line, cut with "…" when
// the label is narrower than the text; the whole text is its tooltip then.
// It never asks for more width than its minimum, so a long name cannot push
// the buttons beside it out of view.
class ElidedLabel : public QLabel
{
    Q_OBJECT

public:
    explicit ElidedLabel(QWidget *parent = nullptr);

    void setFullText(const QString &text);
    QString fullText() const { return m_text; }
    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void elide();

    QString m_text;
};
