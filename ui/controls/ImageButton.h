#pragma once

#include <QPixmap>
#include <QWidget>
#include <functional>

#include "ui/controls/focusring.h"

// A clickable picture: shows its pixmap stretched over the button, and the
// pressed pixmap (when there is one) while the left button is held on it.
// Pictures given as sources are drawn when first shown, at the pixel ratio
// they are shown at, so a button that is never seen costs no drawing.
// It takes the focus by tabbing (a click leaves the focus where it was), shows
// it with a ring, and presses on Space, Enter and Return.
class ImageButton : public QWidget {
    Q_OBJECT

  public:
    explicit ImageButton(QWidget* parent = nullptr);

    using Source = std::function<QPixmap(qreal dpr)>;

    // The pictures at the button's present pixel ratio and picture scale.
    QPixmap pixmap() const { return pixmap_.at(pictureRatio()); }
    void setPixmap(const QPixmap& pixmap);
    void setPixmapSource(Source source);

    QPixmap pressedPixmap() const { return pressedPixmap_.at(pictureRatio()); }

    // Pictures are drawn for a button shown at `scale` times its design
    // size; the button shows whatever it has drawn stretched to its size.
    void setPictureScale(qreal scale);
    void setPressedPixmap(const QPixmap& pixmap);
    void setPressedPixmapSource(Source source);

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
    qreal pictureRatio() const { return devicePixelRatioF() * pictureScale_; }

    // A picture drawn on first use and kept for the pixel ratio it was drawn at.
    class Picture {
      public:
        void set(Source source);
        bool isNull() const { return !source_; }
        QPixmap at(qreal dpr) const;

      private:
        Source source_;
        mutable QPixmap drawn_;
        mutable qreal dpr_ = 0;
    };

    Picture pixmap_;
    Picture pressedPixmap_;
    qreal pictureScale_ = 1;
    bool held_ = false;  // the left button went down on us and is still down
    bool down_ = false;  // held and the pointer is over the button
    FocusRing focusRing_;
};
