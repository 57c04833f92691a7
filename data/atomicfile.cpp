#include "data/atomicfile.h"

#include <system_error>
#include <utility>

#if defined(__unix__) || defined(__APPLE__)
#include <unistd.h>
#endif

namespace quintelle {

std::filesystem::path temporaryPathFor(const std::filesystem::path& target) {
    auto temporary = target;
    temporary += ".tmp";
    return temporary;
}

AtomicFile::AtomicFile(std::filesystem::path target)
    : target_(std::move(target)), temporary_(temporaryPathFor(target_)) {
    if (target_.has_filename()) file_ = std::fopen(temporary_.string().c_str(), "wb");
    created_ = file_ != nullptr;
}

AtomicFile::~AtomicFile() {
    if (file_) std::fclose(file_);
    if (committed_ || !created_) return;
    std::error_code ignored;
    std::filesystem::remove(temporary_, ignored);
}

bool AtomicFile::write(std::string_view bytes) {
    ok_ = ok_ && file_ && std::fwrite(bytes.data(), 1, bytes.size(), file_) == bytes.size();
    return ok_;
}

bool AtomicFile::commit() {
    if (!file_) return false;
    bool ok = ok_ && std::fflush(file_) == 0;
#if defined(__unix__) || defined(__APPLE__)
    // On the disk before the rename, so a crash right after it cannot leave
    // the target empty.
    ok = ok && ::fsync(::fileno(file_)) == 0;
#endif
    ok = std::fclose(std::exchange(file_, nullptr)) == 0 && ok;
    std::error_code error;
    if (ok) std::filesystem::rename(temporary_, target_, error);
    committed_ = ok && !error;
    return committed_;
}

bool writeFileAtomically(const std::filesystem::path& target, std::string_view bytes) {
    AtomicFile file(target);
    return file.write(bytes) && file.commit();
}

}  // namespace quintelle
