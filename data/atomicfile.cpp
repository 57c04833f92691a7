#include "data/atomicfile.h"

#include <cstdio>
#include <system_error>

#if defined(__unix__) || defined(__APPLE__)
#include <unistd.h>
#endif

namespace quintelle {

std::filesystem::path temporaryPathFor(const std::filesystem::path& target) {
    auto temporary = target;
    temporary += ".tmp";
    return temporary;
}

bool writeFileAtomically(const std::filesystem::path& target, std::string_view bytes) {
    const auto temporary = temporaryPathFor(target);
    std::FILE* file = std::fopen(temporary.string().c_str(), "wb");
    if (!file) return false;
    bool ok =
        std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() && std::fflush(file) == 0;
#if defined(__unix__) || defined(__APPLE__)
    ok = ok && ::fsync(::fileno(file)) == 0;
#endif
    ok = std::fclose(file) == 0 && ok;
    std::error_code error;
    if (ok) std::filesystem::rename(temporary, target, error);
    if (!ok || error) {
        std::filesystem::remove(temporary, error);
        return false;
    }
    return true;
}

}  // namespace quintelle
