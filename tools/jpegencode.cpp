#include "tools/jpegencode.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <stdexcept>

namespace quintelle::tools {
namespace {

constexpr std::array<int, 64> kZigzag = {
    0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
    41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
    30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

// Example quantisation tables of the JPEG standard, natural order.
constexpr std::array<int, 64> kLumaQuant = {
    16, 11, 10, 16, 24,  40,  51,  61,  12, 12, 14, 19, 26,  58,  60,  55,
    14, 13, 16, 24, 40,  57,  69,  56,  14, 17, 22, 29, 51,  87,  80,  62,
    18, 22, 37, 56, 68,  109, 103, 77,  24, 35, 55, 64, 81,  104, 113, 92,
    49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99};
constexpr std::array<int, 64> kChromaQuant = {
    17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99, 24, 26, 56, 99, 99, 99,
    99, 99, 47, 66, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
    99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99};

// Standard Huffman tables: code counts per length 1..16, then the symbols.
struct HuffmanTable {
    std::array<std::uint8_t, 16> counts;
    std::vector<std::uint8_t> symbols;
};

const HuffmanTable kLumaDc{{0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0},
                          {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}};
const HuffmanTable kChromaDc{{0, 3, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0},
                            {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}};
const HuffmanTable kLumaAc{
    {0, 2, 1, 3, 3, 2, 4, 3, 5, 5, 4, 4, 0, 0, 1, 0x7d},
    {0x01, 0x02, 0x03, 0x00, 0x04, 0x11, 0x05, 0x12, 0x21, 0x31, 0x41, 0x06, 0x13, 0x51, 0x61,
     0x07, 0x22, 0x71, 0x14, 0x32, 0x81, 0x91, 0xa1, 0x08, 0x23, 0x42, 0xb1, 0xc1, 0x15, 0x52,
     0xd1, 0xf0, 0x24, 0x33, 0x62, 0x72, 0x82, 0x09, 0x0a, 0x16, 0x17, 0x18, 0x19, 0x1a, 0x25,
     0x26, 0x27, 0x28, 0x29, 0x2a, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39, 0x3a, 0x43, 0x44, 0x45,
     0x46, 0x47, 0x48, 0x49, 0x4a, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59, 0x5a, 0x63, 0x64,
     0x65, 0x66, 0x67, 0x68, 0x69, 0x6a, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78, 0x79, 0x7a, 0x83,
     0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0x8a, 0x92, 0x93, 0x94, 0x95, 0x96, 0x97, 0x98, 0x99,
     0x9a, 0xa2, 0xa3, 0xa4, 0xa5, 0xa6, 0xa7, 0xa8, 0xa9, 0xaa, 0xb2, 0xb3, 0xb4, 0xb5, 0xb6,
     0xb7, 0xb8, 0xb9, 0xba, 0xc2, 0xc3, 0xc4, 0xc5, 0xc6, 0xc7, 0xc8, 0xc9, 0xca, 0xd2, 0xd3,
     0xd4, 0xd5, 0xd6, 0xd7, 0xd8, 0xd9, 0xda, 0xe1, 0xe2, 0xe3, 0xe4, 0xe5, 0xe6, 0xe7, 0xe8,
     0xe9, 0xea, 0xf1, 0xf2, 0xf3, 0xf4, 0xf5, 0xf6, 0xf7, 0xf8, 0xf9, 0xfa}};
const HuffmanTable kChromaAc{
    {0, 2, 1, 2, 4, 4, 3, 4, 7, 5, 4, 4, 0, 1, 2, 0x77},
    {0x00, 0x01, 0x02, 0x03, 0x11, 0x04, 0x05, 0x21, 0x31, 0x06, 0x12, 0x41, 0x51, 0x07, 0x61,
     0x71, 0x13, 0x22, 0x32, 0x81, 0x08, 0x14, 0x42, 0x91, 0xa1, 0xb1, 0xc1, 0x09, 0x23, 0x33,
     0x52, 0xf0, 0x15, 0x62, 0x72, 0xd1, 0x0a, 0x16, 0x24, 0x34, 0xe1, 0x25, 0xf1, 0x17, 0x18,
     0x19, 0x1a, 0x26, 0x27, 0x28, 0x29, 0x2a, 0x35, 0x36, 0x37, 0x38, 0x39, 0x3a, 0x43, 0x44,
     0x45, 0x46, 0x47, 0x48, 0x49, 0x4a, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59, 0x5a, 0x63,
     0x64, 0x65, 0x66, 0x67, 0x68, 0x69, 0x6a, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78, 0x79, 0x7a,
     0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0x8a, 0x92, 0x93, 0x94, 0x95, 0x96, 0x97,
     0x98, 0x99, 0x9a, 0xa2, 0xa3, 0xa4, 0xa5, 0xa6, 0xa7, 0xa8, 0xa9, 0xaa, 0xb2, 0xb3, 0xb4,
     0xb5, 0xb6, 0xb7, 0xb8, 0xb9, 0xba, 0xc2, 0xc3, 0xc4, 0xc5, 0xc6, 0xc7, 0xc8, 0xc9, 0xca,
     0xd2, 0xd3, 0xd4, 0xd5, 0xd6, 0xd7, 0xd8, 0xd9, 0xda, 0xe2, 0xe3, 0xe4, 0xe5, 0xe6, 0xe7,
     0xe8, 0xe9, 0xea, 0xf2, 0xf3, 0xf4, 0xf5, 0xf6, 0xf7, 0xf8, 0xf9, 0xfa}};

struct Code {
    std::uint16_t bits = 0;
    int length = 0;
};

// Canonical codes: within each length, consecutive values; one more bit
// doubles the next code.
std::array<Code, 256> buildCodes(const HuffmanTable& table) {
    std::array<Code, 256> codes{};
    std::uint16_t code = 0;
    std::size_t k = 0;
    for (int length = 1; length <= 16; ++length) {
        for (int i = 0; i < table.counts[length - 1]; ++i) {
            codes[table.symbols.at(k++)] = {code++, length};
        }
        code <<= 1;
    }
    if (k != table.symbols.size()) throw std::logic_error("Huffman table counts do not add up");
    return codes;
}

class BitWriter {
  public:
    explicit BitWriter(std::string& out) : out_(out) {}
    void put(std::uint32_t bits, int length) {
        for (int i = length - 1; i >= 0; --i) {
            byte_ = static_cast<std::uint8_t>((byte_ << 1) | ((bits >> i) & 1));
            if (++filled_ == 8) flushByte();
        }
    }
    // Pads the last byte with one bits, as decoders expect.
    void finish() {
        while (filled_ != 0) put(1, 1);
    }

  private:
    void flushByte() {
        out_.push_back(static_cast<char>(byte_));
        if (byte_ == 0xFF) out_.push_back(0);  // a data 0xFF is followed by a zero byte
        byte_ = 0;
        filled_ = 0;
    }
    std::string& out_;
    std::uint8_t byte_ = 0;
    int filled_ = 0;
};

void putWord(std::string& out, int value) {
    out.push_back(static_cast<char>((value >> 8) & 0xFF));
    out.push_back(static_cast<char>(value & 0xFF));
}

void putMarker(std::string& out, std::uint8_t marker, int payloadLength) {
    out.push_back(static_cast<char>(0xFF));
    out.push_back(static_cast<char>(marker));
    putWord(out, payloadLength + 2);
}

std::array<int, 64> scaled(const std::array<int, 64>& table, int quality) {
    quality = std::clamp(quality, 1, 100);
    int scale = quality < 50 ? 5000 / quality : 200 - 2 * quality;
    std::array<int, 64> out{};
    for (int i = 0; i < 64; ++i) out[i] = std::clamp((table[i] * scale + 50) / 100, 1, 255);
    return out;
}

int magnitudeBits(int value) {
    int bits = 0;
    for (int v = std::abs(value); v != 0; v >>= 1) ++bits;
    return bits;
}

// Negative values are sent as the low bits of value − 1.
void putValue(BitWriter& w, int value, int bits) {
    w.put(static_cast<std::uint32_t>(value < 0 ? value + (1 << bits) - 1 : value), bits);
}

struct Component {
    const std::array<int, 64>* quant;
    const std::array<Code, 256>* dc;
    const std::array<Code, 256>* ac;
    int previousDc = 0;
};

void encodeBlock(BitWriter& w, const std::array<double, 64>& samples, Component& c) {
    static const auto cosines = [] {
        std::array<double, 64> t{};
        for (int u = 0; u < 8; ++u)
            for (int x = 0; x < 8; ++x)
                t[u * 8 + x] = std::cos((2 * x + 1) * u * std::numbers::pi / 16);
        return t;
    }();
    std::array<int, 64> quantised{};
    for (int v = 0; v < 8; ++v) {
        for (int u = 0; u < 8; ++u) {
            double sum = 0;
            for (int y = 0; y < 8; ++y)
                for (int x = 0; x < 8; ++x)
                    sum += samples[y * 8 + x] * cosines[u * 8 + x] * cosines[v * 8 + y];
            double cu = u == 0 ? std::numbers::sqrt2 / 2 : 1.0;
            double cv = v == 0 ? std::numbers::sqrt2 / 2 : 1.0;
            int natural = v * 8 + u;
            quantised[natural] =
                static_cast<int>(std::lround(0.25 * cu * cv * sum / (*c.quant)[natural]));
        }
    }
    int diff = quantised[0] - c.previousDc;
    c.previousDc = quantised[0];
    int bits = magnitudeBits(diff);
    w.put((*c.dc)[bits].bits, (*c.dc)[bits].length);
    putValue(w, diff, bits);

    int run = 0;
    for (int k = 1; k < 64; ++k) {
        int value = quantised[kZigzag[k]];
        if (value == 0) {
            ++run;
            continue;
        }
        for (; run >= 16; run -= 16) w.put((*c.ac)[0xF0].bits, (*c.ac)[0xF0].length);
        bits = magnitudeBits(value);
        const Code& code = (*c.ac)[(run << 4) | bits];
        w.put(code.bits, code.length);
        putValue(w, value, bits);
        run = 0;
    }
    if (run > 0) w.put((*c.ac)[0x00].bits, (*c.ac)[0x00].length);
}

void putHuffmanTable(std::string& out, int tableClass, int id, const HuffmanTable& table) {
    out.push_back(static_cast<char>((tableClass << 4) | id));
    for (std::uint8_t n : table.counts) out.push_back(static_cast<char>(n));
    for (std::uint8_t s : table.symbols) out.push_back(static_cast<char>(s));
}

}  // namespace

std::string encodeJpeg(const std::vector<Rgb>& pixels, int width, int height, int quality) {
    if (width <= 0 || height <= 0 || width > 65535 || height > 65535 ||
        pixels.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
        throw std::invalid_argument("picture size does not match its pixels");
    }
    const auto lumaQuant = scaled(kLumaQuant, quality);
    const auto chromaQuant = scaled(kChromaQuant, quality);
    const auto lumaDc = buildCodes(kLumaDc), lumaAc = buildCodes(kLumaAc);
    const auto chromaDc = buildCodes(kChromaDc), chromaAc = buildCodes(kChromaAc);

    std::string out = "\xFF\xD8";
    putMarker(out, 0xE0, 14);  // JFIF 1.01, no density, no thumbnail
    out.append("JFIF\0\x01\x01\x00\x00\x01\x00\x01\x00\x00", 14);

    putMarker(out, 0xDB, 2 * 65);
    for (int id = 0; id < 2; ++id) {
        out.push_back(static_cast<char>(id));
        const auto& table = id == 0 ? lumaQuant : chromaQuant;
        for (int k = 0; k < 64; ++k) out.push_back(static_cast<char>(table[kZigzag[k]]));
    }

    putMarker(out, 0xC0, 15);
    out.push_back(8);
    putWord(out, height);
    putWord(out, width);
    out.push_back(3);
    for (int id = 1; id <= 3; ++id) {
        out.push_back(static_cast<char>(id));
        out.push_back(0x11);
        out.push_back(static_cast<char>(id == 1 ? 0 : 1));
    }

    const HuffmanTable* tables[4] = {&kLumaDc, &kLumaAc, &kChromaDc, &kChromaAc};
    int dhtLength = 0;
    for (const HuffmanTable* t : tables) dhtLength += 17 + static_cast<int>(t->symbols.size());
    putMarker(out, 0xC4, dhtLength);
    putHuffmanTable(out, 0, 0, kLumaDc);
    putHuffmanTable(out, 1, 0, kLumaAc);
    putHuffmanTable(out, 0, 1, kChromaDc);
    putHuffmanTable(out, 1, 1, kChromaAc);

    putMarker(out, 0xDA, 10);
    out.push_back(3);
    for (int id = 1; id <= 3; ++id) {
        out.push_back(static_cast<char>(id));
        out.push_back(static_cast<char>(id == 1 ? 0x00 : 0x11));
    }
    out.append("\x00\x3F\x00", 3);

    Component components[3] = {{&lumaQuant, &lumaDc, &lumaAc},
                               {&chromaQuant, &chromaDc, &chromaAc},
                               {&chromaQuant, &chromaDc, &chromaAc}};
    BitWriter writer(out);
    for (int by = 0; by < height; by += 8) {
        for (int bx = 0; bx < width; bx += 8) {
            std::array<std::array<double, 64>, 3> blocks{};
            for (int y = 0; y < 8; ++y) {
                for (int x = 0; x < 8; ++x) {
                    // Blocks past the edge repeat the last row or column.
                    const Rgb& p = pixels[static_cast<std::size_t>(std::min(by + y, height - 1)) *
                                              static_cast<std::size_t>(width) +
                                          static_cast<std::size_t>(std::min(bx + x, width - 1))];
                    double r = p.r, g = p.g, b = p.b;
                    blocks[0][y * 8 + x] = 0.299 * r + 0.587 * g + 0.114 * b - 128;
                    blocks[1][y * 8 + x] = -0.168736 * r - 0.331264 * g + 0.5 * b;
                    blocks[2][y * 8 + x] = 0.5 * r - 0.418688 * g - 0.081312 * b;
                }
            }
            for (int c = 0; c < 3; ++c) encodeBlock(writer, blocks[c], components[c]);
        }
    }
    writer.finish();
    out += "\xFF\xD9";
    return out;
}

}  // namespace quintelle::tools
