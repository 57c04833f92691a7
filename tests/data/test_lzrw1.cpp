// The tally file container: exact bytes (other copies must read ours and we
// theirs), round trips, every failure message, and hostile blocks.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <random>

#include "data/lzrw1.h"

namespace fs = std::filesystem;
using quintelle::ELzrw1Exception;
using quintelle::TLZR;
using Bytes = std::vector<std::uint8_t>;

namespace {

Bytes bytes(std::string_view text) {
    return Bytes(text.begin(), text.end());
}
Bytes repeat(std::string_view text, int times) {
    Bytes out;
    for (int i = 0; i < times; ++i) out.insert(out.end(), text.begin(), text.end());
    return out;
}
Bytes cat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
// A container holding the given blocks, claiming `original` decoded bytes.
Bytes container(std::uint32_t original, const std::vector<Bytes>& blocks) {
    Bytes file{0x57, 0x52, 0x5A, 0x4C};
    for (int i = 0; i < 4; ++i) file.push_back(static_cast<std::uint8_t>(original >> (8 * i)));
    for (const Bytes& block : blocks) {
        file.push_back(static_cast<std::uint8_t>(block.size()));
        file.push_back(static_cast<std::uint8_t>(block.size() >> 8));
        file = cat(file, block);
    }
    return file;
}
std::string failure(const Bytes& file) {
    try {
        quintelle::decompress(file, "in.tld");
    } catch (const ELzrw1Exception& e) {
        return e.what();
    }
    return "no error";
}

const std::string kSize =
    "Lzrw1 (decompression LZRW1/KH) : Original and compressed sizes do not match !";
const std::string kRead = "Lzrw1 : Error reading from input file : in.tld";
const std::string kHeader = "in.tld : Lzrw1 decompression : this file has no valid header !";

}  // namespace

TEST(Lzrw1Block, CodesKnownChunksExactly) {
    Bytes sixteenRuns{0x40, 0xFF, 0xFF}, runsChunk;
    for (std::uint8_t v = 0; v <= 16; ++v) {
        if (v == 16) sixteenRuns = cat(sixteenRuns, {0x80, 0x00});
        sixteenRuns = cat(sixteenRuns, {0, 0, 0, v});
        runsChunk.insert(runsChunk.end(), 16, v);
    }
    const struct {
        const char* name;
        Bytes chunk, block;
    } rows[] = {
        {"one run of 100", Bytes(100, 0x41), {0x40, 0x80, 0x00, 0x00, 0x00, 0x54, 0x41}},
        {"runs stop at 4095",
         Bytes(5000, 0x41),
         {0x40, 0xC0, 0x00, 0x00, 0x0F, 0xEF, 0x41, 0x00, 0x03, 0x79, 0x41}},
        {"literals and two copies",
         repeat("abc", 8),
         {0x40, 0x18, 0x00, 0x61, 0x62, 0x63, 0x00, 0x3F, 0x01, 0x20}},
        {"coded as long as stored stays coded", bytes("abcdeabcde"),
         cat({0x40, 0x04, 0x00}, cat(bytes("abcde"), {0x00, 0x52}))},
        {"coded one longer than stored is stored", bytes("abcdeabcd"),
         cat({0x80}, bytes("abcdeabcd"))},
        {"second control word after 16 items", runsChunk, sixteenRuns},
        {"empty chunk", {}, {0x80}},
        // "hao" shares its hash bucket with "bik" and takes it over, so the
        // second "bik" finds no candidate and stays literal.
        {"one candidate per bucket", cat(bytes("bikhaobik"), Bytes(20, 'z')),
         cat({0x40, 0x00, 0x40}, cat(bytes("bikhaobik"), {0x00, 0x00, 0x04, 'z'}))},
    };
    TLZR coder;
    for (const auto& row : rows) {
        Bytes block, decoded;
        coder.compressBlock(row.chunk, block);
        EXPECT_EQ(block, row.block) << row.name;
        TLZR::decompressBlock(block, decoded);
        EXPECT_EQ(decoded, row.chunk) << row.name;
    }
}

// The block format read the plainest way, item by item: the decoded bytes,
// or nothing where a block is malformed.
std::optional<Bytes> readItemByItem(const Bytes& block) {
    const std::size_t limit = TLZR::ChunkSize, size = block.size();
    if (size < 2) return Bytes{};
    if (block[0] == 0x80) {
        if (size - 1 > limit) return std::nullopt;
        return Bytes(block.begin() + 1, block.end());
    }
    if (size < 3) return Bytes{};
    Bytes out;
    unsigned control = block[1] << 8 | block[2];
    int bits = 16;
    for (std::size_t i = 3; i < size;) {
        if (bits == 0) {
            if (i + 2 > size) return std::nullopt;
            control = block[i] << 8 | block[i + 1];
            bits = 16;
            i += 2;
            if (i == size) return std::nullopt;  // a control word with no item
        }
        const bool copy = control & 0x8000;
        control <<= 1;
        --bits;
        if (!copy) {
            if (out.size() == limit) return std::nullopt;
            out.push_back(block[i++]);
            continue;
        }
        if (i + 2 > size) return std::nullopt;
        const std::size_t offset = block[i] << 4 | block[i + 1] >> 4;
        if (offset == 0) {
            if (i + 4 > size) return std::nullopt;
            const std::size_t run = ((block[i + 1] & 15u) << 8 | block[i + 2]) + 16;
            if (out.size() + run > limit) return std::nullopt;
            out.insert(out.end(), run, block[i + 3]);
            i += 4;
            continue;
        }
        const std::size_t count = (block[i + 1] & 15u) + 3;
        if (offset > out.size() || out.size() + count > limit) return std::nullopt;
        for (std::size_t k = 0; k < count; ++k) out.push_back(out[out.size() - offset]);
        i += 2;
    }
    return out;
}

// A block of random items, mostly well formed: literals, copies from near
// (overlapping what they make) and far, now and then a run; with `flaw`, one
// item somewhere reaches before the output or decodes past the chunk, or the
// block is cut short.
Bytes randomBlock(std::mt19937& random, std::size_t outputTarget, int flaw) {
    const auto pick = [&](std::size_t n) { return static_cast<std::size_t>(random() % n); };
    Bytes block{0x40};
    std::size_t produced = 0, controlAt = 0, items = 16, item = 0;
    const std::size_t flawAt = pick(outputTarget / 4 + 1);
    std::uint32_t control = 0;
    const auto endGroup = [&] {
        block[controlAt] = static_cast<std::uint8_t>(control >> 8);
        block[controlAt + 1] = static_cast<std::uint8_t>(control);
    };
    while (produced < outputTarget) {
        if (items == 16) {
            if (item > 0) endGroup();
            controlAt = block.size();
            block.insert(block.end(), 2, 0);
            items = 0;
            control = 0;
        }
        const std::size_t kind = pick(100);
        const bool flawed = flaw == 1 && item == flawAt;
        std::uint32_t bit = 1;
        if (flawed) {
            const std::size_t offset = std::min<std::size_t>(produced + 1 + pick(40), 4095);
            if (offset <= produced) break;
            block.push_back(static_cast<std::uint8_t>(offset >> 4));
            block.push_back(static_cast<std::uint8_t>(offset << 4 | pick(16)));
            produced += 18;
        } else if (flaw == 2 && item == flawAt) {
            block.insert(block.end(), {0x00, 0x0F, 0xFF, 0x2A});  // 4111 bytes of '*'
            produced += 4111;
        } else if (kind < 35 || produced == 0) {
            bit = 0;
            block.push_back(static_cast<std::uint8_t>('a' + pick(kind < 5 ? 200 : 6)));
            produced += 1;
        } else if (kind < 37) {
            const std::size_t run = 16 + pick(300);
            block.insert(block.end(), {0x00, static_cast<std::uint8_t>((run - 16) >> 8),
                                       static_cast<std::uint8_t>(run - 16),
                                       static_cast<std::uint8_t>(pick(256))});
            produced += run;
        } else {
            const std::size_t reach = std::min<std::size_t>(produced, 4095);
            const std::size_t offset =
                1 + (kind < 60 ? pick(std::min<std::size_t>(reach, 20)) : pick(reach));
            const std::size_t count = 3 + pick(16);
            block.push_back(static_cast<std::uint8_t>(offset >> 4));
            block.push_back(static_cast<std::uint8_t>(offset << 4 | (count - 3)));
            produced += count;
        }
        control |= bit << (15 - items);
        ++items;
        ++item;
    }
    endGroup();
    if (flaw == 3) block.resize(1 + pick(block.size() - 1));
    return block;
}

TEST(Lzrw1Block, DecodesAnyBlockAsItemByItemReadingDoes) {
    // Output sizes from a few bytes to a whole chunk cover both ends of the
    // block, the first 4095 bytes (where copies may reach before the output)
    // and the rest.
    for (const std::size_t target : {20u, 300u, 5000u, 32000u, 32768u})
        for (int flaw = 0; flaw <= 3; ++flaw)
            for (unsigned seed = 1; seed <= 25; ++seed) {
                std::mt19937 random(seed * 31 + flaw);
                const Bytes block = randomBlock(random, target, flaw);
                const std::optional<Bytes> expected = readItemByItem(block);
                Bytes decoded;
                bool failed = false;
                try {
                    TLZR::decompressBlock(block, decoded);
                } catch (const ELzrw1Exception&) {
                    failed = true;
                }
                const std::string row = "target " + std::to_string(target) + " flaw " +
                                        std::to_string(flaw) + " seed " + std::to_string(seed);
                ASSERT_EQ(failed, !expected.has_value()) << row;
                if (expected) {
                    ASSERT_EQ(decoded, *expected) << row;
                }
            }
}

TEST(Lzrw1Container, WritesKnownFilesExactly) {
    EXPECT_EQ(quintelle::compressFast({}),
              (Bytes{0x57, 0x52, 0x5A, 0x4C, 0, 0, 0, 0, 0x01, 0x00, 0x80}));
    EXPECT_EQ(quintelle::compressFast(bytes("abcde")),
              cat({0x57, 0x52, 0x5A, 0x4C, 0x05, 0, 0, 0, 0x06, 0x00, 0x80}, bytes("abcde")));

    const Bytes full = quintelle::compressFast(Bytes(32768, 0x41));
    const Bytes tail(full.end() - 3, full.end());
    EXPECT_EQ(tail, (Bytes{0x01, 0x00, 0x80})) << "a full chunk is followed by an empty block";
    EXPECT_EQ(full.size(), 8u + 2 + full[8] + 256u * full[9] + 3);
}

TEST(Lzrw1Container, RoundTripsEveryKindAndSize) {
    std::mt19937 random(7);
    const auto make = [&](int kind, std::size_t size) {
        Bytes data(size);
        const std::string_view words = "the tally of rounds played and cleared by Guest ";
        for (std::size_t i = 0; i < size; ++i)
            data[i] = kind == 0 ? static_cast<std::uint8_t>(words[(i * 7 + i / 97) % words.size()])
                      : kind == 1 ? static_cast<std::uint8_t>(i / 5000 % 3)
                      // copies from every distance 1..40, near ones overlapping what they make
                      : kind == 3 ? static_cast<std::uint8_t>('a' + i % (1 + i / 700 % 40))
                                  : static_cast<std::uint8_t>(random());
        return data;
    };
    for (std::size_t size : {0u, 1u, 32767u, 32768u, 32769u, 200u * 1024u})
        for (int kind = 0; kind < 4; ++kind) {
            const Bytes data = make(kind, size);
            const Bytes file = quintelle::compressFast(data);
            EXPECT_EQ(quintelle::decompress(file), data) << "size " << size << " kind " << kind;
            if (kind == 2) {
                EXPECT_LE(file.size(), 8 + size + (size / 32768 + 1) * 3)
                    << "random data is stored";
            }
            if (kind == 1 && size > 0) {
                EXPECT_LT(file.size(), size / 50 + 64) << "runs compress";
            }
        }
}

TEST(Lzrw1Container, RejectsDamagedAndHostileFiles) {
    const Bytes good = quintelle::compressFast(repeat("abc", 8));  // 24 bytes, one 10-byte block
    Bytes eightLongRuns{0x40, 0xFF, 0x00};
    for (int i = 0; i < 8; ++i) eightLongRuns = cat(eightLongRuns, {0x00, 0x0F, 0xFF, 0x41});
    Bytes sixteenLiterals = cat({0x40, 0x00, 0x00}, repeat("x", 16));
    const struct {
        const char* name;
        Bytes file;
        std::string message;
    } rows[] = {
        {"under 4 bytes", {0x57, 0x52, 0x5A}, kRead},
        {"other signature", bytes("WRZM\0\0\0\0"), kHeader},
        {"LZH signature", {0x21, 0x48, 0x5A, 0x4C, 0, 0, 0, 0}, kHeader},
        {"no original size", {0x57, 0x52, 0x5A, 0x4C, 0}, kRead},
        {"no block length", container(0, {}), kRead},
        {"truncated in a block", Bytes(good.begin(), good.end() - 1), kRead},
        {"fewer bytes than the header",
         container(25, {{0x40, 0x18, 0x00, 0x61, 0x62, 0x63, 0x00, 0x3F, 0x01, 0x20}}), kSize},
        {"more bytes than the header",
         container(23, {{0x40, 0x18, 0x00, 0x61, 0x62, 0x63, 0x00, 0x3F, 0x01, 0x20}}), kSize},
        {"more blocks than the header",
         cat(container(32767, {cat({0x80}, Bytes(32768, 1))}), {0x02, 0x00, 0x80, 0x41}), kSize},
        {"copy before the start", container(3, {{0x40, 0x80, 0x00, 0x00, 0x30}}), kSize},
        {"copy reaching before the start", container(5, {{0x40, 0x40, 0x00, 0x61, 0x00, 0x22}}),
         kSize},
        {"decodes past a chunk", container(40000, {eightLongRuns}), kSize},
        // A stated size over 16 MiB is refused before any block is read.
        {"states 16 MiB, no block", container(16 * 1024 * 1024, {}), kRead},
        {"states one byte over 16 MiB", container(16 * 1024 * 1024 + 1, {}), kSize},
        {"states 4 GiB", container(0xFFFFFFFF, {}), kSize},
        {"block over 32769", cat(container(0, {}), cat({0x02, 0x80, 0x80}, Bytes(32770, 0))),
         kSize},
        {"copy item cut off", container(3, {{0x40, 0x40, 0x00, 0x61, 0x00}}), kSize},
        {"run item cut off", container(16, {{0x40, 0x80, 0x00, 0x00, 0x00, 0x00}}), kSize},
        {"control word cut off", container(17, {cat(sixteenLiterals, {0x00})}), kSize},
        {"no item after a control word", container(16, {cat(sixteenLiterals, {0x00, 0x00})}),
         kSize},
    };
    for (const auto& row : rows) EXPECT_EQ(failure(row.file), row.message) << row.name;
}

class Lzrw1Files : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("lzrw1-test-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string path(const char* name) const { return (dir_ / name).string(); }
    static void write(const std::string& file, const Bytes& data) {
        std::ofstream(file, std::ios::binary)
            .write(reinterpret_cast<const char*>(data.data()), data.size());
    }
    static Bytes read(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    // Runs the call and returns its error; no output file nor temporary may remain.
    std::string failure(quintelle::Tlzrw1& z, bool compress) {
        std::string message = "no error";
        try {
            compress ? z.Compress() : z.Decompress();
        } catch (const ELzrw1Exception& e) {
            message = e.what();
        }
        EXPECT_FALSE(fs::exists(z.OutputFile)) << message;
        EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()),
                  fs::exists(z.InputFile) ? 1 : 0)
            << "only the input remains";
        return message;
    }

    fs::path dir_;
};

TEST_F(Lzrw1Files, CompressesAndDecompressesFiles) {
    const Bytes text = repeat("0\r\n-1000\r\n\r\n", 40);
    write(path("temp.txt"), text);
    quintelle::Tlzrw1 z;
    EXPECT_EQ(z.CompressMode, quintelle::TCompressMode::Good);
    z.InputFile = path("temp.txt");
    z.OutputFile = path("tally.tld");
    const std::uint64_t written = z.Compress();  // Good mode writes the fast container too
    EXPECT_EQ(read(path("tally.tld")), quintelle::compressFast(text));
    EXPECT_EQ(written, read(path("tally.tld")).size());

    write(path("back.txt.tmp"), bytes("stale leftover"));
    z.InputFile = path("tally.tld");
    z.OutputFile = path("back.txt");
    EXPECT_EQ(z.Decompress(), text.size());
    EXPECT_EQ(read(path("back.txt")), text);
}

TEST_F(Lzrw1Files, FailuresLeaveNoOutput) {
    quintelle::Tlzrw1 z;
    z.InputFile = path("missing");
    z.OutputFile = path("out");
    EXPECT_EQ(failure(z, true),
              "Lzrw1 compression : Failed to obtain the size of : " + z.InputFile);
    EXPECT_EQ(failure(z, false),
              "Lzrw1 (de)compression : Failed to open input file : " + z.InputFile);

    z.InputFile = path("in");
    z.OutputFile = path("no-such-folder/out");
    write(z.InputFile, bytes("abc"));
    EXPECT_EQ(failure(z, true),
              "Lzrw1 (de)compression : Failed to open output file : " + z.OutputFile);

    const Bytes good = quintelle::compressFast(repeat("abc", 8));
    z.OutputFile = path("out");
    const struct {
        Bytes file;
        std::string message;
    } rows[] = {
        {Bytes(good.begin(), good.end() - 1),
         "Lzrw1 : Error reading from input file : " + z.InputFile},
        {bytes("RIFF...."),
         z.InputFile + " : Lzrw1 decompression : this file has no valid header !"},
        {bytes("WR"), "Lzrw1 : Error reading from input file : " + z.InputFile},
        {container(30, {{0x40, 0x18, 0x00, 0x61, 0x62, 0x63, 0x00, 0x3F, 0x01, 0x20}}), kSize},
    };
    for (const auto& row : rows) {
        write(z.InputFile, row.file);
        EXPECT_EQ(failure(z, false), row.message);
    }
}

TEST_F(Lzrw1Files, FailedCallKeepsEarlierOutput) {
    quintelle::Tlzrw1 z;
    z.InputFile = path("in");
    z.OutputFile = path("out");
    write(z.InputFile, bytes("not a container"));
    write(z.OutputFile, bytes("previous tally"));
    EXPECT_THROW(z.Decompress(), ELzrw1Exception);
    EXPECT_EQ(read(z.OutputFile), bytes("previous tally"));

    fs::remove(z.OutputFile);
    fs::create_directory(z.OutputFile);  // cannot be replaced by a file
    EXPECT_EQ(
        [&] {
            try {
                z.Compress();
            } catch (const ELzrw1Exception& e) {
                return std::string(e.what());
            }
            return std::string("no error");
        }(),
        "Lzrw1 : Error writing to output file : " + z.OutputFile);
    EXPECT_FALSE(fs::exists(z.OutputFile + ".tmp"));
}
