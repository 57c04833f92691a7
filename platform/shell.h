#pragma once
#include <QString>
#include <QStringList>
#include <functional>

namespace quintelle::platform {

// Asks the desktop to run its default action on an address (browser, mail
// program, file manager). True when the desktop accepted it.
bool shellOpen(const QString& address);

// Starts a program that outlives us, with its own arguments. True when it
// started.
bool shellStart(const QString& program, const QStringList& arguments);

// Tests replace the desktop with a recorder; an empty function restores it.
void setShellForTesting(std::function<bool(const QString&)> shell);

}  // namespace quintelle::platform
