#pragma once
// A main window of its own for every test: a fresh folder for the settings
// file, a sound backend that records instead of playing, and a vendor's
// server of the test's own.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>
#include <optional>
#include <vector>

#include "net/server.h"
#include "platform/appdir.h"
#include "platform/processend.h"
#include "platform/sound.h"
#include "tests/support/scripted_server.h"
#include "ui/main/boardview.h"
#include "ui/main/mainform.h"
#include "ui/main/postingwait.h"
#include "ui/main/updateoffer.h"
#include "ui/main/widgets.h"

// "play ENTERED" for a started resource (its base name). Every cue first cuts
// off the one before; that rule is the sound service's and is tested there,
// so the window's tests record only what starts.
class SoundRecorder : public quintelle::platform::SoundBackend {
  public:
    explicit SoundRecorder(std::shared_ptr<std::vector<QString>> log,
                           std::shared_ptr<int> prepared = std::make_shared<int>())
        : log_(std::move(log)), prepared_(std::move(prepared)) {}
    void play(const QString& path) override {
        log_->push_back(QStringLiteral("play ") + QFileInfo(path).completeBaseName().toUpper());
    }
    void stop() override {}
    // Counted apart from the cues: it sounds nothing.
    void prepare() override { ++*prepared_; }

  private:
    std::shared_ptr<std::vector<QString>> log_;
    std::shared_ptr<int> prepared_;
};

// Answers every message box that comes up while it lives and keeps its text,
// so a test can see the standard error box without a person to close it.
class MessageBoxAnswerer {
  public:
    MessageBoxAnswerer() {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                shown_ = box->text();
                box->done(QMessageBox::Ok);
            }
        });
        timer_.start();
    }
    QString shown() const { return shown_; }

  private:
    QTimer timer_;
    QString shown_;
};

class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        QCursor::setPos(QPoint(799, 599));
        // The update check of a shown window reaches only this server, which
        // closes every connection unanswered: no offer, and nothing leaves
        // the machine. A test's settings file may still name another.
        quintelle::net::setVendorServer(
            *quintelle::net::parseServer(QString::fromStdString(vendor_.hostPort())));
    }

    void TearDown() override {
        window_.reset();  // it may still write its settings
        // A fetch the window started is stopped with it and ends on its own
        // thread. The test waits for that: the sanitizers' leak check at the
        // process's exit stops every thread, and can fail on one still ending.
        EXPECT_TRUE(QTest::qWaitFor([] { return !quintelle::platform::workInFlight(); }, 5000));
        quintelle::net::resetVendorServer();
        if (dataHome_) qputenv("XDG_DATA_HOME", *dataHome_);
    }

    // Makes the player's data folder impossible to create, so that over an
    // unwritable executable folder the settings cannot be written anywhere.
    void blockDataFolder() {
        QFile blocker(dir_.filePath(QStringLiteral("blocker")));
        ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
        dataHome_ = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", QFile::encodeName(blocker.fileName() + QStringLiteral("/data")));
    }

    QString folder() const { return dir_.path(); }
    QString iniPath() const { return dir_.filePath(QStringLiteral("quintelle.ini")); }

    // A file of the test's folder, where the program and its files live.
    void writeFile(const QString& name, const QByteArray& bytes) {
        QFile file(QDir(folder()).filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray readFile(const QString& name) const {
        QFile file(QDir(folder()).filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    // The section header and the given key=value lines, CR LF ended.
    void writeIni(const QStringList& lines) {
        QFile file(iniPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        QByteArray bytes = "[quintelle]\r\n";
        for (const QString& line : lines) bytes += line.toLocal8Bit() + "\r\n";
        file.write(bytes);
    }

    QByteArray iniBytes() const {
        QFile file(iniPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // The key=value lines of the written file, in file order.
    QStringList iniLines() const {
        QStringList lines = QString::fromLocal8Bit(iniBytes()).split(QStringLiteral("\r\n"));
        if (!lines.isEmpty() && lines.back().isEmpty()) lines.pop_back();
        return lines;
    }

    QString iniValue(const QString& key) const {
        for (const QString& line : iniLines())
            if (line.startsWith(key + u'=')) return line.mid(key.size() + 1);
        return QStringLiteral("<missing>");
    }

    // Creates the window over `settingsFolder` (the test's own by default).
    Tmain& create(const QString& settingsFolder = {}) {
        quintelle::platform::setExecutableFolder(settingsFolder.isEmpty() ? folder()
                                                                          : settingsFolder);
        *prepared_ = 0;
        quintelle::platform::installSoundBackend(
            std::make_unique<SoundRecorder>(sounds_, prepared_));
        window_ = std::make_unique<Tmain>();
        return *window_;
    }

    // Creates the window and shows it, as the program does after creating
    // every window.
    Tmain& open(const QString& settingsFolder = {}) {
        create(settingsFolder);
        showFirstFrame(*window_);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
        return *window_;
    }

    // Shows a main window and waits for its first frame, as a player first
    // sees it.
    static void showFirstFrame(Tmain& main) {
        main.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&main));
    }

    Tmain& window() { return *window_; }

    template <typename T = QWidget>
    T* find(const QString& name) {
        auto* w = qobject_cast<T*>(window_->control(name));
        EXPECT_NE(w, nullptr) << name.toStdString();
        return w;
    }

    QAction* action(const QString& name) {
        auto* a = window_->findChild<QAction*>(name);
        EXPECT_NE(a, nullptr) << name.toStdString();
        return a;
    }

    QString textOf(const QString& name) {
        if (auto* label = qobject_cast<QLabel*>(window_->control(name))) return label->text();
        if (auto* edit = qobject_cast<QLineEdit*>(window_->control(name))) return edit->text();
        ADD_FAILURE() << "no text control " << name.toStdString();
        return {};
    }

    quintelle::ui::CardImage* cell(int row, int column) {
        return find<quintelle::ui::CardImage>(
            QStringLiteral("image_card%1%2").arg(row).arg(column));
    }

    void click(const QString& name) { QTest::mouseClick(find(name), Qt::LeftButton); }

    std::vector<QString>& sounds() { return *sounds_; }
    // How often the window has asked the audio output to get ready.
    int audioPrepared() const { return *prepared_; }
    // The server the update check of a shown window asks.
    const quintelle::testsupport::ScriptedServer& vendor() const { return vendor_; }

  private:
    quintelle::testsupport::ScriptedServer vendor_;
    QTemporaryDir dir_;
    std::shared_ptr<std::vector<QString>> sounds_ = std::make_shared<std::vector<QString>>();
    std::shared_ptr<int> prepared_ = std::make_shared<int>();
    std::unique_ptr<Tmain> window_;
    std::optional<QByteArray> dataHome_;
};
