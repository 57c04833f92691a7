#pragma once
// The update, once the player has said yes: the signed manifest is fetched
// and checked against the key built into the program, the installer is
// downloaded into a temporary file beside the program and checked against
// the manifest's size and SHA-256, and only then does the running program
// step aside (to its ".BAK" name) and the installer start. Every failure,
// and stop(), puts the program back under its own name and removes what was
// downloaded.
#include <QFile>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "data/updatemanifest.h"

class THttpCli;
class QTemporaryFile;

namespace quintelle::net {

// The key the build trusts (QUINTELLE_UPDATE_KEY); none in a build that
// offers no updates.
std::optional<update::PublicKey> builtInUpdateKey();
// The key in force: the build's, until a program made for the tests trusts
// the tests' own key pair instead.
const std::optional<update::PublicKey>& updateKey();
void setUpdateKey(const std::optional<update::PublicKey>& key);

// Starts an installer through the desktop shell with its silent-mode
// parameters; true when it runs.
bool startInstallerWithShell(const QString& installer);

// The backup name of a program: its extension (of the file name only)
// replaced by ".BAK", or ".BAK" appended when it has none.
QString backupPathOf(const QString& program);

class UpdateDownload : public QObject {
    Q_OBJECT
  public:
    struct Setup {
        QString manifestUrl;   // "http://host[:port]/quintelle/qtlsetup.manifest"
        QString installerUrl;  // "http://host[:port]/quintelle/qtlsetup.exe"
        QString program;       // the running program's full path
        QString ourVersion;    // only a newer version is installed
        update::PublicKey key{};
        // Starts the verified installer; true when it runs. By default
        // startInstallerWithShell.
        std::function<bool(const QString& installer)> startInstaller;
        // A transfer without a sign from the server for this long fails; the
        // manifest must arrive within the deadline, the installer within it
        // plus its time at 16 KiB a second (an hour at most).
        int stallLimitMs = 30 * 1000;
        int deadlineMs = 60 * 1000;
    };

    enum class Failure {
        Download,  // the network failed us: "Download Aborted"
        Refused,   // what arrived is not what the vendor signed
        Install,   // everything checked, but the installer did not start
    };

    // The status texts of the update panel.
    static constexpr const char* kUpdating = "Updating. Please Wait...";
    static constexpr const char* kInstalling = "Installing";
    static constexpr const char* kAborted = "Download Aborted";

    explicit UpdateDownload(Setup setup, QObject* parent = nullptr);
    ~UpdateDownload() override;

    void start();
    // Ends whatever runs (the window's close, a signal to end): the partial
    // download is removed and the program is under its own name again.
    // Nothing is reported after it.
    void stop();
    bool running() const { return stage_ == Stage::Manifest || stage_ == Stage::Installer; }
    // What went wrong, in a maintainer's words, after failed().
    QString detail() const { return detail_; }
    // Where the installer is written once verified (the folder's qtlsetup.exe).
    QString installerPath() const;

  signals:
    void status(const QString& text);
    void progress(qint64 received, qint64 total);
    // The panel's text for the failure, short enough for its status line.
    void failed(UpdateDownload::Failure failure, const QString& text);
    // The installer runs: the program should end now.
    void installerStarted();

  private:
    enum class Stage { Idle, Manifest, Installer, Done };
    void manifestArrived();
    void installerArrived();
    void install();
    void fail(Failure failure, const QString& text, const QString& detail);
    void discardDownload();
    void putProgramBack();

    Setup setup_;
    Stage stage_ = Stage::Idle;
    std::unique_ptr<THttpCli> client_;
    std::unique_ptr<QIODevice> manifestText_;
    std::unique_ptr<QTemporaryFile> installer_;
    std::optional<update::Manifest> manifest_;
    std::optional<update::Sha256Stream> hash_;
    qint64 received_ = 0;
    QString backup_;  // set while the program is under its backup name
    QString detail_;
};

}  // namespace quintelle::net
