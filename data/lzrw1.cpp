#include "data/lzrw1.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <new>
#include <system_error>

#include "data/atomicfile.h"

namespace quintelle {

namespace {

constexpr std::size_t kHashSize = 4096;
constexpr std::uint8_t kFlagCompressed = 0x40;
constexpr std::uint8_t kFlagStored = 0x80;
constexpr std::size_t kMaxOffset = 4095;
constexpr std::size_t kMaxRun = 4095;
constexpr std::size_t kMinRun = 16;
constexpr std::size_t kMinCopy = 3;
constexpr std::size_t kMaxCopy = 18;

const char* const kSizeMismatch =
    "Lzrw1 (decompression LZRW1/KH) : Original and compressed sizes do not match !";
const char* const kNoMemory = "Lzrw1 (de)compression : Failed to get memory for I/O buffers !";

[[noreturn]] void fail(const std::string& message) {
    throw ELzrw1Exception(message);
}
[[noreturn]] void readError(const std::string& inputFile) {
    fail("Lzrw1 : Error reading from input file : " + inputFile);
}
[[noreturn]] void writeError(const std::string& outputFile) {
    fail("Lzrw1 : Error writing to output file : " + outputFile);
}

void putLittle(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

std::uint32_t getLittle(std::span<const std::uint8_t> in, std::size_t at, int bytes) {
    std::uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = value << 8 | in[at + i];
    return value;
}

void putBig16(std::uint8_t* at, std::uint32_t value) {
    at[0] = static_cast<std::uint8_t>(value >> 8);
    at[1] = static_cast<std::uint8_t>(value);
}

}  // namespace

TLZR::TLZR() : hash_(new (std::nothrow) std::int16_t[kHashSize]) {
    if (!hash_) throw ELzrw1KHCompressor("LZRW1KH : no memory for HASH table");
}

void TLZR::compressBlock(std::span<const std::uint8_t> chunk, std::vector<std::uint8_t>& block) {
    if (chunk.size() > ChunkSize)
        throw std::invalid_argument("LZRW1/KH chunk larger than 32768 bytes");
    const std::uint8_t* src = chunk.data();
    const std::size_t n = chunk.size();
    std::fill_n(hash_.get(), kHashSize, std::int16_t{-1});

    // The loop stops once y passes n, and one step writes at most a control
    // word and a run item, so n + 8 bytes always suffice.
    block.resize(n + 8);
    std::uint8_t* dst = block.data();
    dst[0] = kFlagCompressed;
    std::size_t controlAt = 1;
    std::size_t y = 3;
    std::uint32_t control = 0;
    int items = 0;
    std::size_t x = 0;

    while (x < n && y <= n) {
        if (items == 16) {
            putBig16(dst + controlAt, control);
            controlAt = y;
            y += 2;
            items = 0;
        }
        std::size_t run = 1;
        while (run < kMaxRun && x + run < n && src[x + run] == src[x]) ++run;

        bool coded = false;
        if (run >= kMinRun) {
            dst[y] = 0;
            dst[y + 1] = static_cast<std::uint8_t>((run - kMinRun) >> 8);
            dst[y + 2] = static_cast<std::uint8_t>(run - kMinRun);
            dst[y + 3] = src[x];
            y += 4;
            x += run;
            coded = true;
        } else if (x + 2 < n) {
            // In the last two positions no copy fits, and what they would add
            // to the table could only serve each other, so they skip it.
            std::uint32_t h =
                ((static_cast<std::uint32_t>(src[x]) << 4 ^ src[x + 1]) << 4) ^ src[x + 2];
            h = (h * 40543u >> 4) & 0xFFF;
            const int candidate = hash_[h];
            hash_[h] = static_cast<std::int16_t>(x);
            if (candidate >= 0 && x - static_cast<std::size_t>(candidate) <= kMaxOffset) {
                const std::size_t c = static_cast<std::size_t>(candidate);
                std::size_t m = 0;
                while (m < kMaxCopy && x + m < n && src[x + m] == src[c + m]) ++m;
                if (m >= kMinCopy) {
                    putBig16(dst + y, static_cast<std::uint32_t>((x - c) << 4 | (m - kMinCopy)));
                    y += 2;
                    x += m;
                    coded = true;
                }
            }
        }
        if (!coded) dst[y++] = src[x++];
        control = (control << 1 | (coded ? 1u : 0u)) & 0xFFFF;
        ++items;
    }
    putBig16(dst + controlAt, (control << (16 - items)) & 0xFFFF);

    if (y > n) {
        dst[0] = kFlagStored;
        if (n > 0) std::memcpy(dst + 1, src, n);
        block.resize(n + 1);
    } else {
        block.resize(y);
    }
}

namespace {

// Decoding state between items: the next input byte, the next output byte and
// what is left of the current control word (its next bit in bit 15).
struct Cursor {
    const std::uint8_t* in;
    std::uint8_t* out;
    std::uint32_t control = 0;
    int bits = 0;
};

std::uint32_t big16(const std::uint8_t* at) {
    return static_cast<std::uint32_t>(at[0]) << 8 | at[1];
}

// Moves kMaxCopy bytes, reading all before writing any: a copy shorter than its
// offset but whose 18 bytes reach into what it writes still takes the bytes it
// covers from before its start.
void move18(std::uint8_t* to, const std::uint8_t* from) {
    std::uint64_t head = 0, middle = 0;
    std::uint16_t tail = 0;
    std::memcpy(&head, from, 8);
    std::memcpy(&middle, from + 8, 8);
    std::memcpy(&tail, from + 16, 2);
    std::memcpy(to, &head, 8);
    std::memcpy(to + 8, &middle, 8);
    std::memcpy(to + 16, &tail, 2);
}

// One item with every bound checked: anything that would read past the block,
// refer before the output or produce past outEnd is the size-mismatch error.
void carefulItem(Cursor& c, const std::uint8_t* inEnd, const std::uint8_t* outStart,
                 const std::uint8_t* outEnd) {
    const bool copy = c.control >> 15 & 1;
    c.control <<= 1;
    --c.bits;
    if (!copy) {
        if (c.out == outEnd) fail(kSizeMismatch);
        *c.out++ = *c.in++;
        return;
    }
    if (inEnd - c.in < 2) fail(kSizeMismatch);
    const std::uint32_t word = big16(c.in);
    const std::size_t offset = word >> 4;
    const auto room = static_cast<std::size_t>(outEnd - c.out);
    if (offset == 0) {
        if (inEnd - c.in < 4) fail(kSizeMismatch);
        const std::size_t run = (static_cast<std::size_t>(word) << 8 | c.in[2]) + kMinRun;
        if (run > room) fail(kSizeMismatch);
        std::memset(c.out, c.in[3], run);
        c.out += run;
        c.in += 4;
        return;
    }
    const std::size_t count = (word & 15u) + kMinCopy;
    if (offset > static_cast<std::size_t>(c.out - outStart) || count > room) fail(kSizeMismatch);
    // Byte by byte: a near copy overlaps the bytes it produces.
    for (std::size_t k = 0; k < count; ++k) c.out[k] = (c.out - offset)[k];
    c.out += count;
    c.in += 2;
}

// A group of 16 items with no run reads at most its control word, 16 two-byte
// items and the kMaxCopy bytes a literal's move reads; it writes at most
// kMaxCopy bytes from each item's start.
constexpr std::size_t kGroupIn = 2 + 16 * 2 + kMaxCopy;
constexpr std::size_t kGroupOut = 16 * kMaxCopy;

// Decodes the group whose control word is at c.in, far enough from both ends
// that no item can leave the buffers, without bounds checks. Literals and
// plain copies take one path without a branch on the item kind (the data
// decides it, so the processor cannot predict it): move kMaxCopy bytes from
// the literal or from the earlier output and advance by what the item really
// covers. With kFar the output already holds 4095 bytes, so no offset reaches
// before it. A run, or a copy reaching before the output, is left with the
// rest of the group to carefulItem.
template <bool kFar>
void fastGroup(Cursor& c, const std::uint8_t* outStart) {
    std::uint32_t control = big16(c.in) << 16;
    const std::uint8_t* in = c.in + 2;
    std::uint8_t* out = c.out;
    int left = 16;
    for (; left > 0; --left) {
        const std::uint32_t copy = control >> 31;
        const std::uint32_t word = big16(in);
        const std::size_t offset = word >> 4;
        const std::size_t count = (word & 15u) + kMinCopy;
        // Near: the copy overlaps its own output, is a run (offset 0) or,
        // unless kFar, reaches before the output. One unsigned comparison
        // covers all three, since at least kMaxCopy bytes are out.
        const auto produced = static_cast<std::size_t>(out - outStart);
        const bool near = kFar ? offset < count : offset - count > produced - count;
        if (copy & near) {
            if (offset == 0 || (!kFar && offset > produced)) break;
            for (std::size_t k = 0; k < count; ++k) out[k] = (out - offset)[k];
            control <<= 1;
            out += count;
            in += 2;
            continue;
        }
        control <<= 1;
        const std::uintptr_t mask = 0 - std::uintptr_t{copy};
        const std::uintptr_t earlier = reinterpret_cast<std::uintptr_t>(out) - offset;
        const std::uintptr_t literal = reinterpret_cast<std::uintptr_t>(in);
        move18(out, reinterpret_cast<const std::uint8_t*>((earlier & mask) | (literal & ~mask)));
        out += 1 + ((count - 1) & mask);
        in += 1 + copy;
    }
    c.in = in;
    c.out = out;
    c.control = control >> 16;
    c.bits = left;
}

// Decodes one block into dst, which holds limit writable bytes, and returns
// the bytes produced. Anything that would read past the block, refer before
// the output or produce more than limit is the size-mismatch error.
std::size_t decodeBlock(std::span<const std::uint8_t> block, std::uint8_t* dst, std::size_t limit) {
    const std::size_t length = block.size();
    if (length > TLZR::MaxBlockSize) fail(kSizeMismatch);
    if (length < 2) return 0;
    const std::uint8_t* src = block.data();
    if (src[0] == kFlagStored) {
        if (length - 1 > limit) fail(kSizeMismatch);
        std::memcpy(dst, src + 1, length - 1);
        return length - 1;
    }
    if (length < 3) return 0;

    const std::uint8_t* const inEnd = src + length;
    const std::uint8_t* const outEnd = dst + limit;
    Cursor c{src + 3, dst, big16(src + 1), 16};
    while (c.in != inEnd) {
        if (c.bits == 0) {
            if (inEnd - c.in < 2) fail(kSizeMismatch);
            if (static_cast<std::size_t>(inEnd - c.in) >= kGroupIn &&
                static_cast<std::size_t>(outEnd - c.out) >= kGroupOut) {
                const auto produced = static_cast<std::size_t>(c.out - dst);
                if (produced >= kMaxOffset) {
                    fastGroup<true>(c, dst);
                    continue;
                }
                if (produced >= kMaxCopy) {
                    fastGroup<false>(c, dst);
                    continue;
                }
            }
            c.control = big16(c.in);
            c.in += 2;
            c.bits = 16;
            // Only the first control word may end a block.
            if (c.in == inEnd) fail(kSizeMismatch);
        }
        carefulItem(c, inEnd, dst, outEnd);
    }
    return static_cast<std::size_t>(c.out - dst);
}

}  // namespace

void TLZR::decompressBlock(std::span<const std::uint8_t> block, std::vector<std::uint8_t>& out) {
    out.resize(ChunkSize);
    out.resize(decodeBlock(block, out.data(), ChunkSize));
}

std::vector<std::uint8_t> compressFast(std::span<const std::uint8_t> input) {
    TLZR coder;
    std::vector<std::uint8_t> file;
    file.reserve(8 + input.size() + input.size() / TLZR::ChunkSize * 3 + 3);
    putLittle(file, kLzrw1Signature, 4);
    putLittle(file, static_cast<std::uint32_t>(input.size()), 4);
    std::vector<std::uint8_t> block;
    std::size_t at = 0;
    std::size_t taken = 0;
    do {
        taken = std::min(TLZR::ChunkSize, input.size() - at);
        coder.compressBlock(input.subspan(at, taken), block);
        at += taken;
        putLittle(file, static_cast<std::uint32_t>(block.size()), 2);
        file.insert(file.end(), block.begin(), block.end());
    } while (taken == TLZR::ChunkSize);
    return file;
}

namespace {

// The original size the header states, once the header has been checked.
std::uint64_t statedSize(std::span<const std::uint8_t> file, const std::string& inputFile) {
    if (file.size() < 4) readError(inputFile);
    if (getLittle(file, 0, 4) != kLzrw1Signature)
        fail(inputFile + " : Lzrw1 decompression : this file has no valid header !");
    if (file.size() < 8) readError(inputFile);
    const std::uint64_t original = getLittle(file, 4, 4);
    if (original > kMaxOriginalSize) fail(kSizeMismatch);
    return original;
}

// The block whose length field is at `at`, which moves past it.
std::span<const std::uint8_t> nextBlock(std::span<const std::uint8_t> file, std::size_t& at,
                                        const std::string& inputFile) {
    if (file.size() - at < 2) readError(inputFile);
    const std::size_t length = getLittle(file, at, 2);
    at += 2;
    if (length > TLZR::MaxBlockSize) fail(kSizeMismatch);
    if (file.size() - at < length) readError(inputFile);
    const auto block = file.subspan(at, length);
    at += length;
    return block;
}

// Walks the blocks of a container stating `original` bytes; `place` decodes
// one block with at most the given number of bytes and returns how many it
// produced. A block shorter than a chunk is the last.
template <class Place>
std::uint64_t decodeBlocks(std::span<const std::uint8_t> file, const std::string& inputFile,
                           std::uint64_t original, Place place) {
    std::uint64_t total = 0;
    std::size_t at = 8;
    std::size_t produced = 0;
    do {
        const auto block = nextBlock(file, at, inputFile);
        const auto limit =
            static_cast<std::size_t>(std::min<std::uint64_t>(TLZR::ChunkSize, original - total));
        produced = place(block, limit);
        total += produced;
    } while (produced == TLZR::ChunkSize);
    if (total != original) fail(kSizeMismatch);
    return total;
}

}  // namespace

std::uint64_t decompress(std::span<const std::uint8_t> file, const std::string& inputFile,
                         const std::function<void(std::span<const std::uint8_t>)>& sink) {
    std::vector<std::uint8_t> decoded(TLZR::ChunkSize);
    return decodeBlocks(file, inputFile, statedSize(file, inputFile),
                        [&](std::span<const std::uint8_t> block, std::size_t limit) {
                            const std::size_t n = decodeBlock(block, decoded.data(), limit);
                            sink(std::span<const std::uint8_t>(decoded.data(), n));
                            return n;
                        });
}

std::vector<std::uint8_t> decompress(std::span<const std::uint8_t> file,
                                     const std::string& inputFile) {
    const std::uint64_t original = statedSize(file, inputFile);
    std::vector<std::uint8_t> out(original);
    std::uint64_t at = 0;
    decodeBlocks(file, inputFile, original,
                 [&](std::span<const std::uint8_t> block, std::size_t limit) {
                     const std::size_t n = decodeBlock(block, out.data() + at, limit);
                     at += n;
                     return n;
                 });
    return out;
}

namespace {

// The output of one call: written beside the target and renamed over it by
// commit(); dropped without trace otherwise.
class PendingOutput {
  public:
    explicit PendingOutput(const std::string& target) : target_(target), file_(target) {
        if (!file_.opened())
            fail("Lzrw1 (de)compression : Failed to open output file : " + target_);
    }

    void write(std::span<const std::uint8_t> bytes) {
        if (!file_.write({reinterpret_cast<const char*>(bytes.data()), bytes.size()}))
            writeError(target_);
        written_ += bytes.size();
    }
    std::uint64_t commit() {
        if (!file_.commit()) writeError(target_);
        return written_;
    }

  private:
    std::string target_;
    AtomicFile file_;
    std::uint64_t written_ = 0;
};

FileContent readInput(const std::string& inputFile) {
    FileContent in = readWholeFile(inputFile);
    if (in.outcome == FileContent::Outcome::NotOpened)
        fail("Lzrw1 (de)compression : Failed to open input file : " + inputFile);
    return in;
}

}  // namespace

FileContent readContainerFile(const std::string& inputFile) {
    FileContent in = readInput(inputFile);
    if (!in.read()) readError(inputFile);
    return in;
}

namespace {

template <class Work>
std::uint64_t withMemoryCheck(Work work) {
    try {
        return work();
    } catch (const std::bad_alloc&) {
        fail(kNoMemory);
    }
}

}  // namespace

std::uint64_t Tlzrw1::Compress() {
    return withMemoryCheck([this] {
        std::error_code ec;
        if (std::filesystem::file_size(InputFile, ec) == static_cast<std::uintmax_t>(-1))
            fail("Lzrw1 compression : Failed to obtain the size of : " + InputFile);
        const FileContent in = readInput(InputFile);
        PendingOutput out(OutputFile);
        if (!in.read())
            fail("Lzrw1 : Error reading from input file : " + InputFile + " (LZRW1/KH)");
        out.write(compressFast(in.data()));
        return out.commit();
    });
}

std::uint64_t Tlzrw1::Decompress() {
    return withMemoryCheck([this] {
        const FileContent in = readInput(InputFile);
        PendingOutput out(OutputFile);
        if (!in.read()) readError(InputFile);
        decompress(in.data(), InputFile,
                   [&out](std::span<const std::uint8_t> block) { out.write(block); });
        return out.commit();
    });
}

}  // namespace quintelle
