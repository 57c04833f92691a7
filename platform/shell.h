#pragma once
#include <QString>
#include <functional>

namespace quintelle::platform {

// Asks the desktop to run its default action on an address (browser, mail
// program, file manager). True when the desktop accepted it.
bool shellOpen(const QString& address);

// Tests replace the desktop with a recorder; an empty function restores it.
void setShellForTesting(std::function<bool(const QString&)> shell);

}  // namespace quintelle::platform
