#pragma once
// A real screen reader on a test desktop: a private session bus, the
// accessibility bus and its registry, and Orca, whose speech is read from its
// debug log (every utterance is logged there whether or not a voice speaks
// it). Everything it starts is stopped by its destructor, and dies with the
// test process if that is killed.
//
//     Desktop desktop;
//     ScreenReader orca(desktop);
//     ASSERT_TRUE(orca.ready()) << orca.error();
//     GameProcess game(desktop);
//     orca.attach(game);
//     ASSERT_TRUE(game.start());
//     EXPECT_TRUE(orca.waitForSpeech("Card on offer"));
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

namespace quintelle::testing {

class Desktop;
class GameProcess;

class ScreenReader {
  public:
    explicit ScreenReader(Desktop& desktop);
    ~ScreenReader();
    ScreenReader(const ScreenReader&) = delete;
    ScreenReader& operator=(const ScreenReader&) = delete;

    bool ready() const { return error_.isEmpty(); }
    QString error() const { return error_; }

    // Runs the game on this screen reader's buses, its accessibility on.
    void attach(GameProcess& game) const;

    // Everything said so far, one utterance an entry, key echo included.
    QStringList spoken() const;
    // Waits until an utterance after the first `from` contains `text`.
    bool waitForSpeech(const QString& text, int timeoutMs = 10000, qsizetype from = 0) const;

  private:
    std::unique_ptr<QProcess> launch(const QString& program, const QStringList& arguments,
                                     const QProcessEnvironment& environment) const;
    QProcessEnvironment environment() const;

    Desktop& desktop_;
    QTemporaryDir folder_;
    QString error_;
    QString bus_;
    std::unique_ptr<QProcess> sessionBus_;
    std::unique_ptr<QProcess> accessibilityBus_;
    std::unique_ptr<QProcess> orca_;
};

}  // namespace quintelle::testing
