#pragma once
// Recording stand-ins for the board, the sound sink, the clock, the tally and
// the random source. Every call lands in one shared log, so tests can check
// the order of calls across all of them.
#include <algorithm>
#include <deque>
#include <map>
#include <numeric>
#include <stdexcept>
#include <string>
#include <vector>

#include "game/ports.h"
#include "game/random.h"

namespace quintelle::testing {

using Log = std::vector<std::string>;

class RecordingView : public GameView {
  public:
    explicit RecordingView(Log& log) : log_(log) { texts["edit_name"] = "Guest"; }

    void setText(std::string_view c, std::string_view t) override {
        texts[std::string(c)] = std::string(t);
        log_.push_back("text " + std::string(c) + "=" + std::string(t));
    }
    std::string text(std::string_view c) const override {
        auto it = texts.find(std::string(c));
        return it == texts.end() ? std::string() : it->second;
    }
    void show(std::string_view c) override {
        visible[std::string(c)] = true;
        log_.push_back("show " + std::string(c));
    }
    void hide(std::string_view c) override {
        visible[std::string(c)] = false;
        log_.push_back("hide " + std::string(c));
    }
    void clearPicture(std::string_view c) override {
        pictures[std::string(c)] = -1;
        log_.push_back("clear " + std::string(c));
    }
    void drawCard(std::string_view c, int picture) override {
        pictures[std::string(c)] = picture;
        log_.push_back("draw " + std::string(c) + "=" + std::to_string(picture));
    }
    void setTag(std::string_view c, int t) override {
        tags[std::string(c)] = t;
        log_.push_back("tag " + std::string(c) + "=" + std::to_string(t));
    }
    int tag(std::string_view c) const override {
        auto it = tags.find(std::string(c));
        return it == tags.end() ? 0 : it->second;
    }
    void setWidth(std::string_view c, int w) override {
        widths[std::string(c)] = w;
        log_.push_back("width " + std::string(c) + "=" + std::to_string(w));
    }

    bool isVisible(const std::string& c) const {
        auto it = visible.find(c);
        return it != visible.end() && it->second;
    }
    int picture(const std::string& c) const {
        auto it = pictures.find(c);
        return it == pictures.end() ? -1 : it->second;
    }

    std::map<std::string, std::string> texts;
    std::map<std::string, bool> visible;
    std::map<std::string, int> tags, pictures, widths;

  private:
    Log& log_;
};

class RecordingSound : public SoundSink {
  public:
    explicit RecordingSound(Log& log) : log_(log) {}
    void playsounds(std::string_view cue) override { log_.push_back("cue " + std::string(cue)); }

  private:
    Log& log_;
};

class RecordingClock : public RoundClock {
  public:
    explicit RecordingClock(Log& log) : log_(log) {}
    void start() override {
        running = true;
        log_.push_back("clock start");
    }
    void stop() override {
        running = false;
        log_.push_back("clock stop");
    }
    bool running = false;

  private:
    Log& log_;
};

class RecordingTally : public TallySink {
  public:
    explicit RecordingTally(Log& log) : log_(log) {}
    void addtomineincrease(int index) override {
        log_.push_back("tally increase " + std::to_string(index));
    }
    bool checkscore(int score, const std::string& name) override {
        log_.push_back("tally checkscore " + std::to_string(score) + " " + name);
        return true;
    }

  private:
    Log& log_;
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

}  // namespace quintelle::testing
