// SPDX-License-Identifier: GPL-3.0-or-later
// The sheet that shows a server's last log file.
#pragma once

#include "core/model/Server.h"

#include <QDialog>

class Desktop;
class QHBoxLayout;
class QPlainTextEdit;
class QPushButton;

// The log file of a server's last run, as it was when the sheet opened.
class LogViewerView : public QDialog
{
    Q_OBJECT

public:
    LogViewerView(const Server &server, Desktop *desktop, QWidget *parent = nullptr);

    QString shownText() const;
    static QString noLogText();
    // The file's text, or the no-log sentence when missing or not UTF-8.
    static QString readLog(const QString &path);

private:
    QHBoxLayout *buildHeader();
    Server m_server;
    Desktop *m_desktop;
    QPlainTextEdit *m_text;
};
