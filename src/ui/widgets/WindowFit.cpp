// SPDX-License-Identifier: GPL-3.0-or-later
// Fitting windows to the screen's free area.
#include "ui/widgets/WindowFit.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <algorithm>

namespace WindowFit {

namespace {

// A title bar and a frame, before the window manager has said how large.
constexpr int decorationGuess = 40;

QSize freeArea(const QWidget *window)
{
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return QSize(1024, 768);
    return screen->availableGeometry().size() - QSize(0, decorationGuess);
}

// Fits the window once it is first shown, when its frame is known.
class ShowWatch : public QObject
{
public:
    explicit ShowWatch(QWidget *window)
        : QObject(window)
    {
        window->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show) {
            watched->removeEventFilter(this);
            QPointer<QWidget> window = static_cast<QWidget *>(watched);
            // The frame comes from the window manager a moment after the show.
            for (const int delay : {0, 300})
                QTimer::singleShot(delay, this, [window] {
                    if (window)
                        keepOnScreen(window);
                });
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

void fit(QWidget *window, QSize preferred, QSize minimum)
{
    const QSize area = freeArea(window);
    if (minimum.isValid())
        window->setMinimumSize(minimum.boundedTo(area));
    window->resize(preferred.boundedTo(area).expandedTo(window->minimumSize()));
    keepOnScreenWhenShown(window);
}

void keepOnScreenWhenShown(QWidget *window)
{
    new ShowWatch(window);
}

void keepOnScreen(QWidget *window)
{
    const QScreen *where = window->screen();
    if (!where || !window->isVisible() || window->isMaximized() || window->isFullScreen())
        return;
    const QRect available = where->availableGeometry();
    const QRect frame = window->frameGeometry();
    const QSize decoration = frame.size() - window->size();
    const QSize fits = window->size().boundedTo(available.size() - decoration).expandedTo(window->minimumSize());
    if (fits != window->size())
        window->resize(fits);
    const QRect now = window->frameGeometry();
    if (!available.contains(now))
        window->move(
            std::clamp(now.x(), available.left(), std::max(available.left(), available.right() - now.width())),
            std::clamp(now.y(), available.top(), std::max(available.top(), available.bottom() - now.height())));
}

} // namespace WindowFit
