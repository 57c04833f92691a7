#include "platform/processend.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

// The sanitizers' leak check, present only in a build with them.
extern "C" void __lsan_do_leak_check() __attribute__((weak));

namespace quintelle::platform {

namespace {
// Plain atomics: nothing here is destroyed at exit, so a thread that lets go
// of its work while the process ends still finds them.
std::atomic<int> inFlight{0};
}  // namespace

WorkInFlight::WorkInFlight() {
    ++inFlight;
}

WorkInFlight::~WorkInFlight() {
    --inFlight;
}

bool workInFlight() {
    return inFlight > 0;
}

int endProcess(int code) {
    if (!workInFlight()) return code;
    std::fflush(nullptr);
    if (__lsan_do_leak_check) __lsan_do_leak_check();
    std::_Exit(code);
}

}  // namespace quintelle::platform
