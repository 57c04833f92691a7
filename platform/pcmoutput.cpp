// The audio stream (see pcmoutput.h).
#include "platform/pcmoutput.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QIODevice>
#include <QMediaDevices>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/processend.h"
#include "platform/sound.h"

namespace quintelle::platform {
namespace {

// The samples of the cue now playing, then silence, for as long as the audio
// stream pulls. Used on the sound thread only.
class CueSource : public QIODevice {
  public:
    explicit CueSource(QObject* parent) : QIODevice(parent) { open(QIODevice::ReadOnly); }

    void setCue(const QByteArray& pcm) {
        cue_ = pcm;
        at_ = 0;
    }
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return kChunk + QIODevice::bytesAvailable(); }

  protected:
    qint64 readData(char* data, qint64 max) override {
        max &= ~qint64(1);  // whole samples
        const qint64 sound = std::min(max, qint64(cue_.size()) - at_);
        if (sound > 0) {
            std::memcpy(data, cue_.constData() + at_, size_t(sound));
            at_ += sound;
        }
        std::memset(data + std::max<qint64>(sound, 0), 0, size_t(max - std::max<qint64>(sound, 0)));
        return max;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

  private:
    static constexpr qint64 kChunk = 4096;
    QByteArray cue_;
    qint64 at_ = 0;
};

// The audio stream and the samples it reads, living on the sound thread,
// where the default device is also looked up: a sound server that accepts
// the connection and never answers holds up that thread, not the window.
//
// An open stream costs the program and the sound server processor time and
// keeps the sound device awake, even paused: the server still mixes for it
// at the short latency it asked for. So once no cue has sounded for a while
// the stream is closed, and the next cue opens a new one, on the sound
// server's connection that stays open: a few milliseconds.
class Stream : public QObject {
  public:
    Stream() : source_(new CueSource(this)), rest_(new QTimer(this)) {
        rest_->setSingleShot(true);
        connect(rest_, &QTimer::timeout, this, &Stream::close);
    }
    ~Stream() override { close(); }

    // Plays `pcm` in place of whatever still sounds; empty silences. Without
    // a sound device there is nothing to play on; asking anyway would only
    // fill the console with complaints. The device is looked for again at
    // the next cue, but Qt Multimedia connects to the sound server once per
    // run: a server started after the first cue is heard from the next start.
    void setCue(const QByteArray& pcm) {
        if (!sink_ && (pcm.isEmpty() || !open())) return;
        source_->setCue(pcm);
        if (pcm.isEmpty()) return;
        const qint64 cueMs = qint64(pcm.size()) / 2 * 1000 / kPlaybackRate;
        rest_->start(int(cueMs + kRestAfterMs));
    }

  private:
    // How long the stream stays open after a cue has ended: a round's cues
    // come faster than this, a player thinking over a card does not.
    static constexpr qint64 kRestAfterMs = 4000;

    bool open() {
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        if (device.isNull()) return false;
        QAudioFormat format;
        format.setSampleRate(kPlaybackRate);
        format.setChannelCount(1);
        format.setSampleFormat(QAudioFormat::Int16);
        sink_ = new QAudioSink(device, format, this);
        // 100 ms: a quick cut-off, and room for the stream's pre-buffering
        // plus a whole period, or the stream never starts.
        sink_->setBufferSize(kPlaybackRate * 2 / 10);
        sink_->start(source_);
        return true;
    }

    void close() {
        if (!sink_) return;
        sink_->stop();
        delete sink_;
        sink_ = nullptr;
    }

    CueSource* source_;
    QTimer* rest_;  // runs from each cue until the stream is closed
    QAudioSink* sink_ = nullptr;
};

// One audio stream at a time, opened at the first cue and fed from
// memory on a thread of its own: a new cue replaces the samples the stream
// reads, which cuts the one before off within the stream's short buffer,
// and a busy window never starves it. Streams are not stopped and started
// per cue: the audio system drains a stopped stream first and, asked often,
// falls silent; only a stream left without cues for seconds is closed.
// Nothing is created per cue, so a thousand cues in a row cost what one
// does; the window's thread only hands the samples over.
class AudioOutput : public PcmOutput {
  public:
    AudioOutput() : thread_(std::make_unique<QThread>()) {
        thread_->setObjectName(QStringLiteral("sound"));
    }
    ~AudioOutput() override {
        if (!stream_) return;
        // The stream closes on its thread, which then ends. A sound server
        // that never answered still holds the thread in its device lookup;
        // the process is ending, so the thread is left to it, kept reachable,
        // as destroying a running thread aborts. Exit's teardown would wait
        // for it for ever (Qt Multimedia's globals are locked by it), so the
        // process ends without that teardown.
        QMetaObject::invokeMethod(stream_, [s = stream_] {
            delete s;
            QThread::currentThread()->quit();
        });
        if (!thread_->wait(kCloseWaitMs)) {
            static std::vector<QThread*> heldUp;
            heldUp.push_back(thread_.release());
            static const WorkInFlight stillRunning;
        }
    }

    void setCue(const QByteArray& pcm) override {
        if (!stream_) {
            if (pcm.isEmpty()) return;
            stream_ = new Stream;
            stream_->moveToThread(thread_.get());
            thread_->start();
        }
        QMetaObject::invokeMethod(stream_, [s = stream_, pcm] { s->setCue(pcm); });
    }

  private:
    static constexpr unsigned long kCloseWaitMs = 2000;
    std::unique_ptr<QThread> thread_;
    Stream* stream_ = nullptr;  // lives and dies on thread_
};

}  // namespace

std::unique_ptr<PcmOutput> openPcmOutput() {
    return std::make_unique<AudioOutput>();
}

}  // namespace quintelle::platform
