// Start-up, memory and clock ticks of the game against a bare Qt window of the
// board's size with one label, both run as whole processes and judged from
// outside, so the game is measured on its normal start-up path:
//
//  - on the offscreen platform: the time from the fork to the moment the
//    process goes quiet (less than 2% of a processor over the next 150 ms),
//    the processor time used up to then and the peak resident memory; the
//    same time and memory with the game's sounds off, which shows what the
//    audio stack adds; and the time of a first start, with nothing in the
//    cache folder;
//  - on an X server of our own with a window manager (when Xvfb is
//    installed): the time until the mapped window has answered two
//    _NET_WM_PING messages in a row (the first frame is painted by then), the
//    time until it goes quiet, the processor time to that point and the peak
//    resident memory; then the processor time per second of a dealing round
//    against the bare label changing its text every second;
//  - on such a desktop with a sound server as well: the processor time per
//    second of a round left alone with the sounds on, the game's and the
//    sound server's together, against the bare window's and the server's.
//
// Each figure is the median of several starts, with the ratio game / bare.
// With the argument `mechanisms` it measures instead what each start-up
// mechanism the program keeps buys (see measureMechanisms()).
// Processor time is read from /proc/PID/task/*/schedstat (nanoseconds);
// peak memory is VmHWM from /proc/PID/status.
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/desktop.h"

// Last: Xlib's macros clash with Qt's names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

using Clock = std::chrono::steady_clock;
using quintelle::testing::Desktop;

// A start takes 15 to 65 ms and varies with what else the machine does, so
// the two programs alternate and each figure is the median of many starts:
// with 7 the ratios moved by up to 0.3 from run to run.
constexpr int kStarts = 21;
constexpr int kTickRuns = 3;
constexpr double kTickSeconds = 10.0;
// After the round's first cue, the time a player thinking over a card leaves
// the game alone before the idle figure is taken.
constexpr int kIdleSettleSeconds = 6;
constexpr double kQuietWindowMs = 150.0;
constexpr double kQuietShare = 0.02;

double millisecondsBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

double median(std::vector<double> values) {
    values.erase(
        std::remove_if(values.begin(), values.end(), [](double v) { return std::isnan(v); }),
        values.end());
    if (values.empty()) return NAN;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

QString loadAverage() {
    QFile file(QStringLiteral("/proc/loadavg"));
    if (!file.open(QIODevice::ReadOnly)) return QStringLiteral("?");
    return QString::fromLatin1(file.readAll()).section(u' ', 0, 2);
}

// A program copied into a folder of its own, as a player's portable copy
// lives, with the files it finds beside itself.
struct Program {
    QString name;
    std::unique_ptr<QTemporaryDir> folder;
    QString executable;
    std::vector<std::pair<QString, QByteArray>> files;

    Program(QString label, const QString& built,
            std::vector<std::pair<QString, QByteArray>> besides = {})
        : name(std::move(label)),
          folder(std::make_unique<QTemporaryDir>()),
          files(std::move(besides)) {
        executable = quintelle::testing::copyProgram(built, folder->path());
    }

    void prepare() const {
        for (const auto& [file, content] : files) {
            QFile out(folder->filePath(file));
            if (out.open(QIODevice::WriteOnly | QIODevice::Truncate)) out.write(content);
        }
    }
};

// The processor time of a process, all its threads, so far; a thread that
// has ended counts with its last reading.
class ProcessorTime {
  public:
    explicit ProcessorTime(const pid_t& pid) : pid_(pid) {}

    double milliseconds() {
        const std::string tasks = "/proc/" + std::to_string(pid_) + "/task";
        if (DIR* dir = opendir(tasks.c_str())) {
            while (const dirent* entry = readdir(dir)) {
                if (entry->d_name[0] == '.') continue;
                std::ifstream in(tasks + '/' + entry->d_name + "/schedstat");
                unsigned long long ns = 0;
                if (in >> ns) {
                    auto& last = threads_[std::atoi(entry->d_name)];
                    last = std::max(last, ns);
                }
            }
            closedir(dir);
        }
        unsigned long long total = 0;
        for (const auto& [tid, ns] : threads_) total += ns;
        return double(total) / 1e6;
    }

  private:
    const pid_t& pid_;  // read when asked: the process may start later
    std::map<int, unsigned long long> threads_;
};

// A started program, watched through /proc; killed when it goes out of scope.
class Watched {
  public:
    Watched(const Program& program, const QProcessEnvironment& environment) {
        program.prepare();
        const std::string path = QFile::encodeName(program.executable).toStdString();
        const std::string folder = QFile::encodeName(program.folder->path()).toStdString();
        std::vector<std::string> variables;
        for (const QString& v : environment.toStringList()) variables.push_back(v.toStdString());
        std::vector<char*> envp;
        for (std::string& v : variables) envp.push_back(v.data());
        envp.push_back(nullptr);
        std::string arg0 = path;
        char* argv[] = {arg0.data(), nullptr};
        started_ = Clock::now();
        pid_ = fork();
        if (pid_ == 0) {
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            const int null = ::open("/dev/null", O_WRONLY);
            if (null >= 0) {
                dup2(null, 1);
                dup2(null, 2);
            }
            if (chdir(folder.c_str()) != 0) _exit(126);
            execve(path.c_str(), argv, envp.data());
            _exit(127);
        }
    }
    ~Watched() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    Watched(const Watched&) = delete;
    Watched& operator=(const Watched&) = delete;

    pid_t pid() const { return pid_; }
    Clock::time_point started() const { return started_; }

    bool alive() {
        int status = 0;
        if (pid_ > 0 && waitpid(pid_, &status, WNOHANG) == pid_) pid_ = -1;
        return pid_ > 0;
    }

    double cpuMilliseconds() { return time_.milliseconds(); }

    double peakResidentMiB() const {
        std::ifstream in("/proc/" + std::to_string(pid_) + "/status");
        std::string line;
        while (std::getline(in, line))
            if (line.rfind("VmHWM:", 0) == 0) return std::atof(line.c_str() + 6) / 1024.0;
        return NAN;
    }

  private:
    pid_t pid_ = -1;
    Clock::time_point started_;
    ProcessorTime time_{pid_};
};

// Finds the moment a program went quiet from its processor time sampled every
// millisecond: the first sample after which it used less than kQuietShare of
// a processor for kQuietWindowMs.
class QuietWatch {
  public:
    struct Point {
        double ms;
        double cpu;
    };
    // Adds a sample; true once the quiet moment is known.
    bool add(double ms, double cpu) {
        samples_.push_back({ms, cpu});
        while (samples_.back().ms - samples_[first_].ms >= kQuietWindowMs) {
            if (samples_.back().cpu - samples_[first_].cpu < kQuietWindowMs * kQuietShare) {
                quiet_ = samples_[first_];
                return true;
            }
            ++first_;
        }
        return false;
    }
    std::optional<Point> quiet() const { return quiet_; }

  private:
    std::vector<Point> samples_;
    size_t first_ = 0;
    std::optional<Point> quiet_;
};

// An X connection that watches top-level windows appear and pings the
// program's window as a window manager does.
class PingWatch {
  public:
    explicit PingWatch(const QString& display)
        : x_(XOpenDisplay(display.toLocal8Bit().constData())) {
        if (!x_) return;
        XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
        root_ = DefaultRootWindow(x_);
        protocols_ = XInternAtom(x_, "WM_PROTOCOLS", False);
        ping_ = XInternAtom(x_, "_NET_WM_PING", False);
        pidAtom_ = XInternAtom(x_, "_NET_WM_PID", False);
        // New windows, and the answers to pings: Qt sends them to the root
        // window for structure-notify listeners.
        XSelectInput(x_, root_, SubstructureNotifyMask | StructureNotifyMask);
        XSync(x_, False);
    }
    ~PingWatch() {
        if (x_) XCloseDisplay(x_);
    }
    PingWatch(const PingWatch&) = delete;
    PingWatch& operator=(const PingWatch&) = delete;
    bool ok() const { return x_ != nullptr; }
    Window window() const { return target_; }

    // Handles what arrived; true once the program's window has answered two
    // pings in a row, the second sent after the first came back.
    bool step(pid_t pid) {
        while (XPending(x_)) {
            XEvent event;
            XNextEvent(x_, &event);
            if (event.type == CreateNotify && event.xcreatewindow.parent == root_ &&
                !event.xcreatewindow.override_redirect)
                candidates_.push_back(event.xcreatewindow.window);
            else if (event.type == ClientMessage && event.xclient.window == root_ &&
                     event.xclient.message_type == protocols_ &&
                     Atom(event.xclient.data.l[0]) == ping_ &&
                     event.xclient.data.l[1] == long(stamp_) && target_)
                answered_ = ++stamp_ > 2;
        }
        if (answered_) return true;
        if (!target_) {
            for (Window w : candidates_) {
                XWindowAttributes attributes;
                if (windowPid(w) == long(pid) && XGetWindowAttributes(x_, w, &attributes) &&
                    attributes.map_state == IsViewable) {
                    target_ = w;
                    break;
                }
            }
            if (!target_) return false;
            stamp_ = 1;
            sent_ = 0;
        }
        if (sent_ < stamp_) {
            XEvent event{};
            event.xclient.type = ClientMessage;
            event.xclient.window = target_;
            event.xclient.message_type = protocols_;
            event.xclient.format = 32;
            event.xclient.data.l[0] = long(ping_);
            event.xclient.data.l[1] = long(stamp_);
            event.xclient.data.l[2] = long(target_);
            XSendEvent(x_, target_, False, NoEventMask, &event);
            XFlush(x_);
            sent_ = stamp_;
        }
        return false;
    }

    // The part of the window's picture at `area` (window coordinates).
    QByteArray grab(const QRect& area) const {
        QByteArray bytes;
        XImage* image = XGetImage(x_, target_, area.x(), area.y(), unsigned(area.width()),
                                  unsigned(area.height()), AllPlanes, ZPixmap);
        if (!image) return bytes;
        for (int y = 0; y < area.height(); ++y)
            for (int x = 0; x < area.width(); ++x) {
                const unsigned long pixel = XGetPixel(image, x, y);
                bytes.append(reinterpret_cast<const char*>(&pixel), sizeof pixel);
            }
        XDestroyImage(image);
        return bytes;
    }

    QSize size() const {
        XWindowAttributes attributes;
        if (!target_ || !XGetWindowAttributes(x_, target_, &attributes)) return {};
        return QSize(attributes.width, attributes.height);
    }

  private:
    long windowPid(Window w) const {
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        long pid = -1;
        if (XGetWindowProperty(x_, w, pidAtom_, 0, 1, False, XA_CARDINAL, &type, &format, &count,
                               &after, &data) == Success &&
            data && format == 32 && count == 1)
            pid = *reinterpret_cast<const long*>(data);
        if (data) XFree(data);
        return pid;
    }

    Display* x_ = nullptr;
    Window root_ = 0;
    Atom protocols_ = 0, ping_ = 0, pidAtom_ = 0;
    std::vector<Window> candidates_;
    Window target_ = 0;
    unsigned long stamp_ = 0;  // the ping awaited
    unsigned long sent_ = 0;   // the last ping sent
    bool answered_ = false;
};

struct Start {
    double frameMs = NAN;  // X only: the second ping answered
    double quietMs = NAN;
    double cpuMs = NAN;  // to the first frame on X, to the quiet moment offscreen
    double peakMiB = NAN;
};

// One start of `program`; on `desktop` when given, else offscreen. The
// watched process is handed to `then` once quiet, while it still runs.
Start startOnce(const Program& program, const QProcessEnvironment& environment,
                const Desktop* desktop,
                const std::function<void(Watched&, PingWatch*)>& then = {}) {
    Start result;
    std::unique_ptr<PingWatch> pings;
    if (desktop) {
        pings = std::make_unique<PingWatch>(desktop->display());
        if (!pings->ok()) return result;
    }
    Watched process(program, environment);
    QuietWatch quiet;
    bool framed = !desktop;
    const auto deadline = process.started() + std::chrono::seconds(30);
    while (Clock::now() < deadline) {
        if (!framed && pings->step(process.pid())) {
            framed = true;
            result.frameMs = millisecondsBetween(process.started(), Clock::now());
            result.cpuMs = process.cpuMilliseconds();
        }
        // On X the quiet moment is looked for from the first frame on.
        const double now = millisecondsBetween(process.started(), Clock::now());
        const double cpu = process.cpuMilliseconds();
        if (framed && quiet.add(now, cpu)) break;
        if (!process.alive()) return Start{};
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    if (!quiet.quiet() || !framed) return Start{};
    result.quietMs = quiet.quiet()->ms;
    if (!desktop) result.cpuMs = quiet.quiet()->cpu;
    result.peakMiB = process.peakResidentMiB();
    if (then) then(process, pings.get());
    return result;
}

// Processor time per second while the program runs its clock, with that of
// `helper` (its sound server) when given.
double cpuPerSecond(Watched& process, ProcessorTime* helper = nullptr) {
    auto both = [&] { return process.cpuMilliseconds() + (helper ? helper->milliseconds() : 0); };
    const double before = both();
    const auto from = Clock::now();
    std::this_thread::sleep_for(std::chrono::duration<double>(kTickSeconds));
    const double seconds = millisecondsBetween(from, Clock::now()) / 1000.0;
    return (both() - before) / seconds;
}

// Starts a round (Ctrl+S) in the game's window and tells whether its clock
// runs: the right-hand column, where the clock is and nothing else moves,
// changes within 1.5 s.
bool startRound(const Desktop& desktop, PingWatch* window) {
    desktop.run(QStringLiteral("xdotool"), {QStringLiteral("windowactivate"),
                                            QStringLiteral("--sync"),
                                            QString::number(window->window())});
    desktop.run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("ctrl+s")});
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const QSize size = window->size();
    const QRect side(size.width() / 2 + 150, 0, size.width() / 2 - 150, size.height());
    const QByteArray before = window->grab(side);
    std::this_thread::sleep_for(std::chrono::milliseconds(1200));
    const bool moving = window->grab(side) != before;
    if (!moving) std::printf("The game's clock did not run; its figure is void.\n");
    return moving;
}

struct Row {
    QString figure;
    std::vector<double> game, bare;
    double target = 0;  // the ratio allowed; 0 when the row only informs
};

void print(const std::vector<Row>& rows) {
    std::printf("\n%-52s %10s %10s %7s  %s\n", "Figure (median)", "Quintelle", "Bare Qt", "Ratio",
                "Target");
    for (const Row& row : rows) {
        const double g = median(row.game), b = median(row.bare);
        const double ratio = g / b;
        QString verdict;
        if (row.target > 0)
            verdict = std::isnan(ratio) ? QStringLiteral("no figure")
                      : ratio <= row.target
                          ? QStringLiteral("<= %1 met").arg(row.target, 0, 'f', 1)
                          : QStringLiteral("<= %1 MISSED").arg(row.target, 0, 'f', 1);
        std::printf("%-52s %10.2f %10.2f %6.2fx  %s\n", qPrintable(row.figure), g, b, ratio,
                    qPrintable(verdict));
    }
}

// `mechanisms`: each start-up mechanism the program keeps, switched off in
// turn, against the game as built and the bare window, on X: the time to the
// first frame and the peak memory, each start of each row in turn. A
// mechanism that buys less than a tenth of either has no place in the program.
int measureMechanisms() {
    Desktop desktop;
    if (!desktop.ready()) {
        std::printf("No desktop: %s\n", qPrintable(desktop.error()));
        return 1;
    }
    const Program game(QStringLiteral("Quintelle"), QStringLiteral(QUINTELLE_GAME_EXECUTABLE),
                       {{QStringLiteral("quintelle.ini"),
                         QByteArrayLiteral("[quintelle]\r\nName=Bench\r\nUpdate=false\r\n")}});
    const Program bare(QStringLiteral("Bare"), QStringLiteral(QUINTELLE_BARE_WINDOW));
    struct Row {
        const char* name;
        const char* variable;  // set for the row's starts
        const char* value;
        std::vector<double> frame = {}, memory = {};
    };
    // Off: the cache folder cannot be made, so every picture is drawn; libcurl
    // is loaded with the program, as if linked.
    std::vector<Row> rows = {{"as built", nullptr, nullptr},
                             {"pictures drawn at every start", "XDG_CACHE_HOME", "/dev/null/cache"},
                             {"libcurl loaded at start", "LD_PRELOAD", "libcurl.so.4"},
                             {"bare Qt window", nullptr, nullptr}};
    // Twice the starts of the other figures: the differences sought are a
    // tenth, and a busy machine moves single figures by more.
    const QProcessEnvironment x = desktop.environment();
    for (int i = 0; i < 2 * kStarts; ++i)
        for (Row& row : rows) {
            QProcessEnvironment environment = x;
            if (row.variable)
                environment.insert(QString::fromLatin1(row.variable),
                                   QString::fromLatin1(row.value));
            const Start s = startOnce(&row == &rows.back() ? bare : game, environment, &desktop);
            row.frame.push_back(s.frameMs);
            row.memory.push_back(s.peakMiB);
        }
    const double frame = median(rows.front().frame), memory = median(rows.front().memory);
    std::printf("\n%-34s %10s %8s %10s %8s\n", "X, median of each", "frame ms", "vs built",
                "peak MiB", "vs built");
    for (const Row& row : rows) {
        const double f = median(row.frame), m = median(row.memory);
        std::printf("%-34s %10.2f %7.2fx %10.2f %7.2fx\n", row.name, f, f / frame, m, m / memory);
    }
    std::printf("\nLoad average at the end: %s\n", qPrintable(loadAverage()));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc > 1 && QByteArray(argv[1]) == "mechanisms") return measureMechanisms();
    std::printf("Start-up benchmark: %d starts each, load average %s at the start\n", kStarts,
                qPrintable(loadAverage()));

    // The update check off, so the game touches no network.
    const Program game(QStringLiteral("Quintelle"), QStringLiteral(QUINTELLE_GAME_EXECUTABLE),
                       {{QStringLiteral("quintelle.ini"),
                         QByteArrayLiteral("[quintelle]\r\nName=Bench\r\nUpdate=false\r\n")}});
    const Program bare(QStringLiteral("Bare"), QStringLiteral(QUINTELLE_BARE_WINDOW));
    // The same game with its sounds off, which never opens an audio stream:
    // what that adds to the figures above, as information.
    const Program silent(
        QStringLiteral("Quintelle, sounds off"), QStringLiteral(QUINTELLE_GAME_EXECUTABLE),
        {{QStringLiteral("quintelle.ini"),
          QByteArrayLiteral("[quintelle]\r\nName=Bench\r\nUpdate=false\r\nSounds=no\r\n")}});

    std::vector<Row> rows;

    // Offscreen: the environment of the desktop without its display, so
    // neither program finds the machine's sound server or settings.
    QTemporaryDir home;
    QProcessEnvironment offscreen = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS"})
        offscreen.remove(QString::fromLatin1(name));
    offscreen.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    offscreen.insert(QStringLiteral("HOME"), home.path());
    offscreen.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path());
    offscreen.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.path());
    offscreen.insert(QStringLiteral("PULSE_SERVER"),
                     QStringLiteral("unix:") + home.filePath("no-sound"));
    {
        Row quiet{QStringLiteral("offscreen: start to quiet (ms)"), {}, {}, 0};
        Row cpu{QStringLiteral("offscreen: processor time to quiet (ms)"), {}, {}, 0};
        Row memory{QStringLiteral("offscreen: peak resident memory (MiB)"), {}, {}, 0};
        Row silentQuiet{QStringLiteral("offscreen, sounds off: start to quiet (ms)"), {}, {}, 0};
        Row silentMemory{
            QStringLiteral("offscreen, sounds off: peak resident memory (MiB)"), {}, {}, 0};
        for (int i = 0; i < kStarts; ++i)
            for (const Program* program : {&game, &silent, &bare}) {
                const Start s = startOnce(*program, offscreen, nullptr);
                if (program == &silent) {
                    silentQuiet.game.push_back(s.quietMs);
                    silentMemory.game.push_back(s.peakMiB);
                    continue;
                }
                const bool isGame = program == &game;
                (isGame ? quiet.game : quiet.bare).push_back(s.quietMs);
                (isGame ? cpu.game : cpu.bare).push_back(s.cpuMs);
                (isGame ? memory.game : memory.bare).push_back(s.peakMiB);
            }
        silentQuiet.bare = quiet.bare;
        silentMemory.bare = memory.bare;
        rows.insert(rows.end(), {quiet, cpu, memory, silentQuiet, silentMemory});

        // The first start after an install or update, before the drawn art
        // is kept in the cache folder.
        Row first{QStringLiteral("offscreen: first start, no art kept yet (ms)"), {}, {}, 0};
        for (int i = 0; i < kStarts; ++i)
            for (const Program* program : {&game, &bare}) {
                QDir(home.filePath(QStringLiteral(".cache"))).removeRecursively();
                const Start s = startOnce(*program, offscreen, nullptr);
                (program == &game ? first.game : first.bare).push_back(s.quietMs);
            }
        rows.push_back(first);
    }

    if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty()) {
        std::printf("Xvfb is not installed: no figures on X.\n");
    } else {
        Desktop desktop;
        if (!desktop.ready()) {
            std::printf("No desktop: %s\n", qPrintable(desktop.error()));
        } else {
            const QProcessEnvironment x = desktop.environment();
            // The one start-up target: the painted window within 1.5 times a
            // bare window's time; the rest inform.
            Row frame{
                QStringLiteral("X: start to first frame, two pings answered (ms)"), {}, {}, 1.5};
            Row quiet{QStringLiteral("X: start to quiet (ms)"), {}, {}, 0};
            Row cpu{QStringLiteral("X: processor time to first frame (ms)"), {}, {}, 0};
            Row memory{QStringLiteral("X: peak resident memory (MiB)"), {}, {}, 0};
            for (int i = 0; i < kStarts; ++i)
                for (const Program* program : {&game, &bare}) {
                    const Start s = startOnce(*program, x, &desktop);
                    const bool isGame = program == &game;
                    (isGame ? frame.game : frame.bare).push_back(s.frameMs);
                    (isGame ? quiet.game : quiet.bare).push_back(s.quietMs);
                    (isGame ? cpu.game : cpu.bare).push_back(s.cpuMs);
                    (isGame ? memory.game : memory.bare).push_back(s.peakMiB);
                }
            rows.insert(rows.end(), {frame, quiet, cpu, memory});

            // The round clock: Ctrl+S starts a round; the clock bar on the
            // side panel must be seen moving, or the figure is void.
            Row tick{QStringLiteral("X: processor time per clock tick (ms)"), {}, {}, 1.3};
            for (int i = 0; i < kTickRuns; ++i) {
                startOnce(game, x, &desktop, [&](Watched& process, PingWatch* window) {
                    const bool moving = startRound(desktop, window);
                    const double perSecond = cpuPerSecond(process);
                    tick.game.push_back(moving ? perSecond : NAN);
                });
                startOnce(bare, x, &desktop, [&](Watched& process, PingWatch*) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
                    tick.bare.push_back(cpuPerSecond(process));
                });
            }
            rows.push_back(tick);
        }

        // A round left alone with the sounds on, on a desktop with a sound
        // server: the game and the server together, once the round's first
        // cue is long over, against the bare window and the same server.
        Desktop loud({.windowManager = true, .sound = true});
        if (!loud.ready()) {
            std::printf("No desktop with sound: %s\n", qPrintable(loud.error()));
        } else {
            const QProcessEnvironment x = loud.environment();
            const pid_t server = pid_t(loud.soundServerId());
            Row idle{QStringLiteral("X + sound server: idle round, program + server (ms/s)"),
                     {},
                     {},
                     2.0};
            for (int i = 0; i < kTickRuns; ++i) {
                startOnce(game, x, &loud, [&](Watched& process, PingWatch* window) {
                    const bool moving = startRound(loud, window);
                    std::this_thread::sleep_for(std::chrono::seconds(kIdleSettleSeconds));
                    ProcessorTime serverTime(server);
                    const double perSecond = cpuPerSecond(process, &serverTime);
                    idle.game.push_back(moving ? perSecond : NAN);
                });
                startOnce(bare, x, &loud, [&](Watched& process, PingWatch*) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
                    ProcessorTime serverTime(server);
                    idle.bare.push_back(cpuPerSecond(process, &serverTime));
                });
            }
            rows.push_back(idle);
        }
    }

    print(rows);
    std::printf("\nLoad average at the end: %s\n", qPrintable(loadAverage()));
    return 0;
}
