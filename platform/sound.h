#pragma once
#include <QByteArray>
#include <QString>
#include <memory>

namespace quintelle::platform {

// What actually makes the noise. The real one plays on the default audio
// output; tests record.
class SoundBackend {
  public:
    virtual ~SoundBackend() = default;
    // Starts the WAVE resource at `path` in the background.
    virtual void play(const QString& path) = 0;
    // Silences whatever is still sounding.
    virtual void stop() = 0;
    // Gets ready in the background, so the first cue does not wait.
    virtual void prepare() {}
};

// Plays the program's WAVE resources by cue name. One cue sounds at a time: a
// new cue cuts off the one before. The call returns at once and reports
// nothing; a missing sound device simply stays silent.
//
// The service belongs to the window that plays the cues and goes with it,
// while the application object still exists: audio streams torn down after
// that crash or hang the program on its way out.
class SoundService {
  public:
    // With the backend tests installed, if any; otherwise the audio output.
    SoundService();
    explicit SoundService(std::shared_ptr<SoundBackend> backend);

    void play(const QString& cue);
    // Starts getting the audio output ready in the background: for a window
    // whose player has the sounds on. Without it the first cue gets it ready.
    void prepare();

    // The resource path of a cue, matched without regard to case; empty when
    // the program carries no sound of that name.
    static QString resourceFor(const QString& cue);

  private:
    std::shared_ptr<SoundBackend> backend_;
};

// Makes every SoundService created afterwards use `backend` (tests and tools
// that must stay quiet or record); nullptr restores the audio output.
void installSoundBackend(std::shared_ptr<SoundBackend> backend);

// The format cues are played in, whatever their own: one stream format
// serves every cue, so one audio stream serves the whole run.
constexpr int kPlaybackRate = 44100;
// A RIFF WAVE file's PCM (8- or 16-bit, mono or stereo, any rate) as mono
// 16-bit little-endian samples at kPlaybackRate; empty when the file is not
// such a WAVE file.
QByteArray playbackPcm(const QByteArray& riff);

}  // namespace quintelle::platform
