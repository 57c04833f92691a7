#pragma once
// A drawn picture kept on disk between starts (ui/main/keptpictures.h): a
// fixed header, then the image's rows as they are in memory, four bytes a
// pixel. The reader treats the file as hostile: the header must describe
// exactly the bytes that follow before anything is allocated, and the pixels
// must carry the checksum the header states.
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace quintelle {

struct StoredPictureHeader {
    char magic[4];
    std::int32_t width;
    std::int32_t height;
    std::int32_t bytesPerLine;
    std::int32_t format;  // the image library's pixel format, its own business
    std::int32_t reserved;
    double dpr;
    std::uint64_t checksum;
};
inline constexpr std::size_t kStoredHeaderSize = sizeof(StoredPictureHeader);
inline constexpr std::int32_t kMaxStoredSide = 8192;  // far beyond any picture of ours

// The file for a picture of `width` x `height` pixels whose rows of width*4
// bytes are `pixels`.
std::string storePicture(std::int32_t width, std::int32_t height, std::int32_t format, double dpr,
                         std::span<const std::uint8_t> pixels);

// The header at the start of a file of `fileSize` bytes, when it is one of
// ours, is for `dpr` and states exactly the pixels that fill the rest.
std::optional<StoredPictureHeader> readStoredHeader(std::span<const std::uint8_t> start,
                                                    std::uint64_t fileSize, double dpr);

// Whether `pixels` are those the header was written for.
bool storedPixelsMatch(const StoredPictureHeader& header, std::span<const std::uint8_t> pixels);

}  // namespace quintelle
