// SPDX-License-Identifier: GPL-3.0-or-later
// The viewer of a server's last log file.
#include "ui/run/LogViewerView.h"

#include "core/presentation/Formatting.h"
#include "core/presentation/ServerRules.h"
#include "core/storage/LogStore.h"
#include "core/system/Subprocess.h"
#include "ui/widgets/Desktop.h"
#include "ui/widgets/Icons.h"
#include "ui/widgets/Style.h"
#include "ui/widgets/WindowFit.h"

#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

LogViewerView::LogViewerView(const Server &server, Desktop *desktop, QWidget *parent)
    : QDialog(parent)
    , m_server(server)
    , m_desktop(desktop)
{
    setObjectName(QStringLiteral("logViewerView"));
    setWindowTitle(tr("Last log"));
    setWindowModality(Qt::WindowModal);
    WindowFit::fit(this, QSize(760, 500), QSize(760, 500));
    const QString path = LogStore::logFile(server.id);

    auto *layout = new QVBoxLayout(this);
    layout->setSpacing(10);
    layout->addLayout(buildHeader());

    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("logText"));
    m_text->setReadOnly(true);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setFont(Style::monospace(0.9));
    m_text->setPlainText(readLog(path));
    layout->addWidget(m_text, 1);

    auto *buttons = new QHBoxLayout;
    auto *reveal = new QPushButton(Icons::get(QStringLiteral("folder")), tr("Reveal log file"), this);
    reveal->setObjectName(QStringLiteral("revealLog"));
    reveal->setEnabled(QFile::exists(path));
    auto *copy = new QPushButton(Icons::get(QStringLiteral("edit-copy")), tr("Copy"), this);
    copy->setObjectName(QStringLiteral("copyLogFile"));
    auto *close = new QPushButton(Icons::get(QStringLiteral("window-close")), tr("Close"), this);
    close->setObjectName(QStringLiteral("closeLog"));
    close->setDefault(true);
    buttons->addWidget(reveal);
    buttons->addWidget(copy);
    buttons->addStretch(1);
    buttons->addWidget(close);
    layout->addLayout(buttons);

    connect(reveal, &QPushButton::clicked, this, [this, path] { m_desktop->reveal(path); });
    connect(copy, &QPushButton::clicked, this, [this, path] { m_desktop->copyText(readLog(path)); });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
}

// The server's name, when it last ran and how that ended.
QHBoxLayout *LogViewerView::buildHeader()
{
    auto *header = new QHBoxLayout;
    auto *titles = new QVBoxLayout;
    auto *name = new QLabel(m_server.shownName(), this);
    name->setTextFormat(Qt::PlainText);
    name->setObjectName(QStringLiteral("logServerName"));
    name->setFont(Style::heading(name));
    titles->addWidget(name);
    if (m_server.lastRunAt) {
        auto *when = new QLabel(tr("Last run: %1").arg(Formatting::shortDateTime(*m_server.lastRunAt)), this);
        when->setForegroundRole(QPalette::PlaceholderText);
        titles->addWidget(when);
    }
    header->addLayout(titles, 1);
    if (m_server.lastExitCode) {
        const bool ok = *m_server.lastExitCode == 0;
        auto *icon = new QLabel(this);
        icon->setPixmap(Icons::get(ok ? QStringLiteral("emblem-ok") : QStringLiteral("dialog-error")).pixmap(18, 18));
        auto *result = new QLabel(ok ? tr("Success") : tr("Failed (exit %1)").arg(*m_server.lastExitCode), this);
        result->setObjectName(QStringLiteral("logResult"));
        header->addWidget(icon, 0, Qt::AlignTop);
        header->addWidget(result, 0, Qt::AlignTop);
    }
    return header;
}

QString LogViewerView::shownText() const
{
    return m_text->toPlainText();
}

QString LogViewerView::noLogText()
{
    return tr("No log available for this server.");
}

QString LogViewerView::readLog(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return noLogText();
    const QByteArray bytes = file.readAll();
    const QString text = Subprocess::strictUtf8(bytes);
    return text.isEmpty() && !bytes.isEmpty() ? noLogText() : text;
}
