#pragma once
// The game's sound cues, through the "Play Sounds" option.
#include <functional>

#include "game/ports.h"
#include "platform/sound.h"

namespace quintelle::ui {

class CuePlayer : public SoundSink {
  public:
    // `soundsOn` is the option; `refused` hears of the one refusal of the
    // game, which is otherwise only heard.
    CuePlayer(std::function<bool()> soundsOn, std::function<void()> refused);

    void playsounds(std::string_view cue) override;
    // Gets the audio output ready before the next cue wants it.
    void prepare() { sounds_.prepare(); }

  private:
    platform::SoundService sounds_;
    std::function<bool()> soundsOn_;
    std::function<void()> refused_;
};

}  // namespace quintelle::ui
