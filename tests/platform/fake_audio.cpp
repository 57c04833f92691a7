// A stand-in for the audio module, for the sound service's tests: it takes
// QUINTELLE_TEST_AUDIO_LOAD_MS to load and writes the length of every cue it
// is given, one line each, to the file QUINTELLE_TEST_AUDIO_LOG.
#include <QByteArray>
#include <QFile>
#include <QtGlobal>
#include <chrono>
#include <thread>

#include "platform/pcmoutput.h"

namespace {

// Runs while the module is being opened, on the thread that opens it.
const bool slowLoad = [] {
    std::this_thread::sleep_for(
        std::chrono::milliseconds(qEnvironmentVariableIntValue("QUINTELLE_TEST_AUDIO_LOAD_MS")));
    return true;
}();

class CueLog : public quintelle::platform::PcmOutput {
  public:
    void setCue(const QByteArray& pcm) override {
        QFile log(qEnvironmentVariable("QUINTELLE_TEST_AUDIO_LOG"));
        if (log.open(QIODevice::Append)) log.write(QByteArray::number(pcm.size()) + '\n');
    }
};

}  // namespace

extern "C" Q_DECL_EXPORT quintelle::platform::PcmOutput* quintelle_pcm_output() {
    return new CueLog;
}
