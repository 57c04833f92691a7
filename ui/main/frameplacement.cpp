#include "ui/main/frameplacement.h"

#include <QWidget>
#include <QWindow>

namespace quintelle::ui {

FramePlacement::FramePlacement(QWidget* window) : QObject(window), window_(window) {
    watch_.setInterval(25);
    connect(&watch_, &QTimer::timeout, this, &FramePlacement::placeFrame);
}

QRect FramePlacement::outerBounds() const {
    const QWindow* handle = window_->windowHandle();
    return window_->geometry().marginsAdded(handle ? handle->frameMargins() : QMargins());
}

QRect FramePlacement::Target::outer(const QMargins& frame) const {
    return QRect(topLeft, inside ? size.grownBy(frame) : size);
}

void FramePlacement::place(const QRect& outer) {
    start({outer.topLeft(), outer.size()});
}

void FramePlacement::placeWindow(QPoint frameTopLeft, QSize size) {
    start({frameTopLeft, size, true});
}

void FramePlacement::start(const Target& target) {
    pending_ = target;
    placedWith_ = QMargins(-1, -1, -1, -1);
    checks_ = 0;
    placeFrame();
    if (window_->isVisible()) watch_.start();
}

void FramePlacement::shown() {
    if (!pending_) return;
    checks_ = 0;
    placeFrame();
    watch_.start();
}

// Gives the window the client geometry that puts its frame on the pending
// outer bounds, with the frame as it is known now.
void FramePlacement::placeFrame() {
    if (!pending_) return watch_.stop();
    const QWindow* handle = window_->windowHandle();
    const QMargins margins = handle ? handle->frameMargins() : QMargins();
    if (margins != placedWith_) {
        placedWith_ = margins;
        window_->setGeometry(pending_->outer(margins).marginsRemoved(margins));
    }
    if (!window_->isVisible()) {
        // Asked before the first showing, the window manager places the
        // frame itself at the position, so the window opens where it
        // belongs; its size follows once the frame is known.
        window_->winId();
        window_->windowHandle()->setFramePosition(pending_->topLeft);
        return;
    }
    // A window manager frames a new window within moments; without one the
    // margins stay empty and the first placement was already right.
    if (!margins.isNull() || ++checks_ > 120) {
        watch_.stop();
        pending_.reset();
    }
}

}  // namespace quintelle::ui
