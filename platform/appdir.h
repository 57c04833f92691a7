#pragma once
#include <QString>

namespace quintelle::platform {

// The folder of the running executable, with its trailing separator: where
// the settings and tally files live (never the current directory).
QString executableFolder();

// Tests point the program at a temporary folder instead.
void setExecutableFolder(const QString& folder);

}  // namespace quintelle::platform
