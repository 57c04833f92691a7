#pragma once
// The end of the process, and what keeps it from exit's usual teardown.

namespace quintelle::platform {

// Held for a thread of ours for as long as it runs work that may outlive the
// window that asked for it: a fetch whose window has closed, or a sound
// thread a sound server never answered. Exit's teardown would take the
// libraries that work uses down under it, or wait for it for ever.
class WorkInFlight {
  public:
    WorkInFlight();
    ~WorkInFlight();
    WorkInFlight(const WorkInFlight&) = delete;
    WorkInFlight& operator=(const WorkInFlight&) = delete;
};

// Whether any such work runs now.
bool workInFlight();

// The program's last step, once everything of its own is saved and taken
// down: ends the process with `code`, without exit's teardown while work is
// in flight. The standard streams are flushed first, and a leak check that
// exit would run still runs. Returns `code` otherwise, for main() to return.
int endProcess(int code);

}  // namespace quintelle::platform
