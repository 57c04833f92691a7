#pragma once
// The machine's font configuration, read ahead of the first text drawn.
#include <thread>

namespace quintelle::platform {

// A font configuration library's first-use set-up: reads every configuration
// file and loads the font caches.
using FontConfigurationReader = int (*)();

// The set-up of the library Qt's font database is built on here (fontconfig,
// already loaded with Qt Gui); null where there is none.
FontConfigurationReader fontConfigurationReader();

// Runs `read` on a thread of its own from construction on, so that the
// configuration is read while the application connects to the display rather
// than when the first text is drawn: a third of a bare window's start-up.
// wait() and the destructor return once it has run.
class FontConfigurationWarmUp {
  public:
    explicit FontConfigurationWarmUp(FontConfigurationReader read = fontConfigurationReader());
    ~FontConfigurationWarmUp();
    FontConfigurationWarmUp(const FontConfigurationWarmUp&) = delete;
    FontConfigurationWarmUp& operator=(const FontConfigurationWarmUp&) = delete;

    void wait();

  private:
    std::thread thread_;
};

}  // namespace quintelle::platform
