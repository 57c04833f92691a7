#include "platform/backgroundthread.h"

#if defined(__linux__)
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace quintelle::platform {

void runInBackground() {
#if defined(__linux__)
    // On Linux a thread has a niceness of its own.
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 10);
#endif
}

}  // namespace quintelle::platform
