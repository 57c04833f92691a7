#include "platform/sound.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <utility>
#include <vector>

#include "platform/pcmoutput.h"

namespace quintelle::platform {
namespace {

constexpr auto kSoundFolder = ":/sounds";

// Plays on the audio stream, opened when the output is first made ready or
// the first cue asks for it.
class DeviceOutput : public SoundBackend {
  public:
    void prepare() override {
        if (!output_) output_ = openPcmOutput();
    }

    void play(const QString& path) override {
        const QByteArray pcm = samplesOf(path);
        if (pcm.isEmpty()) return;
        prepare();
        output_->setCue(pcm);
    }

    void stop() override {
        if (output_) output_->setCue({});
    }

  private:
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
    std::unique_ptr<PcmOutput> output_;
};

std::shared_ptr<SoundBackend>& installedBackend() {
    static std::shared_ptr<SoundBackend> backend;
    return backend;
}

}  // namespace

SoundService::SoundService()
    : backend_(installedBackend() ? installedBackend() : std::make_shared<DeviceOutput>()) {}

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

void SoundService::prepare() {
    backend_->prepare();
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
            // converted as the window first appears.
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
