#pragma once
// The compressed file container of the tally file: a little-endian header
// (signature, original size) followed by LZRW1/KH blocks of at most 32768
// input bytes each. Output is byte-for-byte what other copies of the program
// write, so files move freely between them.
//
// The core works on byte buffers; Tlzrw1 wraps it with the two file
// operations the tally store uses. Decoding treats its input as hostile: a
// block that would read or write outside its buffers is rejected.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "data/readfile.h"

namespace quintelle {

// Every failure of the container (messages as users of other copies see them).
class ELzrw1Exception : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The block coder's hash table could not be allocated.
class ELzrw1KHCompressor : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Good and Auto name the LZH coder of other copies. We never write LZH: every
// mode codes with the fast LZRW1/KH coder, whose files every copy reads, so a
// caller that forgets to pick Fast still gets a valid, portable file.
enum class TCompressMode { Good, Fast, Auto };

inline constexpr std::uint32_t kLzrw1Signature = 0x4C5A5257;  // "WRZL" on disk

// LZRW1/KH block coder and decoder. One instance owns the 4096-entry hash
// table; it is cleared for every block, so blocks are independent.
class TLZR {
  public:
    static constexpr std::size_t ChunkSize = 32768;
    // Largest block a reader accepts: the stored form of a full chunk.
    static constexpr std::size_t MaxBlockSize = ChunkSize + 1;

    TLZR();  // throws ELzrw1KHCompressor

    // Codes `chunk` (at most ChunkSize bytes) into `block`: flag byte 0x40 and
    // the coded items, or flag 0x80 and the chunk when coding would not be
    // shorter than storing.
    void compressBlock(std::span<const std::uint8_t> chunk, std::vector<std::uint8_t>& block);

    // Decodes one block into `out` (replacing its content). A block that names
    // bytes before its own output, decodes past ChunkSize, ends inside an item
    // or is longer than MaxBlockSize raises the size-mismatch error.
    static void decompressBlock(std::span<const std::uint8_t> block,
                                std::vector<std::uint8_t>& out);

  private:
    std::unique_ptr<std::int16_t[]> hash_;
};

// The whole container for `input`, LZRW1/KH coded.
std::vector<std::uint8_t> compressFast(std::span<const std::uint8_t> input);

// Largest original size a reader accepts: far beyond any tally, yet a forged
// header cannot make loading allocate gigabytes (blocks expand up to ~800:1).
inline constexpr std::uint64_t kMaxOriginalSize = std::uint64_t{16} << 20;

// Decodes a container, handing each decoded block to `sink` as it is ready,
// and returns the number of bytes decoded. `inputFile` only names the input in
// error messages. A header stating more than kMaxOriginalSize is refused with
// the size error before any decoding, and decoding stops with it as soon as
// the blocks exceed the stated size.
std::uint64_t decompress(std::span<const std::uint8_t> file, const std::string& inputFile,
                         const std::function<void(std::span<const std::uint8_t>)>& sink);
// The same into one buffer, reserved at the stated size.
std::vector<std::uint8_t> decompress(std::span<const std::uint8_t> file,
                                     const std::string& inputFile = {});

// The whole of a container file, for decoding in memory; throws the open or
// read error Tlzrw1::Decompress gives for it.
FileContent readContainerFile(const std::string& inputFile);

// Compresses or decompresses InputFile into OutputFile. The output is written
// to a temporary file beside it and renamed over it only on success, so a
// failed call leaves neither a partial file nor a damaged earlier one.
class Tlzrw1 {
  public:
    std::string InputFile;
    std::string OutputFile;
    TCompressMode CompressMode = TCompressMode::Good;

    // Both return the number of bytes written to OutputFile.
    std::uint64_t Compress();
    std::uint64_t Decompress();
};

}  // namespace quintelle
