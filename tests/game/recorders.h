#pragma once
// Stand-ins for the world the controller reaches: a board that keeps the
// state of every control, and one list of the requests that leave the board
// (cues, the clock, the tally), in the order they were made.
#include <algorithm>
#include <deque>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "game/controller.h"
#include "game/ports.h"
#include "game/random.h"

namespace quintelle::testing {

using Requests = std::vector<std::string>;

// What the board shows, by control name.
struct Board {
    std::map<std::string, std::string, std::less<>> texts{{"edit_name", "Guest"}};
    std::map<std::string, bool, std::less<>> visible;
    std::map<std::string, int, std::less<>> tags, pictures, widths;
    friend bool operator==(const Board&, const Board&) = default;
};

class BoardView : public GameView {
  public:
    void setText(Control c, std::string_view t) override { board.texts[key(c)] = t; }
    std::string text(Control c) const override { return get(board.texts, c, std::string()); }
    void show(Control c) override { board.visible[key(c)] = true; }
    void hide(Control c) override { board.visible[key(c)] = false; }
    void clearPicture(Control c) override { board.pictures[key(c)] = -1; }
    void drawCard(Control c, int picture) override { board.pictures[key(c)] = picture; }
    void setTag(Control c, int t) override { board.tags[key(c)] = t; }
    int tag(Control c) const override { return get(board.tags, c, 0); }
    void setWidth(Control c, int w) override { board.widths[key(c)] = w; }

    std::string text(const std::string& c) const { return text(Control(c)); }
    int tag(const std::string& c) const { return tag(Control(c)); }
    bool isVisible(const std::string& c) const { return get(board.visible, Control(c), false); }
    int picture(const std::string& c) const { return get(board.pictures, Control(c), -1); }
    int width(const std::string& c) const { return get(board.widths, Control(c), -1); }

    Board board;

  private:
    static std::string key(Control c) { return std::string(c.name()); }
    template <class Map, class Value>
    static Value get(const Map& map, Control c, Value otherwise) {
        auto it = map.find(c.name());
        return it == map.end() ? otherwise : it->second;
    }
};

class RecordingSound : public SoundSink {
  public:
    explicit RecordingSound(Requests& requests) : requests_(requests) {}
    void playsounds(std::string_view cue) override {
        requests_.push_back("cue " + std::string(cue));
    }

  private:
    Requests& requests_;
};

class RecordingClock : public RoundClock {
  public:
    explicit RecordingClock(Requests& requests) : requests_(requests) {}
    void start() override { requests_.push_back("clock start"); }
    void stop() override { requests_.push_back("clock stop"); }

  private:
    Requests& requests_;
};

class RecordingTally : public TallySink {
  public:
    explicit RecordingTally(Requests& requests) : requests_(requests) {}
    void addtomineincrease(int index) override {
        requests_.push_back("tally increase " + std::to_string(index));
    }
    bool checkscore(int score, const std::string& name) override {
        requests_.push_back("tally checkscore " + std::to_string(score) + " " + name);
        return true;
    }

  private:
    Requests& requests_;
};

// Answers the draws of a shuffle so that the deal comes out in a chosen
// order: for each code in turn it names the position the code must take.
// Any other draw (the praise line) takes the next queued value or 0.
class ScriptedRandom : public Random {
  public:
    void deal(const std::vector<int>& first) {
        std::vector<int> order = first;
        for (int code = 1; code <= 52; ++code)
            if (std::find(order.begin(), order.end(), code) == order.end()) order.push_back(code);
        if (order.size() != 52) throw std::logic_error("deal needs distinct codes");
        std::vector<std::uint32_t> positionOf(53);
        for (std::size_t p = 0; p < order.size(); ++p)
            positionOf[order[p]] = static_cast<std::uint32_t>(p);
        for (int code = 1; code <= 52; ++code) draws_.push_back(positionOf[code]);
    }
    void queue(std::uint32_t value) { draws_.push_back(value); }

    std::uint32_t below(std::uint32_t n) override {
        if (draws_.empty()) return 0;
        const std::uint32_t v = draws_.front();
        draws_.pop_front();
        if (v >= n) throw std::logic_error("scripted draw out of range");
        return v;
    }

  private:
    std::deque<std::uint32_t> draws_;
};

// A controller wired to the stand-ins above.
struct RecordedGame {
    Requests requests;
    BoardView view;
    RecordingSound sound{requests};
    RecordingClock clock{requests};
    RecordingTally tally{requests};
    ScriptedRandom random;
    GameController game{view, sound, clock, tally, random};
};

}  // namespace quintelle::testing
