#include "data/readfile.h"

#include <cerrno>
#include <system_error>

namespace quintelle {

FileContent readWholeFile(const std::filesystem::path& file) {
    FileContent content;
    const FilePtr in(std::fopen(file.string().c_str(), "rb"));
    if (!in) {
        content.outcome = FileContent::Outcome::NotOpened;
        content.error = errno;
        return content;
    }
    // The size is only a hint: the file may change while it is read.
    std::error_code unknown;
    const std::uintmax_t size = std::filesystem::file_size(file, unknown);
    if (!unknown) content.bytes.reserve(static_cast<std::size_t>(size));
    char buffer[16384];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, in.get())) > 0)
        content.bytes.append(buffer, got);
    if (std::ferror(in.get())) {
        content.outcome = FileContent::Outcome::NotRead;
        content.error = errno;
        content.bytes.clear();
    }
    return content;
}

}  // namespace quintelle
