#pragma once
// Every file the program writes is replaced whole: the bytes go to a
// temporary file beside the target, which is flushed to disk and renamed over
// the target only when everything was written. A crash or a full disk leaves
// the previous file as it was.
#include <filesystem>
#include <string_view>

namespace quintelle {

// The folder-local temporary file that writeFileAtomically writes first.
std::filesystem::path temporaryPathFor(const std::filesystem::path& target);

// False when the file could not be written (the temporary file is removed).
bool writeFileAtomically(const std::filesystem::path& target, std::string_view bytes);

}  // namespace quintelle
