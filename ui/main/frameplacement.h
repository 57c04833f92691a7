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
    // From the window's show event: the frame may come now.
    void shown();

  private:
    void placeFrame();

    QWidget* window_;
    std::optional<QRect> pending_;  // outer bounds still to be given to the frame
    QMargins placedWith_;
    QTimer watch_;
    int checks_ = 0;
};

}  // namespace quintelle::ui
