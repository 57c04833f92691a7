#include "tests/support/screenreader.h"

#include <signal.h>
#include <sys/prctl.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include "tests/support/desktop.h"

namespace quintelle::testing {

namespace {

// Orca writes its log through an 8 KB buffer; read that way, the test would
// hear each utterance only pages later. Python runs this at Orca's start and
// opens the log line by line.
constexpr char kLineBufferedLog[] = R"(import builtins
_open = builtins.open
def _lined(file, mode='r', buffering=-1, *args, **kwargs):
    if isinstance(file, str) and file.endswith('orca.debug') and 'w' in mode:
        buffering = 1
    return _open(file, mode, buffering, *args, **kwargs)
builtins.open = _lined
)";

QString logPath(const QTemporaryDir& folder) {
    return folder.filePath(QStringLiteral("orca.debug"));
}

}  // namespace

std::unique_ptr<QProcess> ScreenReader::launch(const QString& program,
                                               const QStringList& arguments,
                                               const QProcessEnvironment& environment) const {
    auto process = std::make_unique<QProcess>();
    process->setProgram(program);
    process->setArguments(arguments);
    process->setProcessEnvironment(environment);
    process->setWorkingDirectory(folder_.path());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(folder_.filePath(program.section(u'/', -1) + QStringLiteral(".log")));
    process->setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
    process->start();
    process->waitForStarted(10000);
    return process;
}

QProcessEnvironment ScreenReader::environment() const {
    QProcessEnvironment env = desktop_.environment();
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("unix:path=") + bus_);
    env.insert(QStringLiteral("PYTHONPATH"), folder_.filePath(QStringLiteral("python")));
    return env;
}

ScreenReader::ScreenReader(Desktop& desktop) : desktop_(desktop) {
    if (!folder_.isValid() || !desktop.ready()) {
        error_ = QStringLiteral("no folder or no desktop");
        return;
    }
    bus_ = folder_.filePath(QStringLiteral("bus"));
    QDir(folder_.path()).mkpath(QStringLiteral("python"));
    QFile site(folder_.filePath(QStringLiteral("python/sitecustomize.py")));
    if (!site.open(QIODevice::WriteOnly) || site.write(kLineBufferedLog) < 0) {
        error_ = QStringLiteral("cannot write ") + site.fileName();
        return;
    }
    site.close();
    const QProcessEnvironment env = environment();
    sessionBus_ = launch(QStringLiteral("dbus-daemon"),
                         {QStringLiteral("--session"), QStringLiteral("--nofork"),
                          QStringLiteral("--address=unix:path=") + bus_},
                         env);
    if (!waitUntil([&] { return QFile::exists(bus_); }, 10000)) {
        error_ = QStringLiteral("no session bus");
        return;
    }
    // The accessibility bus, started by us so it ends with us; it starts the
    // registry when the first program asks for it.
    accessibilityBus_ = launch(QStringLiteral("/usr/libexec/at-spi-bus-launcher"),
                               {QStringLiteral("--launch-immediately")}, env);
    orca_ = launch(QStringLiteral("orca"),
                   {QStringLiteral("--debug-file=") + logPath(folder_)},
                   env);
    if (!waitForSpeech(QStringLiteral("Screen reader on"), 30000)) {
        QFile log(folder_.filePath(QStringLiteral("orca.log")));
        log.open(QIODevice::ReadOnly);
        error_ = QStringLiteral("Orca did not start: ") + QString::fromLocal8Bit(log.readAll().right(2000));
    }
}

ScreenReader::~ScreenReader() {
    for (auto* process : {&orca_, &accessibilityBus_, &sessionBus_}) {
        if (!*process || (*process)->state() == QProcess::NotRunning) continue;
        (*process)->terminate();
        if (!(*process)->waitForFinished(5000)) {
            (*process)->kill();
            (*process)->waitForFinished(5000);
        }
    }
}

void ScreenReader::attach(GameProcess& game) const {
    game.setEnvironment(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                        QStringLiteral("unix:path=") + bus_);
    game.setEnvironment(QStringLiteral("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"), QStringLiteral("1"));
}

QStringList ScreenReader::spoken() const {
    QFile log(logPath(folder_));
    if (!log.open(QIODevice::ReadOnly)) return {};
    // "SPEECH OUTPUT: 'text'" then the voice, "{'family': ...}"; a text may
    // run over several lines.
    static const QRegularExpression utterance(
        QStringLiteral("SPEECH OUTPUT: '(.*?)'(?: voice=\\w+)?\\s*\\{'"),
        QRegularExpression::DotMatchesEverythingOption);
    QStringList said;
    const QString text = QString::fromUtf8(log.readAll());
    for (auto it = utterance.globalMatch(text); it.hasNext();)
        said << it.next().captured(1).trimmed();
    return said;
}

bool ScreenReader::waitForSpeech(const QString& text, int timeoutMs, qsizetype from) const {
    return waitUntil(
        [&] {
            const QStringList said = spoken();
            for (qsizetype i = from; i < said.size(); ++i)
                if (said[i].contains(text)) return true;
            return false;
        },
        timeoutMs);
}

}  // namespace quintelle::testing
