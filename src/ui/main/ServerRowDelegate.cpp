// SPDX-License-Identifier: GPL-3.0-or-later
// Painting sidebar rows and handling their run button.
#include "ui/main/ServerRowDelegate.h"

#include "core/presentation/ServerListModel.h"
#include "ui/widgets/Icons.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

QRect ServerRowDelegate::buttonRect(const QRect &row, Qt::LayoutDirection direction)
{
    return QStyle::visualRect(
        direction, row, QRect(row.right() - buttonSize - 6, row.center().y() - buttonSize / 2, buttonSize, buttonSize));
}

QSize ServerRowDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const
{
    return QSize(option.rect.width(), std::max(rowHeight, option.fontMetrics.height() * 2 + 14));
}

void ServerRowDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem background = option;
    initStyleOption(&background, index);
    background.text.clear();
    background.icon = QIcon();
    const QWidget *widget = option.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &background, painter, widget);

    const bool selected = option.state & QStyle::State_Selected;
    const QPalette &palette = option.palette;
    const QColor text = palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
    const QColor secondary = selected ? text : Icons::secondary(palette);
    const QRect row = option.rect;
    // Laid out left to right, then mirrored for a right-to-left language;
    // each text takes its direction from its own letters.
    const auto visual = [&option, &row](const QRect &rect) { return QStyle::visualRect(option.direction, row, rect); };
    const int leading = option.direction == Qt::RightToLeft ? Qt::AlignRight : Qt::AlignLeft;
    const int textFlags = Qt::AlignAbsolute | leading | Qt::AlignVCenter | Qt::TextSingleLine;
    const QRect button = buttonRect(row, option.direction);
    painter->save();
    painter->setLayoutDirection(Qt::LayoutDirectionAuto);

    Icons::get(QStringLiteral("network-server"))
        .paint(painter, visual(QRect(row.left() + 8, row.center().y() - 11, 22, 22)));
    const int left = row.left() + 38;
    const int textRight = row.right() - buttonSize - 12;
    QFont bold = option.font;
    bold.setBold(true);
    const QFontMetrics boldMetrics(bold);
    const QRect nameLine(left, row.top() + 5, textRight - left, boldMetrics.height());
    const bool scheduled = index.data(ServerListModel::ScheduledRole).toBool();
    const int clockRoom = scheduled ? 16 : 0;
    const QString name =
        boldMetrics.elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideRight, nameLine.width() - clockRoom);
    painter->setFont(bold);
    painter->setPen(text);
    painter->drawText(visual(nameLine), textFlags, name);
    if (scheduled) {
        const int x = nameLine.left() + boldMetrics.horizontalAdvance(name) + 4;
        const QRect clock(x, nameLine.center().y() - 6, 12, 12);
        Icons::paintScheduleMark(painter, visual(clock),
                                 !index.data(ServerListModel::ScheduleProblemRole).toString().isEmpty());
    }

    QFont small = option.font;
    small.setPointSizeF(small.pointSizeF() * 0.9);
    const QFontMetrics smallMetrics(small);
    QRect metaLine(left, nameLine.bottom() + 2, textRight - left, smallMetrics.height());
    painter->setFont(small);
    const bool running = index.data(ServerListModel::RunningRole).toBool();
    const int result = index.data(ServerListModel::ResultRole).toInt();
    const QString meta = index.data(ServerListModel::MetaRole).toString();
    if (!running && result >= 0 && !meta.isEmpty() && index.data(ServerListModel::IdRole).isValid()) {
        // The dot of the last result.
        painter->setPen(Qt::NoPen);
        painter->setBrush(result == 0 ? Icons::green() : result == 2 ? Icons::amber() : Icons::red());
        painter->setRenderHint(QPainter::Antialiasing);
        painter->drawEllipse(visual(QRect(metaLine.left(), metaLine.center().y() - 3, 6, 6)));
        metaLine.setLeft(metaLine.left() + 10);
    }
    painter->setPen(running && !selected ? Icons::accent(palette) : secondary);
    painter->drawText(visual(metaLine), textFlags, smallMetrics.elidedText(meta, Qt::ElideRight, metaLine.width()));

    if (running) {
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(QPen(Icons::accent(palette), 2.5, Qt::SolidLine, Qt::RoundCap));
        painter->setBrush(Qt::NoBrush);
        painter->drawArc(button.adjusted(6, 6, -6, -6), -m_angle * 16, 270 * 16);
    } else {
        const bool enabled = index.data(ServerListModel::CanStartRole).toBool();
        Icons::get(QStringLiteral("go-down"))
            .paint(painter, button.adjusted(3, 3, -3, -3), Qt::AlignCenter, enabled ? QIcon::Normal : QIcon::Disabled);
    }
    painter->restore();
}

bool ServerRowDelegate::editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                                    const QModelIndex &index)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton
            && buttonRect(option.rect, option.direction).contains(mouse->position().toPoint())
            && (index.data(ServerListModel::CanStartRole).toBool()
                || index.data(ServerListModel::RunningHereRole).toBool())) {
            Q_EMIT runRequested(index.data(ServerListModel::IdRole).toUuid());
            return true;
        }
    }
    return QStyledItemDelegate::editorEvent(event, model, option, index);
}

bool ServerRowDelegate::helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                                  const QModelIndex &index)
{
    if (event->type() != QEvent::ToolTip)
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    QString tip;
    if (buttonRect(option.rect, option.direction).contains(event->pos()))
        tip = index.data(ServerListModel::RunningHereRole).toBool() ? tr("Backing up now: click to show the backup")
              : index.data(ServerListModel::RunningRole).toBool()   ? tr("Backing up now")
                                                                    : tr("Run backup (Ctrl+R)");
    else
        tip = index.data(Qt::DisplayRole).toString();
    if (const QString problem = index.data(ServerListModel::ScheduleProblemRole).toString(); !problem.isEmpty())
        tip += u'\n' + problem;
    QToolTip::showText(event->globalPos(), tip, view);
    return true;
}
