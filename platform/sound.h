#pragma once
#include <QString>
#include <memory>

namespace quintelle::platform {

// What actually makes the noise. The real one plays through Qt Multimedia;
// tests record.
class SoundBackend {
  public:
    virtual ~SoundBackend() = default;
    // Starts the WAVE resource at `path` in the background.
    virtual void play(const QString& path) = 0;
    // Silences whatever is still sounding.
    virtual void stop() = 0;
};

// Plays the program's WAVE resources by cue name. One cue sounds at a time: a
// new cue cuts off the one before. The call returns at once and reports
// nothing; a missing sound device simply stays silent.
class SoundService {
  public:
    explicit SoundService(std::unique_ptr<SoundBackend> backend);

    void play(const QString& cue);

    // The resource path of a cue, matched without regard to case; empty when
    // the program carries no sound of that name.
    static QString resourceFor(const QString& cue);

  private:
    std::unique_ptr<SoundBackend> backend_;
};

// The program's sound service, created on first use with the Qt Multimedia
// backend unless a backend was installed first (tests do).
SoundService& sounds();
void installSoundBackend(std::unique_ptr<SoundBackend> backend);

}  // namespace quintelle::platform
