// SPDX-License-Identifier: GPL-3.0-or-later
// Setting up an encrypted folder from the window, and showing its recovery key once.
#include "ui/settings/EncryptDialog.h"

#include "core/engine/EncryptionSetup.h"
#include "core/storage/ConfigStore.h"
#include "core/system/AppPaths.h"
#include "core/system/Background.h"
#include "ui/widgets/Dialogs.h"
#include "ui/widgets/FormRow.h"
#include "ui/widgets/Icons.h"
#include "ui/widgets/Style.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

EncryptDialog::EncryptDialog(ConfigStore *store, Dialogs *dialogs, const QString &target, QWidget *parent)
    : QDialog(parent)
    , m_store(store)
    , m_dialogs(dialogs)
    , m_target(target)
{
    setObjectName(QStringLiteral("encryptDialog"));
    setWindowTitle(tr("Encrypt backups"));
    auto *layout = new QVBoxLayout(this);
    // Never smaller than what it shows: a problem line added below makes it taller.
    layout->setSizeConstraint(QLayout::SetMinimumSize);
    m_pages = new QStackedWidget(this);
    m_pages->setMinimumWidth(520);
    layout->addWidget(m_pages);

    auto *ask = new QWidget(m_pages);
    auto *askLayout = new QVBoxLayout(ask);
    askLayout->setContentsMargins(0, 0, 0, 0);
    auto *intro = new QLabel(tr("The folder must be empty. From now on it holds only gocryptfs ciphertext: names and "
                                "contents of the copies are unreadable without the passphrase or the recovery key."),
                             ask);
    intro->setWordWrap(true);
    askLayout->addWidget(intro);
    m_keyField = new PathField(QStringLiteral("~/.config/tidewell-passphrase"), ask);
    m_keyField->edit()->setObjectName(QStringLiteral("passphraseFileField"));
    askLayout->addWidget(
        FormRow::make(tr("Passphrase file"), m_keyField, ask, FormRow::Layout::column, m_keyField->edit()));
    askLayout->addWidget(
        Style::note(tr("A file readable by you alone (chmod 600) whose first line is the passphrase."), ask));
    m_problem = Style::note(QString(), ask, Icons::red());
    m_problem->setObjectName(QStringLiteral("encryptProblem"));
    m_problem->setTextFormat(Qt::PlainText);
    m_problem->setVisible(false);
    askLayout->addWidget(m_problem);
    auto *askButtons = new QDialogButtonBox(QDialogButtonBox::Cancel, ask);
    m_encrypt = askButtons->addButton(tr("Encrypt"), QDialogButtonBox::AcceptRole);
    m_encrypt->setObjectName(QStringLiteral("encryptButton"));
    askLayout->addWidget(askButtons);
    m_pages->addWidget(ask);

    auto *shown = new QWidget(m_pages);
    auto *shownLayout = new QVBoxLayout(shown);
    shownLayout->setContentsMargins(0, 0, 0, 0);
    auto *told = new QLabel(tr("Encrypted. This is the recovery key, shown this once: write it down or print it and "
                               "keep it away from this computer. With it the backups can be read without the "
                               "passphrase, even if gocryptfs.conf is lost."),
                            shown);
    told->setWordWrap(true);
    shownLayout->addWidget(told);
    m_shownKey = new QLabel(shown);
    m_shownKey->setObjectName(QStringLiteral("recoveryKey"));
    m_shownKey->setFont(Style::monospace(1.1));
    m_shownKey->setTextInteractionFlags(Qt::TextSelectableByMouse);
    shownLayout->addWidget(m_shownKey);
    m_typed = new QLineEdit(shown);
    m_typed->setObjectName(QStringLiteral("recoveryKeyTyped"));
    shownLayout->addWidget(FormRow::make(tr("Type its first group"), m_typed, shown));
    auto *shownButtons = new QDialogButtonBox(shown);
    m_done = shownButtons->addButton(tr("Done"), QDialogButtonBox::AcceptRole);
    m_done->setObjectName(QStringLiteral("recoveryKeyDone"));
    m_done->setEnabled(false);
    shownLayout->addWidget(shownButtons);
    m_pages->addWidget(shown);

    connect(m_keyField, &PathField::browseRequested, this, &EncryptDialog::choose);
    connect(askButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_encrypt, &QPushButton::clicked, this, &EncryptDialog::encrypt);
    connect(m_typed, &QLineEdit::textChanged, this, [this](const QString &text) {
        m_done->setEnabled(!m_key.isEmpty() && text.trimmed() == m_key.section(u'-', 0, 0));
    });
    connect(m_done, &QPushButton::clicked, this, &QDialog::accept);
}

void EncryptDialog::choose()
{
    const QString file = m_dialogs->openFileName(this, tr("Passphrase file"), AppPaths::homeFolder(), QString(), true);
    if (!file.isEmpty())
        m_keyField->edit()->setText(file);
}

void EncryptDialog::encrypt()
{
    const AppSettings settings = m_store->settings();
    const auto where = EncryptionSetup::place(settings, m_target);
    const QString typed = m_keyField->edit()->text().trimmed();
    const QString keyFile = typed.isEmpty() ? QString() : QFileInfo(AppPaths::expandTilde(typed)).absoluteFilePath();
    if (!where || keyFile.isEmpty()) {
        m_problem->setText(where ? tr("Choose the passphrase file.") : where.error());
        m_problem->setVisible(true);
        return;
    }
    m_encrypt->setEnabled(false);
    m_problem->setVisible(false);
    auto *watcher = new QFutureWatcher<tl::expected<QString, QString>>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, place = *where, keyFile] {
        watcher->deleteLater();
        m_encrypt->setEnabled(true);
        const auto key = watcher->result();
        if (!key) {
            m_problem->setText(key.error());
            m_problem->setVisible(true);
            return;
        }
        m_store->update([&](AppSettings &changed) { EncryptionSetup::record(changed, place, keyFile); });
        (void)m_store->save();
        showKey(*key);
    });
    watcher->setFuture(Background::run(
        [settings, place = *where, keyFile] { return EncryptionSetup::setUp(settings, place, keyFile); }));
}

void EncryptDialog::showKey(const QString &key)
{
    m_key = key;
    // Four groups a line: easier to write down, and never cut off.
    const QStringList groups = key.split(u'-');
    m_shownKey->setText(groups.mid(0, 4).join(u'-') + QStringLiteral("-\n") + groups.mid(4).join(u'-'));
    m_pages->setCurrentIndex(1);
    m_typed->setFocus();
}

void EncryptDialog::reject()
{
    if (!m_key.isEmpty() && !m_done->isEnabled()
        && !m_dialogs->confirm(this, tr("Close"), tr("Close without the recovery key?"),
                               tr("The folder is encrypted already; the key is not shown again."), tr("Close"))) {
        return;
    }
    QDialog::reject();
}
