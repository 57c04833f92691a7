#pragma once

#include <QPixmap>
#include <QWidget>

// A clickable picture: shows its pixmap stretched over the button, and the
// pressed pixmap (when there is one) while the left button is held on it.
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

  signals:
    void clicked();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    void setDown(bool down);

    QPixmap pixmap_;
    QPixmap pressedPixmap_;
    bool held_ = false;  // the left button went down on us and is still down
    bool down_ = false;  // held and the pointer is over the button
};
