#include "ui/main/cueplayer.h"

#include "ui/main/widgets.h"

namespace quintelle::ui {

CuePlayer::CuePlayer(std::function<bool()> soundsOn, std::function<void()> refused)
    : soundsOn_(std::move(soundsOn)), refused_(std::move(refused)) {}

void CuePlayer::playsounds(std::string_view cue) {
    if (cue == "invalid") refused_();
    if (soundsOn_()) sounds_.play(fromLocalBytes(cue));
}

}  // namespace quintelle::ui
