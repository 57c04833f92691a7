#include "ui/controls/ImageButton.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "ui/controls/accessiblebutton.h"

ImageButton::ImageButton(QWidget* parent) : QWidget(parent) {
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    registerButtonAccessibility();
}

void ImageButton::click() {
    emit clicked();
}

void ImageButton::Picture::set(Source source) {
    source_ = std::move(source);
    drawn_ = QPixmap();
    dpr_ = 0;
}

QPixmap ImageButton::Picture::at(qreal dpr) const {
    if (!source_) return {};
    if (dpr_ != dpr) {
        drawn_ = source_(dpr);
        dpr_ = dpr;
    }
    return drawn_;
}

void ImageButton::setPixmap(const QPixmap& pixmap) {
    setPixmapSource(pixmap.isNull() ? Source() : Source([pixmap](qreal) { return pixmap; }));
}

void ImageButton::setPixmapSource(Source source) {
    pixmap_.set(std::move(source));
    updateGeometry();
    update();
}

void ImageButton::setPressedPixmap(const QPixmap& pixmap) {
    setPressedPixmapSource(pixmap.isNull() ? Source() : Source([pixmap](qreal) { return pixmap; }));
}

void ImageButton::setPressedPixmapSource(Source source) {
    pressedPixmap_.set(std::move(source));
    update();
}

void ImageButton::setPictureScale(qreal scale) {
    if (scale == pictureScale_) return;
    pictureScale_ = scale;
    update();
}

QSize ImageButton::sizeHint() const {
    return pixmap_.isNull() ? QSize()
                           : (pixmap().deviceIndependentSize() * pictureScale_).toSize();
}

void ImageButton::setDown(bool down) {
    if (down_ == down) return;
    down_ = down;
    if (!pressedPixmap_.isNull()) update();
}

void ImageButton::paintEvent(QPaintEvent*) {
    const QPixmap shown = down_ && !pressedPixmap_.isNull() ? pressedPixmap() : pixmap();
    QPainter p(this);
    if (!shown.isNull()) p.drawPixmap(rect(), shown);
    focusRing_.paint(p, rect(), hasFocus());
}

void ImageButton::keyPressEvent(QKeyEvent* event) {
    const bool presses = focusRing_.pressesButton(event);
    update();
    if (!presses) return QWidget::keyPressEvent(event);
    if (!event->isAutoRepeat()) click();
}

void ImageButton::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    focusRing_.focusIn(event);
    update();
}

void ImageButton::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    focusRing_.focusOut();
    update();
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
