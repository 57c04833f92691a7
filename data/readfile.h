#pragma once
// Files are read whole, with the C library. The C++ file streams would do the
// same but build the standard library's locale on first use, which touches a
// few hundred kilobytes of it at start-up to read a few hundred bytes of
// settings.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace quintelle {

// A file opened with the C library, closed when it goes.
struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

struct FileContent {
    enum class Outcome { Read, NotOpened, NotRead };
    Outcome outcome = Outcome::Read;
    int error = 0;      // errno of the open or read that failed
    std::string bytes;  // the whole file when read

    bool read() const { return outcome == Outcome::Read; }
    std::string_view text() const { return bytes; }
    std::span<const std::uint8_t> data() const {
        return {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()};
    }
};

FileContent readWholeFile(const std::filesystem::path& file);

}  // namespace quintelle
