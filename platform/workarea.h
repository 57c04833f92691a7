#pragma once
#include <QRect>

class QScreen;

namespace quintelle::platform {

// The desktop work area (the screen less panels and task bars) of a screen,
// or of the primary screen when none is given.
QRect workArea(const QScreen* screen = nullptr);

}  // namespace quintelle::platform
