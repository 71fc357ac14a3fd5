// Fit-to-screen placement of large windows.
//
// Width: a window wider than the screen takes the screen width (left 0),
// otherwise it is centred: left = (screen width - window width) / 2, rounded
// toward zero. Height: if the screen height is less than the window height
// plus 25 pixels the window goes to top 1 with height screen height - 25,
// otherwise top = (screen height - window height - 25) / 2, rounded toward
// zero. fitToScreen() is the pure rule; fitWindowToScreen() applies it to a
// window on its screen.
#pragma once

#include <QRect>
#include <QSize>

class QWidget;

namespace quen {

QRect fitToScreen(const QSize& screen, const QSize& window);
void fitWindowToScreen(QWidget* window);

} // namespace quen
