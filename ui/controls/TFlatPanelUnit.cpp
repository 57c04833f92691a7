#include "ui/controls/TFlatPanelUnit.h"

#include <QEvent>
#include <QPainter>
#include <QPalette>
#include <QPixmap>

TFlatPanel::TFlatPanel(QWidget* parent) : QWidget(parent) {
    resize(185, 41);
}

void TFlatPanel::setColorHighLight(const QColor& color) {
    colorHighLight_ = color;
    update();
}

void TFlatPanel::setColorShadow(const QColor& color) {
    colorShadow_ = color;
    update();
}

void TFlatPanel::setTransparent(bool transparent) {
    transparent_ = transparent;
    update();
}

QColor TFlatPanel::color() const {
    return palette().color(QPalette::Window);
}

void TFlatPanel::setColor(const QColor& color) {
    QPalette p = palette();
    p.setColor(QPalette::Window, color);
    setPalette(p);
    update();
}

QColor TFlatPanel::fontColor() const {
    return palette().color(QPalette::WindowText);
}

void TFlatPanel::setFontColor(const QColor& color) {
    QPalette p = palette();
    p.setColor(QPalette::WindowText, color);
    setPalette(p);
    update();
}

void TFlatPanel::setCaption(const QString& caption) {
    caption_ = caption;
    update();
}

void TFlatPanel::setAlignment(Qt::Alignment alignment) {
    alignment_ = alignment & Qt::AlignHorizontal_Mask;
    update();
}

void TFlatPanel::changeEvent(QEvent* event) {
    switch (event->type()) {
        case QEvent::EnabledChange:
        case QEvent::FontChange:
        case QEvent::PaletteChange:
            update();
            break;
        default:
            break;
    }
    QWidget::changeEvent(event);
}

void TFlatPanel::paintEvent(QPaintEvent*) {
    const int w = width();
    const int h = height();
    if (w <= 0 || h <= 0) return;

    // Frame and caption are composed off screen and reach the panel in one copy.
    // A transparent panel leaves the bitmap clear instead of rendering its parent
    // into it: Qt composes every child widget over its parent's finished painting
    // inside the window's back buffer, so the clear pixels show exactly what the
    // parent shows here (its colour, tiles, labels, pictures, and through any
    // depth of transparent panels), without painting the parent a second time.
    auto frame = [&](QPainter& p) {
        p.fillRect(0, 0, 1, h, colorHighLight_);
        p.fillRect(0, 0, w, 1, colorHighLight_);
        p.fillRect(w - 1, 0, 1, h, colorShadow_);
        p.fillRect(0, h - 1, w, 1, colorShadow_);
    };
    // A panel without a caption is only its frame on a clear or solid ground:
    // drawn straight onto the panel it gives the same pixels without a
    // panel-sized bitmap at every paint.
    if (caption_.isEmpty() && colorHighLight_.alpha() == 255 && colorShadow_.alpha() == 255 &&
        (transparent_ || color().alpha() == 255)) {
        QPainter p(this);
        if (!transparent_) p.fillRect(rect(), color());
        frame(p);
        return;
    }

    const qreal dpr = devicePixelRatioF();
    QPixmap bitmap(QSize(w, h) * dpr);
    bitmap.setDevicePixelRatio(dpr);
    bitmap.fill(transparent_ ? QColor(Qt::transparent) : color());

    QPainter p(&bitmap);
    frame(p);

    if (!caption_.isEmpty()) {
        const QRect box = QRect(0, 0, w, h).adjusted(1, 1, -1, -1);
        const int flags =
            int(alignment_) | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextShowMnemonic;
        p.setFont(font());
        p.setBackgroundMode(Qt::TransparentMode);
        if (isEnabled()) {
            p.setPen(fontColor());
            p.drawText(box, flags, caption_);
        } else {
            p.setPen(palette().color(QPalette::Light));
            p.drawText(box.translated(1, 1), flags, caption_);
            p.setPen(palette().color(QPalette::Dark));
            p.drawText(box, flags, caption_);
        }
    }
    p.end();

    QPainter(this).drawPixmap(0, 0, bitmap);
}
