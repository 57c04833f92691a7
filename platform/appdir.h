#pragma once
#include <QString>

namespace quintelle::platform {

// The folder of the running executable, with its trailing separator. The
// update keeps its files here.
QString executableFolder();

// The running executable's full path: its file name in executableFolder().
QString executablePath();

// Whether this copy of the program was installed (by `cmake --install` or
// the Debian package) rather than carried around as a portable copy: the
// installation puts a marker file into the program's own library folder,
// where its modules are. An installed copy keeps its player's files in the
// player's data folder, whoever runs it, and leaves updates to whatever
// installed it.
bool installedCopy();
// Where that marker is looked for.
QString installedMarkerPath();

// Where the settings and tally files live, with its trailing separator. An
// installed copy keeps them in the player's own data folder of the
// application; a portable copy beside itself, or where its folder cannot be
// written (a copy on read-only media), in that data folder too. Every reader
// and writer of those files asks this.
QString playerFilesFolder();

// The same folder, created when missing; for writers, so an installed copy
// makes its data folder on the first save and not before.
QString createPlayerFilesFolder();

// Tests point the program at a temporary folder instead, and may give the
// executable another name there.
void setExecutableFolder(const QString& folder);
void setExecutableName(const QString& name);

}  // namespace quintelle::platform
