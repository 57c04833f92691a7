#include "platform/sound.h"

#include <QAudioDevice>
#include <QDir>
#include <QHash>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

namespace quintelle::platform {
namespace {

constexpr auto kSoundFolder = ":/sounds";

// One preloaded effect per resource, so a cue starts without decoding delay.
class MultimediaBackend : public SoundBackend {
  public:
    void play(const QString& path) override {
        // Without a sound device there is nothing to play on; asking anyway
        // would only fill the console with complaints.
        if (QMediaDevices::defaultAudioOutput().isNull()) return;
        QSoundEffect*& effect = effects_[path];
        if (!effect) {
            effect = new QSoundEffect();
            effect->setSource(QUrl(QStringLiteral("qrc") + path));
        }
        current_ = effect;
        effect->play();  // queued until loaded if it is still loading
    }
    void stop() override {
        if (current_) current_->stop();
        current_ = nullptr;
    }
    ~MultimediaBackend() override { qDeleteAll(effects_); }

  private:
    QHash<QString, QSoundEffect*> effects_;
    QSoundEffect* current_ = nullptr;
};

std::unique_ptr<SoundService>& service() {
    static std::unique_ptr<SoundService> s;
    return s;
}

}  // namespace

SoundService::SoundService(std::unique_ptr<SoundBackend> backend) : backend_(std::move(backend)) {}

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

SoundService& sounds() {
    if (!service())
        service() = std::make_unique<SoundService>(std::make_unique<MultimediaBackend>());
    return *service();
}

void installSoundBackend(std::unique_ptr<SoundBackend> backend) {
    service() = std::make_unique<SoundService>(std::move(backend));
}

}  // namespace quintelle::platform
