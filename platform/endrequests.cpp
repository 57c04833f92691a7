#include "platform/endrequests.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>
#include <cerrno>

namespace quintelle::platform {
namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

// The pipe the handler writes to; one for the process, as the handlers are.
int wakeFds[2] = {-1, -1};

void onSignal(int signal) {
    const int saved = errno;
    const char byte = char(signal);
    // A full pipe already holds a request waiting to be read.
    [[maybe_unused]] const ssize_t written = write(wakeFds[1], &byte, 1);
    errno = saved;
}

// A signal the program was started with ignored (`nohup` ignores SIGHUP) is
// left ignored.
void handleSignals(void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : kSignals) {
        struct sigaction was {};
        if (sigaction(signal, nullptr, &was) == 0 && was.sa_handler != SIG_IGN)
            sigaction(signal, &action, nullptr);
    }
}

}  // namespace

EndRequests::EndRequests() {
    if (wakeFds[0] < 0 && pipe2(wakeFds, O_CLOEXEC | O_NONBLOCK) != 0) return;
    handleSignals(onSignal);
}

EndRequests::~EndRequests() {
    listener_.reset();
    handleSignals(SIG_DFL);
}

void EndRequests::answerWith(std::function<void()> end) {
    if (wakeFds[0] < 0) return;
    auto* notifier = new QSocketNotifier(wakeFds[0], QSocketNotifier::Read);
    listener_.reset(notifier);
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [end] {
        char drained[64];
        while (read(wakeFds[0], drained, sizeof drained) > 0) {
        }
        end();
    });
    // At a logout the session manager waits for the program to say it has
    // saved, which Qt says once this returns.
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        QObject::connect(app, &QGuiApplication::commitDataRequest, notifier,
                         [end](QSessionManager&) { end(); });
}

}  // namespace quintelle::platform
