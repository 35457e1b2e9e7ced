// SPDX-License-Identifier: GPL-3.0-or-later
// Making the destination, or a second copy's folder, an encrypted folder.
#pragma once

#include <QDialog>

class ConfigStore;
class Dialogs;
class PathField;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;

// First the file that holds the passphrase (readable by this user alone);
// "Encrypt" sets the empty folder up and notes it in the configuration.
// Then the recovery key, shown this once, and "Done" only once its first
// group is typed back: it was written down.
class EncryptDialog : public QDialog
{
    Q_OBJECT

public:
    // `target`: a second copy's id; empty: the destination.
    EncryptDialog(ConfigStore *store, Dialogs *dialogs, const QString &target = QString(), QWidget *parent = nullptr);

    // The recovery key once the folder is set up; empty before.
    QString recoveryKey() const { return m_key; }

    // Once the key is shown, closing without typing it back asks first.
    void reject() override;

private:
    void choose();
    void encrypt();
    void showKey(const QString &key);

    ConfigStore *m_store;
    Dialogs *m_dialogs;
    QString m_target;
    QStackedWidget *m_pages;
    PathField *m_keyField;
    QLabel *m_problem;
    QPushButton *m_encrypt;
    QLabel *m_shownKey;
    QLineEdit *m_typed;
    QPushButton *m_done;
    QString m_key;
};
