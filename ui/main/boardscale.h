#pragma once
// The board's one scale factor. The layout table is in design pixels; the
// board is shown at the largest scale at which it fits the window's area
// below the menu bar, centred there, and at scale 1 exactly as designed.
#include <QHash>
#include <QMargins>
#include <QObject>
#include <QRect>
#include <QSize>
#include <QTimer>
#include <vector>

class QWidget;

namespace quintelle::ui {

// The area below the menu bar that shows the board at scale 1.
inline constexpr QSize kDesignClient{676, 582};
// Below this the texts stop being legible; a work area too small even for it
// lowers it (see leastScale).
inline constexpr double kLegibleScale = 0.6;

// A design rectangle at `scale`: its size rounded as a picture drawn at that
// scale rounds its size, so a picture fills its control; its corner rounded
// down, so a control stays inside its parent.
QRect scaledRect(const QRect& design, double scale);
int scaledLength(int design, double scale);

// The scale at which the board fills `client` (width or height, whichever
// runs out first).
double fittingScale(QSize client);

// The window's area below the menu bar that shows the board at `scale`.
QSize clientFor(double scale);

// Room around the board a work area must leave for the window's menu bar
// and its frame, before the frame is known.
struct WindowAllowance {
    int menuBar = 0;
    QMargins frame;
};

// The least scale the window may shrink to: legible, unless even that does
// not fit in `workArea`.
double leastScale(const QRect& workArea, const WindowAllowance& allowance);

// The scale a first start (and "Reset Screen Location") shows: the largest
// whole or half step that fits in `workArea` with room to spare; on a work
// area too small for scale 1, the largest scale that fits.
double startingScale(const QRect& workArea, const WindowAllowance& allowance);

struct LayoutControl;

// Keeps the board built from the layout table at the scale its window's area
// gives it: every control's rectangle and font follow at once; pictures are
// drawn afresh once the size has settled, stretched until then.
class BoardScaler : public QObject {
  public:
    BoardScaler(QWidget* client, const std::vector<LayoutControl>& rows,
                const QHash<QString, QWidget*>& controls);

    double scale() const { return scale_; }
    // The game narrows a control (the clock's bar); `width` in design pixels.
    void setDesignWidth(QWidget* control, int width);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void fit(bool showing);
    void place(const LayoutControl& row, QWidget* w) const;
    void sharpen();

    QWidget* client_;
    const std::vector<LayoutControl>& rows_;
    const QHash<QString, QWidget*>& controls_;
    QHash<QWidget*, int> designWidths_;
    double scale_ = 1;
    QPoint origin_;
    QTimer settle_{this};  // "settle": the pictures' redraw once a resize rests
};

}  // namespace quintelle::ui
