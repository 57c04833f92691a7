#pragma once

#include <QPixmap>
#include <QWidget>

#include "ui/controls/focusring.h"

// A clickable picture: shows its pixmap stretched over the button, and the
// pressed pixmap (when there is one) while the left button is held on it.
// It takes the focus by tabbing (a click leaves the focus where it was), shows
// it with a ring, and presses on Space, Enter and Return.
class ImageButton : public QWidget {
    Q_OBJECT

  public:
    explicit ImageButton(QWidget* parent = nullptr);

    QPixmap pixmap() const { return pixmap_; }
    void setPixmap(const QPixmap& pixmap);

    QPixmap pressedPixmap() const { return pressedPixmap_; }
    void setPressedPixmap(const QPixmap& pixmap);

    bool isDown() const { return down_; }

    QSize sizeHint() const override;

    // Presses the button as a click would.
    void click();

  signals:
    void clicked();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    void setDown(bool down);

    QPixmap pixmap_;
    QPixmap pressedPixmap_;
    bool held_ = false;  // the left button went down on us and is still down
    bool down_ = false;  // held and the pointer is over the button
    FocusRing focusRing_;
};
