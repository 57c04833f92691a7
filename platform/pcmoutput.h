#pragma once
#include <QByteArray>
#include <memory>

namespace quintelle::platform {

// The audio stream cues are played on: mono 16-bit samples at kPlaybackRate
// (sound.h), on the default audio output.
class PcmOutput {
  public:
    virtual ~PcmOutput() = default;
    // Plays `pcm` in place of whatever still sounds; empty silences.
    virtual void setCue(const QByteArray& pcm) = 0;
};

// A new output on the default audio device.
std::unique_ptr<PcmOutput> openPcmOutput();

}  // namespace quintelle::platform
