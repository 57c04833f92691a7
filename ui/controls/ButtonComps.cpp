#include "ui/controls/ButtonComps.h"

#include <QApplication>
#include <QEnterEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QPointer>

#include "ui/controls/accessiblebutton.h"

TSelButton::TSelButton(QWidget* parent)
    : QWidget(parent),
      color_(QApplication::palette().color(QPalette::Button)),
      captionColor_(fontColor_) {
    setFocusPolicy(Qt::TabFocus);
    registerButtonAccessibility();
    setFont(QFont(QStringLiteral("Arial"), 8));
    resize(105, 20);
    caption_ = objectName();
    connect(this, &QObject::objectNameChanged, this, [this](const QString& name) {
        if (!captionSet_) {
            caption_ = name;
            redrawAtRest();
        }
    });
}

void TSelButton::setCaption(const QString& caption) {
    caption_ = caption;
    captionSet_ = true;
    redrawAtRest();
}

void TSelButton::setColor(const QColor& color) {
    color_ = color;
    redrawAtRest();
}

void TSelButton::setColorBorder(const QColor& color) {
    colorBorder_ = color;
    redrawAtRest();
}

void TSelButton::setAlignment(Qt::Alignment alignment) {
    alignment_ = alignment & Qt::AlignHorizontal_Mask;
    redrawAtRest();
}

void TSelButton::setBorderWidth(int width) {
    borderWidth_ = qMax(0, width);
    redrawAtRest();
}

void TSelButton::setFontColor(const QColor& color) {
    fontColor_ = color;
    redrawAtRest();
}

void TSelButton::redrawAtRest() {
    setLook(Look::Rest);
}

void TSelButton::setLook(Look look) {
    switch (look) {
        case Look::Rest:
            captionColor_ = fontColor_;
            break;
        case Look::Hover:
            captionColor_ = colorOverCaption_;
            break;
        case Look::Pressed:
            break;
    }
    look_ = look;
    update();
}

void TSelButton::paintEvent(QPaintEvent*) {
    const int w = width();
    const int h = height();
    const bool pressed = look_ == Look::Pressed;
    const QColor face = pressed ? colorDown_ : look_ == Look::Hover ? colorOver_ : color_;

    QPainter p(this);
    p.fillRect(QRect(1, 1, w - 2, h - 2), face);

    const QFontMetrics metrics(font());
    const int tw = metrics.horizontalAdvance(caption_);
    const int th = metrics.height();
    int x = 0;
    if (alignment_ & Qt::AlignRight)
        x = pressed ? w - tw - 7 : w - tw - 6;
    else if (alignment_ & Qt::AlignHCenter)
        x = w / 2 - tw / 2 + (pressed ? 1 : 0);
    else
        x = pressed ? 6 : 5;
    const int y = h / 2 - th / 2 + (pressed ? 1 : 0);

    p.setFont(font());
    p.setPen(captionColor_);
    p.setBackgroundMode(Qt::OpaqueMode);
    p.setBackground(face);
    p.drawText(QPoint(x, y + metrics.ascent()), caption_);

    for (int i = 0; i < borderWidth_ && 2 * i < w && 2 * i < h; ++i) {
        const int rw = w - 2 * i;
        const int rh = h - 2 * i;
        p.fillRect(i, i, rw, 1, colorBorder_);
        p.fillRect(i, h - i - 1, rw, 1, colorBorder_);
        p.fillRect(i, i, 1, rh, colorBorder_);
        p.fillRect(w - i - 1, i, 1, rh, colorBorder_);
    }
    focusRing_.paint(p, rect(), hasFocus());
}

void TSelButton::click() {
    setLook(Look::Rest);
    if (buttonEnabled_) emit clicked(this);
}

void TSelButton::keyPressEvent(QKeyEvent* event) {
    const bool presses = focusRing_.pressesButton(event);
    update();
    if (!presses) return QWidget::keyPressEvent(event);
    if (!event->isAutoRepeat()) click();
}

void TSelButton::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    focusRing_.focusIn(event);
    update();
}

void TSelButton::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    focusRing_.focusOut();
    update();
}

void TSelButton::enterEvent(QEnterEvent*) {
    if (buttonEnabled_) setLook(Look::Hover);
}

void TSelButton::leaveEvent(QEvent*) {
    setLook(Look::Rest);
}

void TSelButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    if (buttonEnabled_) {
        emit mouseDown(this);
        setLook(Look::Pressed);
    }
}

void TSelButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    const bool over = rect().contains(event->position().toPoint());
    // The click comes first, drawn at rest while its handlers run.
    if (over) {
        setLook(Look::Rest);
        if (buttonEnabled_) {
            const QPointer<TSelButton> alive(this);
            emit clicked(this);
            if (!alive)  // a click handler may delete the button
                return;
        }
    }
    if (buttonEnabled_) {
        emit mouseUp(this);
        // Qt delivers the leave notice of a held button only after the release,
        // so a release off the button goes straight back to rest.
        setLook(over ? Look::Hover : Look::Rest);
    }
}
