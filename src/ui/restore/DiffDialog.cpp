// SPDX-License-Identifier: GPL-3.0-or-later
// Showing a unified diff of two versions of a file.
#include "ui/restore/DiffDialog.h"

#include "core/restore/TextDiff.h"
#include "ui/widgets/Style.h"
#include "ui/widgets/WindowFit.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

DiffDialog::DiffDialog(const QString &older, const QString &newer, const QString &olderLabel, const QString &newerLabel,
                       QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("diffDialog"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("Changes in %1").arg(newerLabel.section(u'/', -1)));
    WindowFit::fit(this, QSize(820, 560));
    auto *layout = new QVBoxLayout(this);
    m_state = Style::note(tr("Comparing…"), this);
    m_state->setObjectName(QStringLiteral("diffState"));
    layout->addWidget(m_state);
    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("diffText"));
    m_text->setAccessibleName(tr("Changes"));
    m_text->setReadOnly(true);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setFont(Style::monospace());
    layout->addWidget(m_text, 1);
    auto *buttons = new QHBoxLayout;
    auto *close = new QPushButton(tr("Close"), this);
    buttons->addStretch(1);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    QCoro::connect(showChanges(older, newer, olderLabel, newerLabel), this, [] {});
}

QCoro::Task<> DiffDialog::showChanges(QString older, QString newer, QString olderLabel, QString newerLabel)
{
    QPointer<DiffDialog> self(this);
    const TextDiff::Result result = co_await TextDiff::between(older, newer, olderLabel, newerLabel);
    if (!self)
        co_return;
    using Kind = TextDiff::Result::Kind;
    switch (result.kind) {
    case Kind::same:
        m_state->setText(tr("The two versions are the same."));
        break;
    case Kind::changed:
        m_state->setText(
            tr("Lines starting with - are in %1 only, lines starting with + in %2 only.").arg(olderLabel, newerLabel));
        m_text->setPlainText(result.text);
        break;
    case Kind::binary:
        m_state->setText(tr("Not a text file: its changes cannot be shown line by line."));
        break;
    case Kind::tooLarge:
        m_state->setText(tr("Larger than %1: its changes are not shown line by line.")
                             .arg(QLocale().formattedDataSize(TextDiff::largestFile)));
        break;
    case Kind::failed:
        m_state->setText(tr("The changes could not be shown: %1").arg(result.text));
        break;
    }
    m_text->setVisible(result.kind == Kind::changed);
    m_ready = true;
}

QString DiffDialog::text() const
{
    return m_text->toPlainText();
}

QString DiffDialog::state() const
{
    return m_state->text();
}
