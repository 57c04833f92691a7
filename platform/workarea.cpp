#include "platform/workarea.h"

#include <QGuiApplication>
#include <QScreen>

namespace quintelle::platform {

QRect workArea(const QScreen* screen) {
    if (!screen) screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

}  // namespace quintelle::platform
