// SPDX-License-Identifier: GPL-3.0-or-later
// Confirmation and file dialogs, answerable by tests.
#include "ui/Dialogs.h"

#include <QFileDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>

bool Dialogs::confirm(QWidget *parent, const QString &title, const QString &text, const QString &informative,
                      const QString &confirmLabel, bool destructive)
{
    m_asked << text + u'\n' + informative;
    if (!m_answers.isEmpty())
        return m_answers.dequeue();
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::NoButton, parent);
    // The texts may hold names the user typed: shown as typed, never as markup.
    box.setTextFormat(Qt::PlainText);
    box.setInformativeText(informative);
    // Wide enough for its title, which the window manager would cut.
    if (auto *grid = qobject_cast<QGridLayout *>(box.layout())) {
        const int titleWidth = QFontMetrics(box.font()).horizontalAdvance(title) * 6 / 5 + 120;
        grid->addItem(new QSpacerItem(titleWidth, 0, QSizePolicy::Minimum, QSizePolicy::Expanding), grid->rowCount(), 0,
                      1, grid->columnCount());
    }
    QPushButton *yes =
        box.addButton(confirmLabel, destructive ? QMessageBox::DestructiveRole : QMessageBox::AcceptRole);
    QPushButton *no = box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(destructive ? no : yes);
    box.exec();
    return box.clickedButton() == yes;
}

QString Dialogs::saveFileName(QWidget *parent, const QString &title, const QString &message, const QString &suggested,
                              const QString &filter)
{
    if (!m_fileNames.isEmpty())
        return m_fileNames.dequeue();
    // `suggested` holds the folder to start in and the name to propose.
    QFileDialog dialog(parent, title, suggested, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setLabelText(QFileDialog::Accept, tr("Save"));
    dialog.setDefaultSuffix(QStringLiteral("json"));
    dialog.setToolTip(message);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}

QString Dialogs::openFileName(QWidget *parent, const QString &title, const QString &folder, const QString &filter,
                              bool showHidden)
{
    if (!m_fileNames.isEmpty())
        return m_fileNames.dequeue();
    QFileDialog dialog(parent, title, folder, filter);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (showHidden)
        dialog.setFilter(dialog.filter() | QDir::Hidden);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}

QString Dialogs::folderName(QWidget *parent, const QString &title, const QString &folder)
{
    if (!m_fileNames.isEmpty())
        return m_fileNames.dequeue();
    return QFileDialog::getExistingDirectory(parent, title, folder);
}
