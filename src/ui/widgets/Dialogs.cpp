// SPDX-License-Identifier: GPL-3.0-or-later
// Confirmation and file dialogs, answerable by tests.
#include "ui/widgets/Dialogs.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

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
    m_openConfirmation = &box;
    m_forcedAnswer.reset();
    box.exec();
    m_openConfirmation = nullptr;
    if (const auto forced = std::exchange(m_forcedAnswer, std::nullopt))
        return *forced;
    return box.clickedButton() == yes;
}

void Dialogs::closeConfirmation(bool answer)
{
    if (!m_openConfirmation)
        return;
    m_forcedAnswer = answer;
    m_openConfirmation->done(QMessageBox::Cancel);
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

std::optional<Dialogs::RestoreTarget> Dialogs::restoreTarget(QWidget *parent, const QString &suggested,
                                                             bool mayKeepSpecial)
{
    m_asked << suggested;
    if (!m_targets.isEmpty())
        return m_targets.dequeue();
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("restoreTargetDialog"));
    dialog.setWindowTitle(tr("Restore into which folder?"));
    auto *layout = new QVBoxLayout(&dialog);
    auto *label = new QLabel(tr("Restore into this folder (it is made if it is not there yet):"), &dialog);
    label->setWordWrap(true);
    layout->addWidget(label);
    auto *row = new QHBoxLayout;
    auto *field = new QLineEdit(suggested, &dialog);
    field->setObjectName(QStringLiteral("restoreTargetFolder"));
    field->setMinimumWidth(field->fontMetrics().horizontalAdvance(suggested) + 40);
    label->setBuddy(field);
    auto *browse = new QPushButton(tr("Browse…"), &dialog);
    row->addWidget(field, 1);
    row->addWidget(browse);
    layout->addLayout(row);
    auto *special = new QCheckBox(tr("Also give back devices, FIFOs and setuid or setgid bits as they were"), &dialog);
    special->setObjectName(QStringLiteral("restoreKeepSpecial"));
    special->setVisible(mayKeepSpecial);
    layout->addWidget(special);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("Restore"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    connect(field, &QLineEdit::textChanged, buttons, [buttons](const QString &text) {
        buttons->button(QDialogButtonBox::Ok)->setEnabled(!text.trimmed().isEmpty());
    });
    connect(browse, &QPushButton::clicked, &dialog, [&dialog, field] {
        // The chooser starts at the nearest folder that is there.
        QString start = field->text().trimmed();
        while (!start.isEmpty() && !QFileInfo(start).isDir() && QFileInfo(start).path() != start)
            start = QFileInfo(start).path();
        const QString chosen = QFileDialog::getExistingDirectory(&dialog, tr("Restore into which folder?"), start);
        if (!chosen.isEmpty())
            field->setText(chosen);
    });
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return RestoreTarget{field->text().trimmed(), mayKeepSpecial && special->isChecked()};
}

std::optional<QString> Dialogs::text(QWidget *parent, const QString &title, const QString &label,
                                     const QString &suggested)
{
    m_asked << label;
    if (!m_texts.isEmpty())
        return m_texts.dequeue();
    bool ok = false;
    const QString text = QInputDialog::getText(parent, title, label, QLineEdit::Normal, suggested, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

std::optional<QString> Dialogs::password(QWidget *parent, const QString &title, const QString &label)
{
    m_asked << label;
    if (!m_texts.isEmpty())
        return m_texts.dequeue();
    bool ok = false;
    const QString text = QInputDialog::getText(parent, title, label, QLineEdit::Password, QString(), &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

Dialogs::ConflictAnswer Dialogs::conflict(QWidget *parent, const QString &path)
{
    m_asked << path;
    if (!m_conflicts.isEmpty())
        return m_conflicts.dequeue();
    QMessageBox box(QMessageBox::Question, tr("A file is already there"),
                    tr("“%1” is already there. Replace it with the restored one?").arg(path), QMessageBox::NoButton,
                    parent);
    box.setTextFormat(Qt::PlainText);
    box.setInformativeText(tr("“Keep both” gives the restored file the backup's date in its name."));
    QPushButton *replace = box.addButton(tr("Replace"), QMessageBox::DestructiveRole);
    QPushButton *both = box.addButton(tr("Keep both"), QMessageBox::AcceptRole);
    QPushButton *skip = box.addButton(tr("Skip"), QMessageBox::RejectRole);
    QPushButton *stop = box.addButton(tr("Stop"), QMessageBox::RejectRole);
    auto *forAll = new QCheckBox(tr("Do this for the other files that are there too"), &box);
    box.setCheckBox(forAll);
    box.setDefaultButton(both);
    box.setEscapeButton(stop);
    box.exec();
    ConflictAnswer answer;
    answer.forAll = forAll->isChecked();
    if (box.clickedButton() == replace)
        answer.choice = LocalRestore::Choice::replace;
    else if (box.clickedButton() == both)
        answer.choice = LocalRestore::Choice::keepBoth;
    else if (box.clickedButton() == skip)
        answer.choice = LocalRestore::Choice::skip;
    else
        answer.cancelled = true;
    return answer;
}
