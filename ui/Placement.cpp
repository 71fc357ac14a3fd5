#include "Placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace quen {

QRect fitToScreen(const QSize& screen, const QSize& window)
{
    int left, top, width = window.width(), height = window.height();
    if (width > screen.width()) {
        width = screen.width();
        left = 0;
    } else {
        left = (screen.width() - width) / 2;
    }
    if (screen.height() < height + 25) {
        top = 1;
        height = screen.height() - 25;
    } else {
        top = (screen.height() - height - 25) / 2;
    }
    return QRect(left, top, width, height);
}

void fitWindowToScreen(QWidget* window)
{
    if (!window) return;
    QScreen* s = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!s) return;
    const QRect sg = s->geometry();
    const QRect r = fitToScreen(sg.size(), window->size());
    window->resize(r.size());
    window->move(sg.topLeft() + r.topLeft());
}

} // namespace quen
