#include "platform/fontwarmup.h"

#include <dlfcn.h>

namespace quintelle::platform {

FontConfigurationReader fontConfigurationReader() {
    // Looked up rather than linked: Qt Gui brings the library in, and a Qt
    // built on another font back end simply has none.
    return reinterpret_cast<FontConfigurationReader>(dlsym(RTLD_DEFAULT, "FcInit"));
}

FontConfigurationWarmUp::FontConfigurationWarmUp(FontConfigurationReader read) {
    // Reading it twice at once would only do the work twice: the library
    // keeps whichever configuration was done first.
    if (read) thread_ = std::thread(read);
}

FontConfigurationWarmUp::~FontConfigurationWarmUp() {
    wait();
}

void FontConfigurationWarmUp::wait() {
    if (thread_.joinable()) thread_.join();
}

}  // namespace quintelle::platform
