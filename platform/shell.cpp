#include "platform/shell.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

namespace quintelle::platform {
namespace {
std::function<bool(const QString&)>& testShell() {
    static std::function<bool(const QString&)> shell;
    return shell;
}
}  // namespace

bool shellOpen(const QString& address) {
    if (testShell()) return testShell()(address);
    // The desktop decides which program opens the address; whether the new
    // window takes the focus is the window manager's call, not ours.
    return QDesktopServices::openUrl(QUrl::fromUserInput(address));
}

bool shellStart(const QString& program, const QStringList& arguments) {
    return QProcess::startDetached(program, arguments);
}

void setShellForTesting(std::function<bool(const QString&)> shell) {
    testShell() = std::move(shell);
}

}  // namespace quintelle::platform
