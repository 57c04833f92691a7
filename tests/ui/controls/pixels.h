#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRect>
#include <QWidget>

// What a widget shows, as plain 32-bit pixels.
inline QImage grabbed(QWidget* widget) {
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

inline QColor pixel(const QImage& image, int x, int y) {
    return QColor(image.pixel(x, y));
}

// Bounding box of the pixels of exactly this colour inside `area` (whole image
// when empty); an empty rect when there are none.
inline QRect boxOf(const QImage& image, const QColor& colour, QRect area = {}) {
    if (area.isEmpty()) area = image.rect();
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixel(x, y) == colour.rgb()) box |= QRect(x, y, 1, 1);
    return box;
}

// Text drawn without antialiasing has glyph pixels of exactly the pen colour.
inline QFont crispFont(const QString& family, int pointSize) {
    QFont font(family, pointSize);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}
