#pragma once
#include <QString>

namespace quintelle::platform {

// The folder of the running executable, with its trailing separator. The
// update keeps its files here.
QString executableFolder();

// The running executable's full path: its file name in executableFolder().
QString executablePath();

// Where the settings and tally files live, with its trailing separator: the
// executable's folder while it is writable (a portable copy keeps its files
// beside itself), else the player's own data folder of the application (an
// installed copy). Every reader and writer of those files asks this.
QString playerFilesFolder();

// The same folder, created when missing; for writers, so an installed copy
// makes its data folder on the first save and not before.
QString createPlayerFilesFolder();

// Tests point the program at a temporary folder instead, and may give the
// executable another name there.
void setExecutableFolder(const QString& folder);
void setExecutableName(const QString& name);

}  // namespace quintelle::platform
