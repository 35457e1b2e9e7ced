// SPDX-License-Identifier: GPL-3.0-or-later
// Shared plumbing of the editor's sections.
#include "ui/editor/EditorSection.h"

#include "core/storage/ConfigStore.h"
#include "ui/widgets/FormRow.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

EditorSection::EditorSection(const QString &title, const QUuid &serverID, ConfigStore *store, QWidget *parent)
    : QGroupBox(title, parent)
    , m_id(serverID)
    , m_store(store)
{
    auto *layout = new QVBoxLayout(this);
    layout->setSpacing(8);
}

Server EditorSection::server() const
{
    const Server *found = m_store->settings().server(m_id);
    return found ? *found : Server{};
}

void EditorSection::edit(const std::function<void(Server &)> &change)
{
    m_store->updateServer(m_id, change);
}

QWidget *EditorSection::field(const QString &label, QWidget *control, QWidget *focus)
{
    return FormRow::make(label, control, this, FormRow::Layout::column, focus);
}

void EditorSection::showText(QLineEdit *edit, const QString &text)
{
    if (edit->text() != text && !edit->hasFocus())
        edit->setText(text);
}
