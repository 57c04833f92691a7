#pragma once
// Every file the program writes is replaced whole: the bytes go to a
// temporary file beside the target, which is flushed to disk and renamed over
// the target only when everything was written. A crash or a full disk leaves
// the previous file as it was.
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string_view>

namespace quintelle {

// The folder-local temporary file an AtomicFile writes first.
std::filesystem::path temporaryPathFor(const std::filesystem::path& target);

// A file being written in place of `target`. Nothing of it reaches the target
// until commit() succeeds; dropped uncommitted, it leaves no trace.
class AtomicFile {
  public:
    explicit AtomicFile(std::filesystem::path target);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // The temporary file could be created.
    bool opened() const { return file_ != nullptr; }
    bool write(std::string_view bytes);
    // Flushes the bytes to the disk and renames the file over the target.
    bool commit();

  private:
    std::filesystem::path target_;
    std::filesystem::path temporary_;
    std::FILE* file_ = nullptr;
    bool created_ = false;
    bool ok_ = true;
    bool committed_ = false;
};

// False when the file could not be written (the temporary file is removed).
bool writeFileAtomically(const std::filesystem::path& target, std::string_view bytes);

}  // namespace quintelle
