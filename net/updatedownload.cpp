#include "net/updatedownload.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>
#include <algorithm>

#include "net/httpcli.h"
#include "platform/shell.h"

#ifndef QUINTELLE_UPDATE_KEY
#error "the build names the update key in QUINTELLE_UPDATE_KEY (empty for none)"
#endif

namespace quintelle::net {

namespace {

// As long as the installer takes at 16 KiB a second on top of the deadline,
// but never more than an hour: a server dripping bytes cannot hold the update.
int installerDeadlineMs(int deadlineMs, std::uint64_t size) {
    const auto ms = deadlineMs + static_cast<qint64>(size / 16);
    return static_cast<int>(std::min<qint64>(ms, 60 * 60 * 1000));
}

// The manifest's text, refusing more than a manifest can be.
class ManifestBuffer : public QBuffer {
  protected:
    qint64 writeData(const char* data, qint64 length) override {
        if (size() + length > static_cast<qint64>(update::kMaxManifestBytes)) {
            setErrorString(
                QStringLiteral("the manifest is over %1 bytes").arg(update::kMaxManifestBytes));
            return -1;
        }
        return QBuffer::writeData(data, length);
    }
};

std::optional<update::PublicKey>& keyInForce() {
    static std::optional<update::PublicKey> key = builtInUpdateKey();
    return key;
}

}  // namespace

std::optional<update::PublicKey> builtInUpdateKey() {
    return update::fromHex<32>(QUINTELLE_UPDATE_KEY);
}

const std::optional<update::PublicKey>& updateKey() {
    return keyInForce();
}

void setUpdateKey(const std::optional<update::PublicKey>& key) {
    keyInForce() = key;
}

bool startInstallerWithShell(const QString& installer) {
    return platform::shellStart(
        installer, {QStringLiteral("/SP-"), QStringLiteral("/silent"), QStringLiteral("/noicons")});
}

QString backupPathOf(const QString& program) {
    const QFileInfo info(program);
    const QString name = info.fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    return info.dir().filePath((dot > 0 ? name.left(dot) : name) + QStringLiteral(".BAK"));
}

UpdateDownload::UpdateDownload(Setup setup, QObject* parent)
    : QObject(parent), setup_(std::move(setup)) {
    if (!setup_.startInstaller) setup_.startInstaller = startInstallerWithShell;
}

UpdateDownload::~UpdateDownload() {
    stop();
}

QString UpdateDownload::installerPath() const {
    return QFileInfo(setup_.program).dir().filePath(QStringLiteral("qtlsetup.exe"));
}

void UpdateDownload::start() {
    if (running()) return;
    detail_.clear();
    manifest_.reset();
    emit status(QString::fromLatin1(kUpdating));
    client_ = std::make_unique<THttpCli>();
    connect(client_.get(), &THttpCli::OnRequestDone, this, [this] {
        if (stage_ == Stage::Manifest)
            manifestArrived();
        else if (stage_ == Stage::Installer)
            installerArrived();
    });
    connect(client_.get(), &THttpCli::OnDocData, this, [this](const char* data, int length) {
        if (stage_ != Stage::Installer || !hash_) return;
        hash_->add(data, static_cast<std::size_t>(length));
        received_ += length;
        emit progress(received_, static_cast<qint64>(manifest_->size));
    });
    manifestText_ = std::make_unique<ManifestBuffer>();
    manifestText_->open(QIODevice::WriteOnly);
    client_->URL = setup_.manifestUrl;
    client_->ReceiveStream = manifestText_.get();
    client_->StallLimitMs = setup_.stallLimitMs;
    client_->DeadlineMs = setup_.deadlineMs;
    stage_ = Stage::Manifest;
    client_->GetASync();
}

void UpdateDownload::manifestArrived() {
    client_->ReceiveStream = nullptr;
    if (!client_->Complete()) {
        fail(Failure::Download, QString::fromLatin1(kAborted),
             QStringLiteral("the manifest did not arrive: %1").arg(client_->ResponseReason()));
        return;
    }
    const QByteArray text = static_cast<QBuffer*>(manifestText_.get())->data();
    const update::ManifestCheck check =
        update::verifyManifest(std::string_view(text.constData(), text.size()), setup_.key);
    if (!check.manifest) {
        const QString detail = QString::fromStdString(check.detail);
        switch (check.fault) {
            case update::ManifestFault::ForeignKey:
                fail(Failure::Refused, QStringLiteral("Refused: unknown signing key"), detail);
                return;
            case update::ManifestFault::BadSignature:
                fail(Failure::Refused, QStringLiteral("Refused: bad signature"), detail);
                return;
            case update::ManifestFault::Unreadable:
                fail(Failure::Refused, QStringLiteral("Refused: unreadable manifest"), detail);
                return;
        }
    }
    if (!update::isNewerVersion(check.manifest->version, setup_.ourVersion.toStdString())) {
        fail(Failure::Refused, QStringLiteral("Refused: not a newer version"),
             QStringLiteral("the server offers %1, this is %2")
                 .arg(QString::fromStdString(check.manifest->version), setup_.ourVersion));
        return;
    }
    manifest_ = check.manifest;

    // Beside the program, so the verified file is renamed into place, never
    // copied across file systems.
    installer_ = std::make_unique<QTemporaryFile>(
        QFileInfo(setup_.program).dir().filePath(QStringLiteral("qtlsetup-XXXXXX.part")));
    if (!installer_->open()) {
        fail(Failure::Download, QStringLiteral("Cannot write the game's folder"),
             installer_->errorString());
        return;
    }
    hash_.emplace();
    received_ = 0;
    client_->URL = setup_.installerUrl;
    client_->ReceiveStream = installer_.get();
    client_->ExpectedLength = static_cast<qint64>(manifest_->size);
    client_->DeadlineMs = installerDeadlineMs(setup_.deadlineMs, manifest_->size);
    stage_ = Stage::Installer;
    client_->GetASync();
}

void UpdateDownload::installerArrived() {
    client_->ReceiveStream = nullptr;
    const QString reason = client_->ResponseReason();
    if (client_->LengthRefused()) {
        fail(Failure::Refused, QStringLiteral("Refused: wrong installer size"), reason);
        return;
    }
    if (!client_->Complete() || !installer_->flush()) {
        fail(Failure::Download, QString::fromLatin1(kAborted),
             client_->Complete() ? installer_->errorString() : reason);
        return;
    }
    if (received_ != static_cast<qint64>(manifest_->size) || installer_->size() != received_) {
        fail(Failure::Refused, QStringLiteral("Refused: wrong installer size"),
             QStringLiteral("%1 bytes arrived, the manifest signs %2")
                 .arg(received_)
                 .arg(manifest_->size));
        return;
    }
    if (hash_->finish() != manifest_->sha256) {
        fail(Failure::Refused, QStringLiteral("Refused: installer altered"),
             QStringLiteral("the installer's SHA-256 is not the one the manifest signs"));
        return;
    }
    emit status(QStringLiteral("Received %1 bytes").arg(received_));
    install();
}

void UpdateDownload::install() {
    emit status(QString::fromLatin1(kInstalling));
    const QString path = installerPath();
    QFile::remove(path);
    installer_->close();
    if (!installer_->rename(path)) {
        fail(Failure::Download, QStringLiteral("Cannot write the game's folder"),
             installer_->errorString());
        return;
    }
    installer_->setAutoRemove(false);
    QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner |
                                    QFileDevice::ExeGroup | QFileDevice::ExeOther);
    // The installer replaces the program under its own name; the running copy
    // steps aside for it, now that what will replace it is known to be good.
    const QString backup = backupPathOf(setup_.program);
    QFile::remove(backup);
    if (QFile::rename(setup_.program, backup)) backup_ = backup;
    if (setup_.startInstaller(path)) {
        stage_ = Stage::Done;
        backup_.clear();  // the installer's now
        installer_.reset();
        emit installerStarted();
        return;
    }
    QFile::remove(path);
    fail(Failure::Install, QString::fromLatin1(kInstalling),
         QStringLiteral("the installer %1 did not start").arg(path));
}

void UpdateDownload::fail(Failure failure, const QString& text, const QString& detail) {
    stage_ = Stage::Done;
    detail_ = detail;
    discardDownload();
    putProgramBack();
    emit failed(failure, text);
}

void UpdateDownload::stop() {
    if (stage_ == Stage::Idle) return;
    const bool wasRunning = running();
    stage_ = Stage::Done;
    if (wasRunning && client_) {
        client_->disconnect(this);
        client_->Abort();
        client_->ReceiveStream = nullptr;
    }
    discardDownload();
    putProgramBack();
}

void UpdateDownload::discardDownload() {
    installer_.reset();  // a temporary file removes itself
    hash_.reset();
}

void UpdateDownload::putProgramBack() {
    if (backup_.isEmpty()) return;
    if (!QFile::exists(setup_.program)) QFile::rename(backup_, setup_.program);
    backup_.clear();
}

}  // namespace quintelle::net
