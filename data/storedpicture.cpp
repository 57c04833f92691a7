#include "data/storedpicture.h"

#include <cstring>

namespace quintelle {

namespace {

constexpr char kMagic[4] = {'Q', 'P', 'X', '1'};

std::uint64_t checksum(std::span<const std::uint8_t> bytes) {
    std::uint64_t sum = 0xcbf29ce484222325ull;
    std::size_t i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes.data() + i, 8);
        sum = (sum ^ word) * 0x100000001b3ull;
        sum ^= sum >> 29;
    }
    for (; i < bytes.size(); ++i) sum = (sum ^ bytes[i]) * 0x100000001b3ull;
    return sum;
}

}  // namespace

std::string storePicture(std::int32_t width, std::int32_t height, std::int32_t format, double dpr,
                         std::span<const std::uint8_t> pixels) {
    StoredPictureHeader header{};
    std::memcpy(header.magic, kMagic, 4);
    header.width = width;
    header.height = height;
    header.bytesPerLine = width * 4;
    header.format = format;
    header.dpr = dpr;
    header.checksum = checksum(pixels);
    std::string bytes(kStoredHeaderSize + pixels.size(), '\0');
    std::memcpy(bytes.data(), &header, kStoredHeaderSize);
    if (!pixels.empty())
        std::memcpy(bytes.data() + kStoredHeaderSize, pixels.data(), pixels.size());
    return bytes;
}

std::optional<StoredPictureHeader> readStoredHeader(std::span<const std::uint8_t> start,
                                                    std::uint64_t fileSize, double dpr) {
    if (start.size() < kStoredHeaderSize) return std::nullopt;
    StoredPictureHeader header;
    std::memcpy(&header, start.data(), kStoredHeaderSize);
    if (std::memcmp(header.magic, kMagic, 4) != 0 || header.dpr != dpr || header.width <= 0 ||
        header.width > kMaxStoredSide || header.height <= 0 || header.height > kMaxStoredSide ||
        header.bytesPerLine != header.width * 4)
        return std::nullopt;
    const std::uint64_t pixels = std::uint64_t(header.bytesPerLine) * std::uint64_t(header.height);
    if (fileSize != kStoredHeaderSize + pixels) return std::nullopt;
    return header;
}

bool storedPixelsMatch(const StoredPictureHeader& header, std::span<const std::uint8_t> pixels) {
    return pixels.size() == std::uint64_t(header.bytesPerLine) * std::uint64_t(header.height) &&
           checksum(pixels) == header.checksum;
}

}  // namespace quintelle
