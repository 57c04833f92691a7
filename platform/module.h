#pragma once
#include <QString>
#include <QStringList>

namespace quintelle::platform {

// Parts of the program built as modules of their own (the audio output, the
// download socket), so the large libraries they bring are loaded when they are
// needed instead of before main() runs. Each module has one `extern "C"`
// entry point.

// Where the module file `file` may be: beside the program (a build, or a copy
// carried around whole), then in the folder the program installs its modules
// to.
QStringList moduleCandidates(const char* file);

// Opens the first candidate that loads, resolving all its symbols now so a
// broken install fails here and not in the middle of its use, and returns its
// entry point `entry`; null, with the reason, when none does. A module opened
// is never closed, as Qt's libraries do not survive being unloaded, nor taken
// down at exit (processend.h).
void* openModule(const QStringList& candidates, const char* entry, QString& reason);

}  // namespace quintelle::platform
