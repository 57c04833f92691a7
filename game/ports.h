#pragma once
// The narrow interfaces through which the game core reaches the world. The
// main window implements them over its widgets; tests implement them with
// recorders. Texts are bytes in the system's 8-bit encoding.
#include <string>
#include <string_view>

namespace quintelle {

// The board, addressed by control names ("image_card23", "label_line7", ...).
class GameView {
  public:
    virtual ~GameView() = default;
    virtual void setText(std::string_view control, std::string_view text) = 0;
    virtual std::string text(std::string_view control) const = 0;
    // Showing a panel or picture also brings it to the front.
    virtual void show(std::string_view control) = 0;
    virtual void hide(std::string_view control) = 0;
    virtual void clearPicture(std::string_view control) = 0;
    // Draws picture `picture` of the card image list (0 = back) at (0, 0).
    virtual void drawCard(std::string_view control, int picture) = 0;
    virtual void setTag(std::string_view control, int tag) = 0;
    virtual int tag(std::string_view control) const = 0;
    virtual void setWidth(std::string_view control, int width) = 0;
};

class SoundSink {
  public:
    virtual ~SoundSink() = default;
    virtual void playsounds(std::string_view cue) = 0;
};

// The one-second round clock; its ticks come back as turntimeTimer().
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
