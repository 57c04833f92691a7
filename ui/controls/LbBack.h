#pragma once

#include <QImage>
#include <QObject>
#include <QPointer>
#include <functional>

class QPainter;
class QWidget;

// A window's paint notification: one replaceable handler, run on every paint of the
// window after Qt has erased it with its background colour and before the window's
// own paintEvent and its child widgets. A window may set its handler at any time;
// a component that takes the notification over keeps the previous one and chains it.
using PaintHandler = std::function<void(QWidget* sender, QPainter& painter)>;

PaintHandler paintHandler(QWidget* window);
void setPaintHandler(QWidget* window, PaintHandler handler);

// Repeats a tile over the whole of its owner window, then passes the paint
// notification on to the handler the window had before.
class TLbBackground : public QObject {
    Q_OBJECT
    Q_PROPERTY(QImage Image READ image WRITE setImage)
    Q_PROPERTY(bool Enabled READ enabled WRITE setEnabled)

  public:
    explicit TLbBackground(QWidget* owner);
    ~TLbBackground() override;

    QWidget* owner() const { return owner_; }

    const QImage& image() const { return image_; }
    void setImage(const QImage& tile);

    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled);

    // Takes over the owner's paint notification; call once the window is set up.
    void Loaded();

  private:
    void paintTiles(QWidget* sender, QPainter& painter) const;

    QWidget* owner_;
    QImage image_;
    bool enabled_ = false;
    bool loaded_ = false;
    PaintHandler previous_;
    QPointer<QObject> hook_;  // the owner's paint notification while it exists
};
