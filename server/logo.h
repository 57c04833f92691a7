#pragma once
// The logo picture of the pages, a baseline JPEG drawn and encoded at build
// time by quintelle_gen_logo.
#include <cstddef>

namespace quintelle::server {

inline constexpr int kLogoWidth = 320;
inline constexpr int kLogoHeight = 80;

extern const unsigned char kLogoJpeg[];
extern const std::size_t kLogoJpegSize;

}  // namespace quintelle::server
