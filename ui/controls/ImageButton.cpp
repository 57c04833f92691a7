#include "ui/controls/ImageButton.h"

#include <QMouseEvent>
#include <QPainter>

ImageButton::ImageButton(QWidget* parent) : QWidget(parent) {
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
}

void ImageButton::setPixmap(const QPixmap& pixmap) {
    pixmap_ = pixmap;
    updateGeometry();
    update();
}

void ImageButton::setPressedPixmap(const QPixmap& pixmap) {
    pressedPixmap_ = pixmap;
    update();
}

QSize ImageButton::sizeHint() const {
    return pixmap_.isNull() ? QSize() : pixmap_.deviceIndependentSize().toSize();
}

void ImageButton::setDown(bool down) {
    if (down_ == down) return;
    down_ = down;
    if (!pressedPixmap_.isNull()) update();
}

void ImageButton::paintEvent(QPaintEvent*) {
    const QPixmap& shown = down_ && !pressedPixmap_.isNull() ? pressedPixmap_ : pixmap_;
    if (!shown.isNull()) QPainter(this).drawPixmap(rect(), shown);
}

void ImageButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    held_ = true;
    setDown(true);
}

void ImageButton::mouseMoveEvent(QMouseEvent* event) {
    if (held_) setDown(rect().contains(event->position().toPoint()));
}

void ImageButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !held_) {
        event->ignore();
        return;
    }
    held_ = false;
    setDown(false);
    if (rect().contains(event->position().toPoint())) emit clicked();
}
