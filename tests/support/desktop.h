#pragma once
// A real desktop for whole-program tests: an X server of its own (Xvfb), a
// window manager (openbox), a private sound server (PulseAudio with a null
// sink whose monitor can be recorded), and the built game run as a process
// inside it, driven by real input events and judged from outside.
//
// Every desktop picks its own display number and sound socket, so tests can
// run in parallel; everything it starts is stopped by its destructor, and
// dies with the test process if that is killed.
//
//     Desktop desktop({.sound = true});
//     ASSERT_TRUE(desktop.ready()) << desktop.error();
//     GameProcess game(desktop);
//     ASSERT_TRUE(game.start()) << game.output();
//     game.click(game.cellCentre(1, 1));
//     game.close();
//     EXPECT_EQ(game.waitForExit(), 0);
#include <QByteArray>
#include <QImage>
#include <QPoint>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

namespace quintelle::testing {

// Sound recorded from the null sink's monitor: mono 16-bit samples.
struct Recording {
    int rate = 0;
    std::vector<qint16> samples;

    // A stretch of sound, in seconds from the start of the recording.
    struct Sound {
        double start = 0;
        double end = 0;
    };

    double seconds() const { return rate ? double(samples.size()) / rate : 0.0; }
    // The sounds heard: each begins where the level rises after at least
    // `minSilence` seconds of silence and ends where such a silence begins.
    // Silence is a 5 ms stretch whose RMS stays below `threshold` (full
    // scale 1.0).
    std::vector<Sound> sounds(double threshold = 0.01, double minSilence = 0.06) const;
    std::vector<double> onsets(double threshold = 0.01, double minSilence = 0.06) const;
};

// Reads the PCM of a RIFF WAVE file (8- or 16-bit, any channel count) as
// mono 16-bit samples; nullopt when it is not such a file.
std::optional<Recording> decodeWave(const QByteArray& riff);

// Matches sound onsets to the moments cues were asked for, in order. Clocks
// differ by an unknown latency, so times are compared relative to the first
// cue: onset i must fall within `tolerance` seconds of the first onset plus
// (request i - request 0). Returns a description of the first mismatch, or an
// empty text when every request has its onset and no onset is left over.
QString matchOnsets(const std::vector<double>& requested, const std::vector<double>& onsets,
                    double tolerance = 0.35);

struct DesktopOptions {
    bool windowManager = true;
    bool sound = false;
    QSize screen{1280, 1024};
};

class Desktop {
  public:
    explicit Desktop(DesktopOptions options = {});
    ~Desktop();
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;

    bool ready() const { return error_.isEmpty(); }
    QString error() const { return error_; }
    QString display() const { return display_; }
    QSize screenSize() const { return options_.screen; }
    bool hasWindowManager() const { return options_.windowManager; }

    // The environment programs on this desktop run in: its display, its
    // sound server, a home folder of its own.
    QProcessEnvironment environment() const;
    // Runs a tool (xdotool, xprop, ...) on this desktop; its standard output,
    // or nullopt if it failed or took longer than `timeoutMs`.
    std::optional<QByteArray> run(const QString& program, const QStringList& arguments,
                                  int timeoutMs = 15000) const;
    QImage screenshot() const;

    // A visible top-level window of process `pid` whose title is exactly
    // `title`; 0 while there is none.
    unsigned long findWindow(qint64 pid, const QString& title) const;
    // Every such window.
    std::vector<unsigned long> findWindows(qint64 pid, const QString& title) const;
    // What a window shows, its own area only; a null image when it is gone.
    QImage grabWindow(unsigned long window) const;

    // The sound server's process, for what it costs; 0 without one.
    qint64 soundServerId() const;

    // Records everything the sound server plays from now on.
    bool startRecording();
    Recording stopRecording();

  private:
    bool startX();
    bool startWindowManager();
    bool startSound();
    std::unique_ptr<QProcess> launch(const QString& program, const QStringList& arguments,
                                     const QProcessEnvironment& environment,
                                     const QString& outputFile = {}) const;

    DesktopOptions options_;
    QTemporaryDir folder_;
    QString error_;
    QString display_;
    QString pulseSocket_;
    std::unique_ptr<QProcess> x_;
    std::unique_ptr<QProcess> wm_;
    std::unique_ptr<QProcess> pulse_;
    std::unique_ptr<QProcess> recorder_;
    static constexpr int kRecordRate = 16000;
};

// Pings a window as a window manager does (_NET_WM_PING), one ping at a time
// every `intervalMs`, on a thread of its own, and keeps how long the answers
// took. A ping still unanswered counts with the time it has waited so far.
class PingProbe {
  public:
    PingProbe(const Desktop& desktop, unsigned long window, int intervalMs = 100);
    ~PingProbe();
    PingProbe(const PingProbe&) = delete;
    PingProbe& operator=(const PingProbe&) = delete;

    int answered() const { return answered_; }
    // The longest wait for an answer, in milliseconds.
    double worstMs() const;

  private:
    void run(const QString& display, unsigned long window, int intervalMs);

    std::atomic<bool> stop_ = false;
    std::atomic<int> answered_ = 0;
    std::atomic<double> worstMs_ = 0;
    std::atomic<qint64> pendingSinceMs_ = -1;  // on the steady clock
    std::thread thread_;
};

// Waits until `condition` holds, checking every 20 ms; false after `timeoutMs`.
bool waitUntil(const std::function<bool()>& condition, int timeoutMs);

// Copies a built program into `folder` as a player's portable copy holds it,
// the executable alone. Returns the copied executable's path.
QString copyProgram(const QString& executable, const QString& folder);

// The built game as a process on a desktop, copied (copyProgram) into a
// folder of its own, so the settings and tally files it writes beside itself
// land there. The folder starts with a settings file that turns the update
// check off, so the game reaches for no server unless a test names one; a
// test that writes its own settings file decides that itself.
class GameProcess {
  public:
    explicit GameProcess(Desktop& desktop, const QString& executable = builtGame());
    ~GameProcess();
    GameProcess(const GameProcess&) = delete;
    GameProcess& operator=(const GameProcess&) = delete;

    static QString builtGame();

    QString folder() const { return folder_.path(); }
    QString filePath(const QString& name) const { return folder_.filePath(name); }
    void writeFile(const QString& name, const QByteArray& content) const;
    // The settings file with these "key=value" lines in its one section.
    void writeSettings(const QStringList& lines) const;
    std::optional<QByteArray> readFile(const QString& name) const;

    // A variable of the game's environment in place of the desktop's.
    void setEnvironment(const QString& name, const QString& value);
    // Starts the game and waits for its main window to be mapped (and framed,
    // with a window manager).
    bool start(int timeoutMs = 30000);
    bool running() const;
    qint64 processId() const;
    unsigned long window() const { return window_; }
    // What the main window shows now, its own area (menu bar included).
    QImage grab() const;

    struct Geometry {
        QRect frame;   // outer, decorations included
        QRect client;  // the window's own area, menu bar included
    };
    Geometry geometry() const;
    // The same of another window of the program (from Desktop::findWindow).
    Geometry geometryOf(unsigned long window) const;
    // Waits until the geometry satisfies `condition`; the last one seen.
    Geometry waitForGeometry(const std::function<bool(const Geometry&)>& condition,
                             int timeoutMs = 10000) const;

    // Input, at coordinates relative to the window's own area.
    void click(QPoint at) const;
    void key(const QString& keys) const;
    void type(const QString& text) const;
    // The centre of a grid cell (row, column 1..5) and of the Start button,
    // on the board as it is shown, at whatever scale.
    QPoint cellCentre(int row, int column) const;
    QPoint startButton() const;
    // A point given in the inner board's design coordinates, where the
    // pop-up panels and their controls are laid out.
    QPoint onBoard(QPoint inner) const;
    int menuBarHeight() const;
    // The board's painted frame in the window's own area, and the scale it
    // is shown at (device pixels per design pixel); empty while unpainted.
    QRect boardFrame() const;
    double boardScale() const;

    // Moves and resizes the frame as a window manager user would.
    void moveFrame(QPoint topLeft) const;
    void resizeWindow(QSize client) const;

    // Asks the window to close, as its title bar's close button does.
    void close() const;
    // The exit code once the process has ended; nullopt if it is still
    // running after `timeoutMs` (it is then killed) or if it crashed.
    std::optional<int> waitForExit(int timeoutMs = 15000);
    // Everything the game wrote to its standard output and error.
    QString output() const;
    // The most memory the running game has held so far (its VmHWM), in KiB;
    // 0 once it has ended.
    qint64 peakMemoryKiB() const;

  private:
    int paintedMenuBarHeight() const;

    Desktop& desktop_;
    QTemporaryDir folder_;
    QString executable_;  // the copy in folder_
    QProcessEnvironment environment_;
    std::unique_ptr<QProcess> process_;
    unsigned long window_ = 0;
    mutable QRect boardFrame_;
    mutable QSize boardFrameIn_;  // the window's size the frame was found in
    mutable QByteArray output_;
};

}  // namespace quintelle::testing
