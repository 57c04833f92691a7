#pragma once
// The end of the process, and what keeps it from exit's usual teardown.

namespace quintelle::platform {

// Held by a thread of ours for as long as it runs work that may outlive the
// window that asked for it, such as a fetch whose window has closed. Exit's
// teardown would take the libraries that work uses down under it.
class WorkInFlight {
  public:
    WorkInFlight();
    ~WorkInFlight();
    WorkInFlight(const WorkInFlight&) = delete;
    WorkInFlight& operator=(const WorkInFlight&) = delete;
};

// Whether any such work runs now.
bool workInFlight();

// Libraries were loaded that must not be taken down at exit: Qt Multimedia's
// sound-server threads go on running while its globals are destroyed, and now
// and then crash a program that has already finished. Said by openModule().
void keepLibrariesAtExit();

// The program's last step, once everything of its own is saved and taken
// down: ends the process with `code`, without exit's teardown while work is
// in flight or libraries are to be kept. The standard streams are flushed
// first, and a leak check that exit would run still runs. Returns `code`
// otherwise, for main() to return.
int endProcess(int code);

}  // namespace quintelle::platform
