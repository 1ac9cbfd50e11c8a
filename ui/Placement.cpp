#include "ui/Placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

void CentreOnScreen(QWidget* window) {
    const QWidget* owner = window->parentWidget();
    QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    const QSize size = window->frameGeometry().size();
    const int x = area.x() + std::max(0, (area.width() - size.width()) / 2);
    const int y = area.y() + std::max(0, (area.height() - size.height()) / 2);
    window->move(x, y);
}
