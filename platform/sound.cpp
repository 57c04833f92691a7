#include "platform/sound.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QMediaDevices>
#include <QThread>
#include <algorithm>
#include <cstring>
#include <vector>

namespace quintelle::platform {
namespace {

constexpr auto kSoundFolder = ":/sounds";

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

// The audio stream and the samples it reads, living on the sound thread.
class Stream : public QObject {
  public:
    Stream() : source_(new CueSource(this)) {}
    ~Stream() override {
        if (sink_) sink_->stop();
    }

    void open(const QAudioDevice& device) {
        QAudioFormat format;
        format.setSampleRate(kPlaybackRate);
        format.setChannelCount(1);
        format.setSampleFormat(QAudioFormat::Int16);
        sink_ = new QAudioSink(device, format, this);
        // 100 ms: a quick cut-off, and room for the stream's pre-buffering
        // plus a whole period, or the stream never starts.
        sink_->setBufferSize(kPlaybackRate * 2 / 10);
        sink_->start(source_);
    }
    void setCue(const QByteArray& pcm) { source_->setCue(pcm); }

  private:
    CueSource* source_;
    QAudioSink* sink_ = nullptr;
};

// One audio stream for the whole run, opened at the first cue and fed from
// memory on a thread of its own: a new cue replaces the samples the stream
// reads, which cuts the one before off within the stream's short buffer,
// and a busy window never starves it. Streams are not stopped and started
// per cue: the audio system drains a stopped stream first and, asked often,
// falls silent. Nothing is created per cue, so a thousand cues cost what
// one does.
class AudioOutput : public SoundBackend {
  public:
    AudioOutput() { thread_.setObjectName(QStringLiteral("sound")); }
    ~AudioOutput() override {
        if (!stream_) return;
        QMetaObject::invokeMethod(
            stream_, [s = stream_] { delete s; }, Qt::BlockingQueuedConnection);
        thread_.quit();
        thread_.wait();
    }

    void play(const QString& path) override {
        const QByteArray pcm = samplesOf(path);
        if (pcm.isEmpty() || !openStream()) return;
        QMetaObject::invokeMethod(stream_, [s = stream_, pcm] { s->setCue(pcm); });
    }

    void stop() override {
        if (stream_) QMetaObject::invokeMethod(stream_, [s = stream_] { s->setCue({}); });
    }

  private:
    // Without a sound device there is nothing to play on; asking anyway
    // would only fill the console with complaints. The device is looked for
    // again at the next cue, so a sound server started later is used.
    bool openStream() {
        if (stream_) return true;
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        if (device.isNull()) return false;
        stream_ = new Stream;
        stream_->moveToThread(&thread_);
        thread_.start();
        QMetaObject::invokeMethod(stream_, [s = stream_, device] { s->open(device); });
        return true;
    }

    QByteArray samplesOf(const QString& path) {
        auto found = samples_.constFind(path);
        if (found != samples_.constEnd()) return *found;
        QFile file(path);
        const QByteArray pcm =
            file.open(QIODevice::ReadOnly) ? playbackPcm(file.readAll()) : QByteArray();
        samples_.insert(path, pcm);
        return pcm;
    }

    QHash<QString, QByteArray> samples_;  // decoded once per cue
    QThread thread_;
    Stream* stream_ = nullptr;  // lives and dies on thread_
};

std::shared_ptr<SoundBackend>& installedBackend() {
    static std::shared_ptr<SoundBackend> backend;
    return backend;
}

}  // namespace

SoundService::SoundService()
    : backend_(installedBackend() ? installedBackend() : std::make_shared<AudioOutput>()) {}

SoundService::SoundService(std::shared_ptr<SoundBackend> backend) : backend_(std::move(backend)) {}

QString SoundService::resourceFor(const QString& cue) {
    if (cue.isEmpty()) return {};
    const QDir folder(QString::fromLatin1(kSoundFolder));
    for (const QString& file : folder.entryList(QDir::Files)) {
        if (QFileInfo(file).completeBaseName().compare(cue, Qt::CaseInsensitive) == 0)
            return folder.filePath(file);
    }
    return {};
}

void SoundService::play(const QString& cue) {
    // One cue at a time: whatever still sounds is cut off first. A cue
    // without a sound of its own would get the desktop's default event
    // sound; we have none to offer, so it is silence after the cut.
    backend_->stop();
    const QString path = resourceFor(cue);
    if (!path.isEmpty()) backend_->play(path);
}

void installSoundBackend(std::shared_ptr<SoundBackend> backend) {
    installedBackend() = std::move(backend);
}

QByteArray playbackPcm(const QByteArray& riff) {
    auto u16 = [&](qsizetype at) {
        return quint32(quint8(riff[at])) | quint32(quint8(riff[at + 1])) << 8;
    };
    auto u32 = [&](qsizetype at) { return u16(at) | u16(at + 2) << 16; };
    if (riff.size() < 12 || !riff.startsWith("RIFF") || riff.mid(8, 4) != "WAVE") return {};

    int channels = 0, rate = 0, bits = 0;
    for (qsizetype at = 12; riff.size() - at >= 8;) {
        const QByteArray id = riff.mid(at, 4);
        const qint64 size = u32(at + 4);
        const qsizetype body = at + 8;
        if (size > riff.size() - body) return {};  // a chunk longer than the file
        if (id == "fmt ") {
            if (size < 16 || u16(body) != 1) return {};  // uncompressed PCM only
            channels = int(u16(body + 2));
            rate = int(u32(body + 4));
            bits = int(u16(body + 14));
        } else if (id == "data") {
            if (channels < 1 || rate < 1 || (bits != 8 && bits != 16)) return {};
            // Mix the channels down to one. Raw pointers: the start cue is
            // converted while the window is being built.
            const qsizetype frameBytes = qsizetype(channels) * bits / 8;
            const auto* frame = reinterpret_cast<const quint8*>(riff.constData()) + body;
            std::vector<int> mono(size_t(size / frameBytes));
            for (int& m : mono) {
                int sum = 0;
                for (int c = 0; c < channels; ++c)
                    sum += bits == 8 ? (int(frame[c]) - 128) * 256
                                     : int(qint16(frame[2 * c] | frame[2 * c + 1] << 8));
                m = sum / channels;
                frame += frameBytes;
            }
            // Bring it to the playback rate by linear interpolation.
            const qint64 count = qint64(mono.size()) * kPlaybackRate / rate;
            QByteArray out(count * 2, Qt::Uninitialized);
            auto* to = reinterpret_cast<quint8*>(out.data());
            for (qint64 j = 0; j < count; ++j) {
                const qint64 scaled = j * rate;
                const size_t i = size_t(scaled / kPlaybackRate);
                const double t = double(scaled % kPlaybackRate) / kPlaybackRate;
                const int next = i + 1 < mono.size() ? mono[i + 1] : mono[i];
                const auto sample = quint16(qint16(mono[i] + t * (next - mono[i])));
                to[2 * j] = quint8(sample & 0xff);
                to[2 * j + 1] = quint8(sample >> 8);
            }
            return out;
        }
        at = body + qsizetype(size) + qsizetype(size & 1);
    }
    return {};
}

}  // namespace quintelle::platform
