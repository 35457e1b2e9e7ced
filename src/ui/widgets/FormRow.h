// SPDX-License-Identifier: GPL-3.0-or-later
// One labelled row of a form, and a path field with its Browse… button.
#pragma once

#include <QString>
#include <QWidget>

class QLineEdit;
class QPushButton;

namespace FormRow {

enum class Layout {
    column,   // the label in a 140-wide column, the control taking the rest (the editor)
    trailing, // the label taking the room, wrapped, the control at its right (Settings)
};

// A row of a form: the label, made the buddy of `focus` (the control, or the
// part of it that takes the focus), so a screen reader names the control and
// a mnemonic reaches it; then the control, which becomes the row's child.
QWidget *make(const QString &label, QWidget *control, QWidget *parent, Layout layout = Layout::column,
              QWidget *focus = nullptr);

} // namespace FormRow

// A path, typed or chosen: a fixed-width line edit and a "Browse…" button
// beside it, which asks the owner to choose (browseRequested()).
class PathField : public QWidget
{
    Q_OBJECT

public:
    PathField(const QString &placeholder, QWidget *parent);

    QLineEdit *edit() const { return m_edit; }
    QPushButton *browseButton() const { return m_browse; }

Q_SIGNALS:
    void browseRequested();

private:
    QLineEdit *m_edit;
    QPushButton *m_browse;
};
