// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop around the windows: file manager and clipboard.
#pragma once

#include <QObject>
#include <QString>

#include <functional>

// The desktop around the windows: the file manager and the clipboard.
class Desktop : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // Shows the file or folder selected in the file manager
    // (org.freedesktop.FileManager1), or opens its folder when none answers.
    void reveal(const QString &path);
    void openFolder(const QString &path);
    void copyText(const QString &text);

    // Tests record what would have been shown instead of starting programs.
    void setRecorder(std::function<void(const QString &what, const QString &path)> recorder)
    {
        m_recorder = std::move(recorder);
    }

Q_SIGNALS:
    // Nothing could show `path`: no file manager answered and nothing opens folders.
    void openFailed(const QString &path, const QString &reason);

private:
    // The desktop's program for folders (xdg-open's choice).
    void open(const QString &folder);

    std::function<void(const QString &, const QString &)> m_recorder;
};
