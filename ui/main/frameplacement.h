#pragma once
// Puts a window's frame, decorations included, on given outer bounds: what
// the settings file holds and "Reset Screen Location" sets. The window
// manager tells the frame's size only after the window is shown, so the
// placement is done again for a short while until the frame is known.
#include <QMargins>
#include <QObject>
#include <QRect>
#include <QTimer>
#include <optional>

class QWidget;

namespace quintelle::ui {

class FramePlacement : public QObject {
  public:
    explicit FramePlacement(QWidget* window);

    // The window's outer bounds now.
    QRect outerBounds() const;
    void place(const QRect& outer);
    // Puts the frame's corner at `frameTopLeft` and gives the window `size`
    // inside its frame, whatever frame the window manager adds.
    void placeWindow(QPoint frameTopLeft, QSize size);
    // From the window's show event: the frame may come now.
    void shown();

  private:
    void placeFrame();

    QWidget* window_;
    // The frame's corner and size still to be given: outer bounds, or a
    // window size inside a frame not known yet.
    struct Target {
        QPoint topLeft;
        QSize size;
        bool inside = false;
        QRect outer(const QMargins& frame) const;
    };
    void start(const Target& target);

    std::optional<Target> pending_;
    QMargins placedWith_;
    QTimer watch_;
    int checks_ = 0;
};

}  // namespace quintelle::ui
