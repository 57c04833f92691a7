#pragma once
// The vendor's files folder (--files): the installer and its signed manifest.
#include <cstdint>
#include <filesystem>
#include <string>

namespace quintelle::server {

// Opens name in folder for reading, or returns -1 when folder holds no such
// regular file. A link that stays inside the folder is followed; one that
// leaves it is not. The file is to be served from this one descriptor, so
// that a file renamed into place meanwhile goes out whole, old or new.
int openServed(const std::filesystem::path& folder, const std::string& name, std::uint64_t& size);

}  // namespace quintelle::server
