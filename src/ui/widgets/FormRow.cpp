// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/widgets/FormRow.h"

#include "ui/widgets/Style.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace FormRow {

namespace {

// "&Port" is said "Port", "R&&D" "R&D".
QString withoutMnemonic(const QString &label)
{
    QString text;
    for (qsizetype i = 0; i < label.size(); ++i) {
        if (label.at(i) == u'&' && i + 1 < label.size())
            ++i;
        text += label.at(i);
    }
    return text;
}

} // namespace

QWidget *make(const QString &label, QWidget *control, QWidget *parent, Layout layout, QWidget *focus)
{
    auto *row = new QWidget(parent);
    auto *rowLayout = new QHBoxLayout(row);
    rowLayout->setContentsMargins(0, 0, 0, 0);
    auto *caption = new QLabel(label, row);
    // Wraps rather than widening the window (labels are longer in some languages).
    caption->setWordWrap(true);
    caption->setBuddy(focus ? focus : control);
    control->setParent(row);
    // A screen reader finds a buddy label among the control's siblings only:
    // a control inside a box of its own (a field with its unit, a path with
    // Browse…) is named by the label's text.
    QWidget *named = focus ? focus : control;
    if (named->focusProxy())
        named = named->focusProxy();
    if (named->parentWidget() != row && named->accessibleName().isEmpty())
        named->setAccessibleName(withoutMnemonic(label));
    if (layout == Layout::column) {
        rowLayout->setSpacing(12);
        caption->setFixedWidth(140);
        caption->setForegroundRole(QPalette::PlaceholderText);
        rowLayout->addWidget(caption, 0, Qt::AlignVCenter | Qt::AlignLeft);
        rowLayout->addWidget(control, 1);
    } else {
        rowLayout->addWidget(caption, 1);
        rowLayout->addWidget(control);
    }
    return row;
}

} // namespace FormRow

PathField::PathField(const QString &placeholder, QWidget *parent)
    : QWidget(parent)
    , m_edit(new QLineEdit(this))
    , m_browse(new QPushButton(tr("Browse…"), this))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_edit->setPlaceholderText(placeholder);
    m_edit->setFont(Style::monospace());
    layout->addWidget(m_edit, 1);
    layout->addWidget(m_browse);
    setFocusProxy(m_edit);
    connect(m_browse, &QPushButton::clicked, this, &PathField::browseRequested);
}
