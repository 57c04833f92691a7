// Any bytes as a kept picture's file: the reader accepts only a header that
// states exactly the bytes after it, never reads past them, and a picture
// stored from the input reads back whole.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "data/storedpicture.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quintelle;
    const std::span<const std::uint8_t> file(data, size);
    for (const double dpr : {1.0, 2.0}) {
        const auto header =
            readStoredHeader(file.first(std::min(size, kStoredHeaderSize)), size, dpr);
        if (!header) continue;
        if (std::uint64_t(header->width) * 4 * std::uint64_t(header->height) + kStoredHeaderSize !=
            size)
            std::abort();
        storedPixelsMatch(*header, file.subspan(kStoredHeaderSize));
    }

    // The input's bytes as the pixels of a picture one to four pixels wide.
    const std::int32_t width = std::int32_t(size % 4) + 1;
    const std::size_t rows = size / (std::size_t(width) * 4);
    if (rows == 0 || rows > std::size_t(kMaxStoredSide)) return 0;
    const auto pixels = file.first(rows * std::size_t(width) * 4);
    const std::string stored = storePicture(width, std::int32_t(rows), 4, 2.0, pixels);
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(stored.data()),
                                              stored.size());
    const auto back = readStoredHeader(bytes.first(kStoredHeaderSize), bytes.size(), 2.0);
    if (!back || back->width != width || back->height != std::int32_t(rows) ||
        !storedPixelsMatch(*back, bytes.subspan(kStoredHeaderSize)))
        std::abort();
    return 0;
}
