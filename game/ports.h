#pragma once
// The narrow interfaces through which the game core reaches the world. The
// main window implements them over its widgets; tests implement them with
// stand-ins that keep the board's state. Texts are bytes in the system's
// 8-bit encoding.
#include <string>
#include <string_view>

#include "game/controls.h"

namespace quintelle {

// The board, its controls named by the constants of game/controls.h.
class GameView {
  public:
    virtual ~GameView() = default;
    virtual void setText(Control control, std::string_view text) = 0;
    virtual std::string text(Control control) const = 0;
    // Showing a panel or picture also brings it to the front.
    virtual void show(Control control) = 0;
    virtual void hide(Control control) = 0;
    virtual void clearPicture(Control control) = 0;
    // Draws picture `picture` of the card image list (0 = back) at (0, 0).
    virtual void drawCard(Control control, int picture) = 0;
    virtual void setTag(Control control, int tag) = 0;
    virtual int tag(Control control) const = 0;
    virtual void setWidth(Control control, int width) = 0;
};

class SoundSink {
  public:
    virtual ~SoundSink() = default;
    virtual void playsounds(std::string_view cue) = 0;
};

// The one-second round clock; its ticks come back as GameController::tick().
class RoundClock {
  public:
    virtual ~RoundClock() = default;
    virtual void start() = 0;
    virtual void stop() = 0;
};

class TallySink {
  public:
    virtual ~TallySink() = default;
    virtual void addtomineincrease(int index) = 0;
    virtual bool checkscore(int score, const std::string& name) = 0;
};

}  // namespace quintelle
