#pragma once
#include <QByteArray>

namespace quintelle::platform {

// The audio stream cues are played on: mono 16-bit samples at kPlaybackRate
// (sound.h). It is built into a module of its own, libquintelle_audio.so,
// which brings Qt Multimedia and the sound server's libraries with it; the
// program opens the module (platform/module.h) on a thread once its window
// is on the screen, when the sounds are on, instead of loading all of them
// before main() runs.
class PcmOutput {
  public:
    virtual ~PcmOutput() = default;
    // Plays `pcm` in place of whatever still sounds; empty silences.
    virtual void setCue(const QByteArray& pcm) = 0;
};

// The module's file, and its one entry point, `extern "C"`: a new output on
// the default audio device, owned by the caller.
inline constexpr char kAudioModuleFile[] = "libquintelle_audio.so";
using PcmOutputFactory = PcmOutput* (*)();
inline constexpr char kPcmOutputEntry[] = "quintelle_pcm_output";

}  // namespace quintelle::platform
