// SPDX-License-Identifier: GPL-3.0-or-later
// How one server of the sidebar is drawn, and its run button.
#pragma once

#include <QStyledItemDelegate>
#include <QUuid>

// Paints a sidebar row from the server list model: an icon, the name
// (elided, plain text) with a clock mark when a schedule is on (red when
// the schedule does not work), the meta line with a result dot, and at the
// end a run button or, while the server runs, a spinner. A click on the
// button asks for a run.
class ServerRowDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    static constexpr int rowHeight = 46;
    static constexpr int buttonSize = 26;

    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                     const QModelIndex &index) override;
    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override;

    // The spinner's turn, advanced by the view while a row runs.
    void setSpinnerAngle(int degrees) { m_angle = degrees; }
    static QRect buttonRect(const QRect &row, Qt::LayoutDirection direction = Qt::LeftToRight);

Q_SIGNALS:
    void runRequested(const QUuid &serverID);

private:
    int m_angle = 0;
};
