// SPDX-License-Identifier: GPL-3.0-or-later
// Windows that open within the screen, at any scale.
#pragma once

#include <QSize>

class QWidget;

namespace WindowFit {

// Sizes `window` to `preferred`, or to as much of it as the screen's free
// area holds (a scale of 2, a small screen with a panel), with a minimum
// size no larger than that area either; then keepOnScreenWhenShown().
void fit(QWidget *window, QSize preferred, QSize minimum = QSize());

// When the window is first shown (its frame known by then), keepOnScreen();
// where the user moves it later is left alone.
void keepOnScreenWhenShown(QWidget *window);

// The whole of a shown window, title bar included, moved and shrunk (down
// to its minimum size) into its screen's free area.
void keepOnScreen(QWidget *window);

} // namespace WindowFit
