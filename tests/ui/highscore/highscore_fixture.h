#pragma once
// A main window with its high-score window, both pointed at a scripted
// server on the loopback address, and a shell that records instead of
// opening anything.
#include <QMessageBox>

#include "mainwindow_fixture.h"
#include "net/server.h"
#include "platform/shell.h"
#include "tests/support/scripted_server.h"
#include "ui/controls/TFlatPanelUnit.h"
#include "ui/highscore/highscoreform.h"
#include "ui/highscore/htmlviewer.h"

class HighscoreTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        quintelle::platform::setShellForTesting([this](const QString& address) {
            opened_.append(address);
            return true;
        });
    }

    void TearDown() override {
        if (highscore_) window().setWindows({});
        highscore_.reset();
        quintelle::platform::setShellForTesting({});
        MainWindowTest::TearDown();
    }

    // Opens both windows against a server answering with `script`.
    void start(std::vector<quintelle::testsupport::Reply> script) {
        server_ = std::make_unique<quintelle::testsupport::ScriptedServer>(std::move(script));
        open();
        quintelle::net::setVendorServer(
            *quintelle::net::parseServer(QString::fromStdString(server_->hostPort())));
        highscore_ = std::make_unique<Thighscore>(&window(), nullptr);
        Tmain::Windows windows;
        windows.highscore = highscore_.get();
        window().setWindows(windows);
    }

    quintelle::testsupport::ScriptedServer& server() { return *server_; }
    Thighscore& highscore() { return *highscore_; }
    const QStringList& opened() const { return opened_; }

    // The request line's target of the n-th request.
    std::string target(std::size_t n) {
        EXPECT_TRUE(server().waitForRequests(n + 1));
        const std::string bytes = server().requests().at(n).bytes;
        const auto from = bytes.find(' ') + 1;
        return bytes.substr(from, bytes.find(' ', from) - from);
    }

    void waitIdle(THTTPGet& get) {
        EXPECT_TRUE(QTest::qWaitFor([&] { return !get.busy(); }, 10000));
    }

    // Waits for the page fetch and for the viewer to show what it brought.
    void waitForPage() {
        waitIdle(highscore().getit());
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return !highscore().displayhtml()->pageLoading(); }, 10000));
    }

  private:
    std::unique_ptr<quintelle::testsupport::ScriptedServer> server_;
    std::unique_ptr<Thighscore> highscore_;
    QStringList opened_;
};

// Answers every message box while it lives, counting them; `whileOpen` runs
// once per box before it is answered.
class BoxCounter {
  public:
    explicit BoxCounter(std::function<void()> whileOpen = {}) : whileOpen_(std::move(whileOpen)) {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                texts.append(box->text());
                if (whileOpen_) whileOpen_();
                box->done(QMessageBox::Ok);
            }
        });
        timer_.start();
    }
    QStringList texts;

  private:
    QTimer timer_;
    std::function<void()> whileOpen_;
};
