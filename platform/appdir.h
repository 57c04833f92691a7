#pragma once
#include <QString>

namespace quintelle::platform {

// The folder of the running executable, with its trailing separator: where
// the settings and tally files live (never the current directory).
QString executableFolder();

// The running executable's full path: its file name in executableFolder().
QString executablePath();

// Tests point the program at a temporary folder instead, and may give the
// executable another name there.
void setExecutableFolder(const QString& folder);
void setExecutableName(const QString& name);

}  // namespace quintelle::platform
