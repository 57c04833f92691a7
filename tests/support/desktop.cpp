#include "tests/support/desktop.h"

#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <algorithm>
#include <cmath>

// Last: Xlib's macros (None, Bool, Status...) clash with Qt's names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace quintelle::testing {

namespace {

// The X connection the harness uses to read geometry and to ask a window to
// close; one per call keeps it simple and leaves nothing open between calls.
class XConnection {
  public:
    explicit XConnection(const QString& display)
        : display_(XOpenDisplay(display.toLocal8Bit().constData())) {}
    ~XConnection() {
        if (display_) XCloseDisplay(display_);
    }
    XConnection(const XConnection&) = delete;
    XConnection& operator=(const XConnection&) = delete;
    Display* get() const { return display_; }
    Atom atom(const char* name) const { return XInternAtom(display_, name, False); }

  private:
    Display* display_;
};

int silentXErrors(Display*, XErrorEvent*) {
    return 0;  // a window that went away between two calls is not our error
}

bool hasProperty(const XConnection& x, Window window, const char* property) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const bool found =
        XGetWindowProperty(x.get(), window, x.atom(property), 0, 1, False, AnyPropertyType, &type,
                           &format, &count, &after, &data) == Success &&
        type != None;
    if (data) XFree(data);
    return found;
}

std::vector<long> cardinals(const XConnection& x, Window window, const char* property) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::vector<long> values;
    if (XGetWindowProperty(x.get(), window, x.atom(property), 0, 16, False, XA_CARDINAL, &type,
                           &format, &count, &after, &data) == Success &&
        data && format == 32) {
        const long* longs = reinterpret_cast<const long*>(data);
        values.assign(longs, longs + count);
    }
    if (data) XFree(data);
    return values;
}

}  // namespace

// --- sound analysis ---------------------------------------------------------

std::vector<Recording::Sound> Recording::sounds(double threshold, double minSilence) const {
    std::vector<Sound> found;
    if (rate <= 0) return found;
    const size_t window = std::max<size_t>(1, size_t(rate) / 200);  // 5 ms
    const double limit = threshold * 32768.0;
    double silentFor = minSilence;  // the recording starts in silence
    double lastLoud = 0;
    for (size_t start = 0; start + window <= samples.size(); start += window) {
        double sum = 0;
        for (size_t i = start; i < start + window; ++i) sum += double(samples[i]) * samples[i];
        const bool loud = std::sqrt(sum / double(window)) >= limit;
        const double at = double(start) / rate;
        if (loud && silentFor >= minSilence) {
            if (!found.empty()) found.back().end = lastLoud;
            found.push_back({at, at});
        }
        if (loud) lastLoud = at + double(window) / rate;
        silentFor = loud ? 0.0 : silentFor + double(window) / rate;
    }
    if (!found.empty()) found.back().end = lastLoud;
    return found;
}

std::vector<double> Recording::onsets(double threshold, double minSilence) const {
    std::vector<double> starts;
    for (const Sound& sound : sounds(threshold, minSilence)) starts.push_back(sound.start);
    return starts;
}

std::optional<Recording> decodeWave(const QByteArray& riff) {
    auto u16 = [&](qsizetype at) {
        return quint32(quint8(riff[at])) | quint32(quint8(riff[at + 1])) << 8;
    };
    auto u32 = [&](qsizetype at) { return u16(at) | u16(at + 2) << 16; };
    if (riff.size() < 12 || !riff.startsWith("RIFF") || riff.mid(8, 4) != "WAVE") return {};
    int channels = 0, bits = 0;
    Recording wave;
    for (qsizetype at = 12; at + 8 <= riff.size();) {
        const QByteArray id = riff.mid(at, 4);
        const qsizetype size = u32(at + 4);
        const qsizetype body = at + 8;
        if (size > riff.size() - body) return {};
        if (id == "fmt " && size >= 16) {
            if (u16(body) != 1) return {};  // PCM only
            channels = int(u16(body + 2));
            wave.rate = int(u32(body + 4));
            bits = int(u16(body + 14));
        } else if (id == "data") {
            if (channels <= 0 || (bits != 8 && bits != 16)) return {};
            const qsizetype frame = channels * bits / 8;
            for (qsizetype f = body; f + frame <= body + size; f += frame) {
                int sum = 0;
                for (int c = 0; c < channels; ++c) {
                    sum += bits == 8 ? (int(quint8(riff[f + c])) - 128) << 8
                                     : int(qint16(u16(f + 2 * c)));
                }
                wave.samples.push_back(qint16(sum / channels));
            }
            return wave;
        }
        at = body + size + (size & 1);
    }
    return {};
}

QString matchOnsets(const std::vector<double>& requested, const std::vector<double>& onsets,
                    double tolerance) {
    auto list = [](const std::vector<double>& times) {
        QStringList texts;
        for (double t : times) texts << QString::number(t, 'f', 2);
        return texts.join(u' ');
    };
    const QString both =
        QStringLiteral(" (requested at %1; onsets at %2)").arg(list(requested), list(onsets));
    if (requested.empty()) {
        return onsets.empty() ? QString() : QStringLiteral("sound without a request") + both;
    }
    if (onsets.empty()) return QStringLiteral("no sound at all") + both;
    for (size_t i = 0; i < requested.size(); ++i) {
        if (i >= onsets.size())
            return QStringLiteral("cue %1 of %2 is silent").arg(i + 1).arg(requested.size()) + both;
        const double expected = onsets[0] + (requested[i] - requested[0]);
        if (std::abs(onsets[i] - expected) > tolerance)
            return QStringLiteral("cue %1 sounded at %2 s, expected about %3 s")
                       .arg(i + 1)
                       .arg(onsets[i], 0, 'f', 2)
                       .arg(expected, 0, 'f', 2) +
                   both;
    }
    if (onsets.size() > requested.size())
        return QStringLiteral("%1 onsets for %2 cues").arg(onsets.size()).arg(requested.size()) +
               both;
    return {};
}

// --- the desktop --------------------------------------------------------------

bool waitUntil(const std::function<bool()>& condition, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        if (condition()) return true;
        if (deadline.hasExpired()) return false;
        // Processes' state changes arrive as events.
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(20);
    }
}

Desktop::Desktop(DesktopOptions options) : options_(options) {
    if (!folder_.isValid()) {
        error_ = QStringLiteral("no temporary folder");
        return;
    }
    for (const char* sub : {"home", "run", "pulse"}) {
        QDir(folder_.path()).mkpath(QString::fromLatin1(sub));
        QFile::setPermissions(folder_.filePath(QString::fromLatin1(sub)),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    pulseSocket_ = folder_.filePath(QStringLiteral("pulse/native"));
    if (!startX()) return;
    if (options_.windowManager && !startWindowManager()) return;
    if (options_.sound && !startSound()) return;
}

Desktop::~Desktop() {
    // Last started, first stopped; each is asked politely, then killed.
    for (auto* process : {&recorder_, &pulse_, &wm_, &x_}) {
        if (!*process || (*process)->state() == QProcess::NotRunning) continue;
        (*process)->terminate();
        if (!(*process)->waitForFinished(5000)) {
            (*process)->kill();
            (*process)->waitForFinished(5000);
        }
    }
}

std::unique_ptr<QProcess> Desktop::launch(const QString& program, const QStringList& arguments,
                                          const QProcessEnvironment& environment,
                                          const QString& outputFile) const {
    auto process = std::make_unique<QProcess>();
    if (!outputFile.isEmpty()) process->setStandardOutputFile(outputFile);
    process->setProgram(program);
    process->setArguments(arguments);
    process->setProcessEnvironment(environment);
    process->setWorkingDirectory(folder_.path());
    // Whatever the test does, nothing it started outlives it.
    process->setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
    process->start();
    process->waitForStarted(10000);
    return process;
}

QProcessEnvironment Desktop::environment() const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display_);
    env.insert(QStringLiteral("HOME"), folder_.filePath(QStringLiteral("home")));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), folder_.filePath(QStringLiteral("run")));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), folder_.filePath(QStringLiteral("home")));
    env.insert(QStringLiteral("PULSE_RUNTIME_PATH"), folder_.filePath(QStringLiteral("pulse")));
    env.insert(QStringLiteral("PULSE_STATE_PATH"), folder_.filePath(QStringLiteral("pulse")));
    // Without a sound server of our own the socket does not exist: programs
    // meet a machine without sound, never the host's server.
    env.insert(QStringLiteral("PULSE_SERVER"), QStringLiteral("unix:") + pulseSocket_);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    // Requests go straight to the servers the tests start, never via a proxy.
    for (const char* proxy : {"http_proxy", "HTTP_PROXY", "all_proxy", "ALL_PROXY"})
        env.remove(QString::fromLatin1(proxy));
    env.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
    return env;
}

std::optional<QByteArray> Desktop::run(const QString& program, const QStringList& arguments,
                                       int timeoutMs) const {
    auto process = launch(program, arguments, environment());
    if (!process->waitForFinished(timeoutMs)) {
        process->kill();
        process->waitForFinished(2000);
        return {};
    }
    if (process->exitStatus() != QProcess::NormalExit || process->exitCode() != 0) return {};
    return process->readAllStandardOutput();
}

bool Desktop::startX() {
    // -displayfd 1: the server picks a free display and tells us on stdout.
    x_ = launch(
        QStringLiteral("Xvfb"),
        {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
         QStringLiteral("0"),
         QStringLiteral("%1x%2x24").arg(options_.screen.width()).arg(options_.screen.height()),
         QStringLiteral("-nolisten"), QStringLiteral("tcp"), QStringLiteral("-noreset")},
        QProcessEnvironment::systemEnvironment());
    QByteArray number;
    const bool told = waitUntil(
        [&] {
            x_->waitForReadyRead(20);
            number += x_->readAllStandardOutput();
            return number.contains('\n') || x_->state() == QProcess::NotRunning;
        },
        20000);
    if (!told || !number.contains('\n')) {
        error_ = QStringLiteral("Xvfb did not start: ") +
                 QString::fromLocal8Bit(x_->readAllStandardError());
        return false;
    }
    display_ = QStringLiteral(":") + QString::fromLatin1(number.trimmed());
    return true;
}

bool Desktop::startWindowManager() {
    wm_ = launch(QStringLiteral("openbox"), {}, environment());
    // The manager is up once it has announced itself on the root window.
    const bool up = waitUntil(
        [&] {
            XConnection x(display_);
            return x.get() &&
                   hasProperty(x, DefaultRootWindow(x.get()), "_NET_SUPPORTING_WM_CHECK");
        },
        20000);
    if (!up) {
        error_ = QStringLiteral("openbox did not start: ") +
                 QString::fromLocal8Bit(wm_->readAllStandardError());
        return false;
    }
    return true;
}

bool Desktop::startSound() {
    const QProcessEnvironment env = environment();
    // -n: none of the machine's configuration, only a socket of our own
    // and a null sink; no idle exit, so it waits for the game.
    pulse_ = launch(
        QStringLiteral("pulseaudio"),
        {QStringLiteral("-n"), QStringLiteral("--daemonize=no"),
         QStringLiteral("--exit-idle-time=-1"), QStringLiteral("--disallow-exit"),
         QStringLiteral("--use-pid-file=no"), QStringLiteral("--log-target=stderr"),
         QStringLiteral("-L"),
         QStringLiteral("module-native-protocol-unix auth-anonymous=1 socket=") + pulseSocket_,
         QStringLiteral("-L"), QStringLiteral("module-null-sink sink_name=recorded")},
        env);
    const bool up = waitUntil(
        [&] {
            if (pulse_->state() == QProcess::NotRunning) return true;
            return QFile::exists(pulseSocket_) &&
                   run(QStringLiteral("pactl"), {QStringLiteral("info")}, 5000).has_value();
        },
        20000);
    if (!up || pulse_->state() == QProcess::NotRunning) {
        error_ = QStringLiteral("pulseaudio did not start: ") +
                 QString::fromLocal8Bit(pulse_->readAllStandardError());
        return false;
    }
    return true;
}

qint64 Desktop::soundServerId() const {
    return pulse_ ? pulse_->processId() : 0;
}

bool Desktop::startRecording() {
    if (!pulse_) return false;
    recorder_ =
        launch(QStringLiteral("parec"),
               {QStringLiteral("--device=recorded.monitor"), QStringLiteral("--raw"),
                QStringLiteral("--format=s16le"), QStringLiteral("--channels=1"),
                QStringLiteral("--rate=%1").arg(kRecordRate), QStringLiteral("--latency-msec=10")},
               environment(), folder_.filePath(QStringLiteral("recording.raw")));
    // Recording has begun once the monitor delivers its first silence.
    const bool recording = waitUntil(
        [&] {
            return recorder_->state() == QProcess::Running &&
                   QFileInfo(folder_.filePath(QStringLiteral("recording.raw"))).size() > 0;
        },
        10000);
    if (!recording)
        error_ = QStringLiteral("parec did not record: ") +
                 QString::fromLocal8Bit(recorder_->readAllStandardError());
    return recording;
}

Recording Desktop::stopRecording() {
    Recording recording;
    if (!recorder_) return recording;
    recorder_->terminate();
    if (!recorder_->waitForFinished(5000)) recorder_->kill();
    recorder_->waitForFinished(2000);
    recorder_.reset();
    QFile raw(folder_.filePath(QStringLiteral("recording.raw")));
    if (!raw.open(QIODevice::ReadOnly)) return recording;
    const QByteArray bytes = raw.readAll();
    recording.rate = kRecordRate;
    recording.samples.resize(size_t(bytes.size() / 2));
    for (size_t i = 0; i < recording.samples.size(); ++i)
        recording.samples[i] = qint16(quint8(bytes[qsizetype(2 * i)]) |
                                      quint16(quint8(bytes[qsizetype(2 * i + 1)])) << 8);
    return recording;
}

QImage Desktop::screenshot() const {
    const auto png =
        run(QStringLiteral("import"),
            {QStringLiteral("-window"), QStringLiteral("root"), QStringLiteral("png:-")});
    return png ? QImage::fromData(*png, "PNG") : QImage();
}

unsigned long Desktop::findWindow(qint64 pid, const QString& title) const {
    const auto found = findWindows(pid, title);
    return found.empty() ? 0 : found.front();
}

std::vector<unsigned long> Desktop::findWindows(qint64 pid, const QString& title) const {
    // xdotool takes a POSIX extended expression; the title is matched as it is.
    QString pattern = QStringLiteral("^");
    for (const QChar c : title) {
        if (QStringLiteral(".[]()*+?{}|^$\\").contains(c)) pattern += u'\\';
        pattern += c;
    }
    pattern += u'$';
    const auto found =
        run(QStringLiteral("xdotool"),
            {QStringLiteral("search"), QStringLiteral("--all"), QStringLiteral("--onlyvisible"),
             QStringLiteral("--pid"), QString::number(pid), QStringLiteral("--name"), pattern},
            5000);
    std::vector<unsigned long> windows;
    if (!found) return windows;
    for (const QByteArray& line : found->trimmed().split('\n'))
        if (const unsigned long id = line.toULong()) windows.push_back(id);
    return windows;
}

QImage Desktop::grabWindow(unsigned long window) const {
    XConnection x(display_);
    if (!x.get() || !window) return {};
    XSetErrorHandler(silentXErrors);
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(x.get(), window, &attributes) || attributes.map_state != IsViewable)
        return {};
    XImage* image = XGetImage(x.get(), window, 0, 0, unsigned(attributes.width),
                              unsigned(attributes.height), AllPlanes, ZPixmap);
    if (!image) return {};
    QImage grabbed(attributes.width, attributes.height, QImage::Format_RGB32);
    for (int y = 0; y < attributes.height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(grabbed.scanLine(y));
        for (int x0 = 0; x0 < attributes.width; ++x0) {
            const unsigned long pixel = XGetPixel(image, x0, y);
            line[x0] = qRgb(int((pixel >> 16) & 0xff), int((pixel >> 8) & 0xff), int(pixel & 0xff));
        }
    }
    XDestroyImage(image);
    return grabbed;
}

// --- the game ---------------------------------------------------------------

QString copyProgram(const QString& executable, const QString& folder) {
    const QFileInfo built(executable);
    const QString copied = QDir(folder).filePath(built.fileName());
    QFile::copy(executable, copied);
    return copied;
}

GameProcess::GameProcess(Desktop& desktop, const QString& executable)
    : desktop_(desktop),
      executable_(copyProgram(executable, folder_.path())),
      environment_(desktop.environment()) {
    writeSettings({QStringLiteral("Update=false")});
}

GameProcess::~GameProcess() {
    if (process_ && process_->state() != QProcess::NotRunning) {
        process_->kill();
        process_->waitForFinished(5000);
    }
}

QString GameProcess::builtGame() {
    return QStringLiteral(QUINTELLE_GAME_EXECUTABLE);
}

void GameProcess::writeFile(const QString& name, const QByteArray& content) const {
    QFile file(folder_.filePath(name));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) file.write(content);
}

void GameProcess::writeSettings(const QStringList& lines) const {
    QByteArray text = "[quintelle]\r\n";
    for (const QString& line : lines) text += line.toLocal8Bit() + "\r\n";
    writeFile(QStringLiteral("quintelle.ini"), text);
}

std::optional<QByteArray> GameProcess::readFile(const QString& name) const {
    QFile file(folder_.filePath(name));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

void GameProcess::setEnvironment(const QString& name, const QString& value) {
    environment_.insert(name, value);
}

bool GameProcess::start(int timeoutMs) {
    process_ = std::make_unique<QProcess>();
    process_->setProgram(executable_);
    process_->setProcessEnvironment(environment_);
    process_->setWorkingDirectory(folder_.path());
    process_->setProcessChannelMode(QProcess::MergedChannels);
    process_->setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
    process_->start();
    if (!process_->waitForStarted(timeoutMs)) return false;
    const QString pid = QString::number(process_->processId());
    window_ = 0;
    boardFrameIn_ = QSize();
    const bool mapped = waitUntil(
        [&] {
            if (process_->state() == QProcess::NotRunning) return true;
            const auto found =
                desktop_.run(QStringLiteral("xdotool"),
                             {QStringLiteral("search"), QStringLiteral("--all"),
                              QStringLiteral("--onlyvisible"), QStringLiteral("--pid"), pid,
                              QStringLiteral("--name"), QStringLiteral("^Quintelle$")},
                             5000);
            if (!found || found->trimmed().isEmpty()) return false;
            window_ = found->trimmed().split('\n').first().toULong();
            return window_ != 0;
        },
        timeoutMs);
    if (!mapped || !window_) return false;
    if (desktop_.hasWindowManager()) {
        const bool framed = waitUntil(
            [&] {
                XConnection x(desktop_.display());
                return x.get() && cardinals(x, window_, "_NET_FRAME_EXTENTS").size() == 4;
            },
            timeoutMs);
        if (!framed) return false;
        desktop_.run(
            QStringLiteral("xdotool"),
            {QStringLiteral("windowactivate"), QStringLiteral("--sync"), QString::number(window_)},
            5000);
    } else {
        desktop_.run(QStringLiteral("xdotool"),
                     {QStringLiteral("windowfocus"), QString::number(window_)}, 5000);
    }
    // The window may still take its size from its frame just mapped: a test
    // clicks the board once it rests, painted, for a tenth of a second.
    QRect last;
    int resting = 0;
    waitUntil(
        [&] {
            const QRect now = geometry().client;
            resting = now == last ? resting + 1 : 0;
            last = now;
            return resting >= 5 && !boardFrame().isEmpty();
        },
        5000);
    return true;
}

bool GameProcess::running() const {
    return process_ && process_->state() != QProcess::NotRunning;
}

qint64 GameProcess::peakMemoryKiB() const {
    QFile status(QStringLiteral("/proc/%1/status").arg(processId()));
    if (!processId() || !status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').first().toLongLong();
    return 0;
}

namespace {
qint64 steadyMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
}  // namespace

PingProbe::PingProbe(const Desktop& desktop, unsigned long window, int intervalMs)
    : thread_(&PingProbe::run, this, desktop.display(), window, intervalMs) {}

PingProbe::~PingProbe() {
    stop_ = true;
    thread_.join();
}

double PingProbe::worstMs() const {
    const qint64 since = pendingSinceMs_;
    return std::max(worstMs_.load(), since < 0 ? 0.0 : double(steadyMs() - since));
}

void PingProbe::run(const QString& display, unsigned long window, int intervalMs) {
    XConnection x(display);
    if (!x.get()) return;
    XSetErrorHandler(silentXErrors);
    const Window root = DefaultRootWindow(x.get());
    const Atom protocols = x.atom("WM_PROTOCOLS"), ping = x.atom("_NET_WM_PING");
    // The answer goes to the root window, for its listeners to structure
    // notices (as Qt sends it) or substructure ones (as window managers expect).
    XSelectInput(x.get(), root, StructureNotifyMask | SubstructureNotifyMask);
    long stamp = 0;
    qint64 nextPingMs = steadyMs();
    const int fd = ConnectionNumber(x.get());
    while (!stop_) {
        if (pendingSinceMs_ < 0 && steadyMs() >= nextPingMs) {
            XEvent event{};
            event.xclient.type = ClientMessage;
            event.xclient.window = window;
            event.xclient.message_type = protocols;
            event.xclient.format = 32;
            event.xclient.data.l[0] = long(ping);
            event.xclient.data.l[1] = ++stamp;
            event.xclient.data.l[2] = long(window);
            pendingSinceMs_ = steadyMs();
            XSendEvent(x.get(), window, False, NoEventMask, &event);
            XFlush(x.get());
        }
        pollfd wait{fd, POLLIN, 0};
        if (!XPending(x.get())) ::poll(&wait, 1, 10);
        while (XPending(x.get())) {
            XEvent event;
            XNextEvent(x.get(), &event);
            const qint64 since = pendingSinceMs_;
            if (event.type == ClientMessage && event.xclient.message_type == protocols &&
                Atom(event.xclient.data.l[0]) == ping && event.xclient.data.l[1] == stamp &&
                since >= 0) {
                const double took = double(steadyMs() - since);
                worstMs_ = std::max(worstMs_.load(), took);
                ++answered_;
                pendingSinceMs_ = -1;
                nextPingMs = steadyMs() + intervalMs;
            }
        }
    }
}

qint64 GameProcess::processId() const {
    return process_ ? process_->processId() : 0;
}

QImage GameProcess::grab() const {
    return desktop_.grabWindow(window_);
}

GameProcess::Geometry GameProcess::geometry() const {
    return geometryOf(window_);
}

GameProcess::Geometry GameProcess::geometryOf(unsigned long window) const {
    Geometry g;
    XConnection x(desktop_.display());
    if (!x.get() || !window) return g;
    XSetErrorHandler(silentXErrors);
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(x.get(), window, &attributes)) return g;
    int rootX = 0, rootY = 0;
    Window child = 0;
    XTranslateCoordinates(x.get(), window, DefaultRootWindow(x.get()), 0, 0, &rootX, &rootY,
                          &child);
    g.client = QRect(rootX, rootY, attributes.width, attributes.height);
    g.frame = g.client;
    const std::vector<long> extents = cardinals(x, window, "_NET_FRAME_EXTENTS");
    if (extents.size() == 4)  // left, right, top, bottom
        g.frame.adjust(-int(extents[0]), -int(extents[2]), int(extents[1]), int(extents[3]));
    return g;
}

GameProcess::Geometry GameProcess::waitForGeometry(
    const std::function<bool(const Geometry&)>& condition, int timeoutMs) const {
    Geometry last;
    waitUntil(
        [&] {
            last = geometry();
            return condition(last);
        },
        timeoutMs);
    return last;
}

void GameProcess::click(QPoint at) const {
    desktop_.run(QStringLiteral("xdotool"),
                 {QStringLiteral("mousemove"), QStringLiteral("--window"), QString::number(window_),
                  QString::number(at.x()), QString::number(at.y()), QStringLiteral("click"),
                  QStringLiteral("1")});
}

void GameProcess::key(const QString& keys) const {
    desktop_.run(QStringLiteral("xdotool"),
                 {QStringLiteral("key"), QStringLiteral("--clearmodifiers"), keys});
}

void GameProcess::type(const QString& text) const {
    desktop_.run(QStringLiteral("xdotool"),
                 {QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("20"), text});
}

int GameProcess::menuBarHeight() const {
    // A window just mapped may not be painted yet.
    int height = 0;
    waitUntil([&] { return (height = paintedMenuBarHeight()) > 0; }, 10000);
    return height;
}

namespace {

// The board's frame is a dark green line; the wood and the menu bar have none.
bool isBoardFrame(QRgb pixel) {
    return qGreen(pixel) > qRed(pixel) + 30 && qGreen(pixel) > qBlue(pixel) + 30;
}

constexpr QSize kDesignBoardFrame{671, 577};  // its size at scale 1
constexpr QPoint kDesignBoardCorner{2, 5};   // below the menu bar, at scale 1
constexpr QSize kDesignBoard{676, 582};      // the area it is centred in

}  // namespace

QRect GameProcess::boardFrame() const {
    // Found from outside in: along the middle row and column, the first frame
    // pixel from each edge. It moves only when the window is resized.
    const QSize size = geometry().client.size();
    if (size == boardFrameIn_) return boardFrame_;
    const QImage shot = grab();
    if (shot.isNull() || shot.size() != size) return {};
    const int midX = shot.width() / 2, midY = shot.height() / 2;
    auto first = [&](int from, int to, int step, auto pixelAt) {
        for (int i = from; i != to; i += step)
            if (isBoardFrame(pixelAt(i))) return i;
        return -1;
    };
    const int top = first(0, shot.height(), 1, [&](int y) { return shot.pixel(midX, y); });
    const int bottom =
        first(shot.height() - 1, -1, -1, [&](int y) { return shot.pixel(midX, y); });
    const int left = first(0, shot.width(), 1, [&](int x) { return shot.pixel(x, midY); });
    const int right = first(shot.width() - 1, -1, -1, [&](int x) { return shot.pixel(x, midY); });
    if (top < 0 || bottom < 0 || left < 0 || right < 0) return {};
    boardFrame_ = QRect(QPoint(left, top), QPoint(right, bottom));
    boardFrameIn_ = shot.size();
    return boardFrame_;
}

double GameProcess::boardScale() const {
    const QRect frame = boardFrame();
    return double(frame.width()) / kDesignBoardFrame.width();
}

int GameProcess::paintedMenuBarHeight() const {
    const QRect frame = boardFrame();
    if (frame.isEmpty()) return 0;
    const double scale = double(frame.width()) / kDesignBoardFrame.width();
    const int height = desktop_.grabWindow(window_).height();
    // The program rounds the board's corner down; the scale read from the
    // frame's width may be a little off either way.
    const int gapAbove = int(std::floor(kDesignBoardCorner.y() * scale + 0.01));
    // The board is centred below the menu bar: when it fills the width, the
    // space above and below it is shared equally.
    const bool fillsWidth = frame.left() <= int(std::floor(kDesignBoardCorner.x() * scale + 0.01)) + 1;
    if (!fillsWidth) return frame.top() - gapAbove;
    const int boardHeight = int(std::lround(kDesignBoard.height() * scale));
    return 2 * (frame.top() - gapAbove) - (height - boardHeight);
}

QPoint GameProcess::cellCentre(int row, int column) const {
    // The cells lie on the inner board at 75-pixel columns and 100-pixel rows.
    return onBoard(QPoint(9 + 35 + 75 * (column - 1), 8 + 48 + 100 * (row - 1)));
}

QPoint GameProcess::startButton() const {
    return onBoard(QPoint(494 + 60, 462 + 20));
}

QPoint GameProcess::onBoard(QPoint inner) const {
    // The inner board lies at (6, 33) of the outer one, whose frame is painted.
    const QRect frame = boardFrame();
    const double scale = double(frame.width()) / kDesignBoardFrame.width();
    return frame.topLeft() + (QPointF(inner + QPoint(6, 33)) * scale).toPoint();
}

void GameProcess::moveFrame(QPoint topLeft) const {
    desktop_.run(QStringLiteral("xdotool"),
                 {QStringLiteral("windowmove"), QStringLiteral("--sync"), QString::number(window_),
                  QString::number(topLeft.x()), QString::number(topLeft.y())});
}

void GameProcess::resizeWindow(QSize client) const {
    desktop_.run(QStringLiteral("xdotool"),
                 {QStringLiteral("windowsize"), QString::number(window_),
                  QString::number(client.width()), QString::number(client.height())});
}

void GameProcess::close() const {
    // WM_DELETE_WINDOW, the message a title bar's close button sends.
    XConnection x(desktop_.display());
    if (!x.get() || !window_) return;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window_;
    event.xclient.message_type = x.atom("WM_PROTOCOLS");
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(x.atom("WM_DELETE_WINDOW"));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(x.get(), window_, False, NoEventMask, &event);
    XSync(x.get(), False);
}

std::optional<int> GameProcess::waitForExit(int timeoutMs) {
    if (!process_) return {};
    // A process that ended while the test was handling events has ended
    // already; waiting for it again would say it did not.
    if (process_->state() != QProcess::NotRunning && !process_->waitForFinished(timeoutMs)) {
        output_ += process_->readAll();
        process_->kill();
        process_->waitForFinished(5000);
        return {};
    }
    output_ += process_->readAll();
    if (process_->exitStatus() != QProcess::NormalExit) return {};
    return process_->exitCode();
}

QString GameProcess::output() const {
    if (process_) output_ += process_->readAll();
    return QString::fromLocal8Bit(output_);
}

}  // namespace quintelle::testing
