#pragma once
// A small baseline JPEG encoder (8-bit, YCbCr without subsampling, the
// standard Huffman tables): enough to turn a drawn picture into a file every
// browser and viewer decodes, without an image library at build time.
#include <cstdint>
#include <string>
#include <vector>

namespace quintelle::tools {

struct Rgb {
    std::uint8_t r, g, b;
};

// pixels holds width × height values, row by row from the top; quality 1..100.
std::string encodeJpeg(const std::vector<Rgb>& pixels, int width, int height, int quality);

}  // namespace quintelle::tools
