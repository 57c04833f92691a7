// The tally file: in-memory round trip, the exact container bytes, missing
// and damaged files, and saves that must never lose the previous tally.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "data/atomicfile.h"
#include "data/gridtext.h"
#include "data/lzrw1.h"
#include "data/tallystore.h"

namespace {

namespace fs = std::filesystem;
using quintelle::TallyModel;
using quintelle::TallyStore;
using quintelle::TextGrid;

TallyModel makeTally() {
    return TallyModel([] { return std::string("14.03.2024"); });
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string containerOf(const std::string& text) {
    const auto* data = reinterpret_cast<const std::uint8_t*>(text.data());
    const auto bytes = quintelle::compressFast({data, text.size()});
    return {bytes.begin(), bytes.end()};
}

class TallyStoreTest : public testing::Test {
  protected:
    void SetUp() override {
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        folder_ = fs::temp_directory_path() / ("quintelle-tally-" + std::string(info->name()) +
                                               "-" + std::to_string(::getpid()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    // A tally with statistics, entries and text in cells nobody uses.
    static TallyModel playedTally() {
        TallyModel tally = makeTally();
        TextGrid grid = tally.grid();
        grid.set(7, 5, "unused");
        grid.set(0, 11, "row eleven");
        tally.setGrid(grid);
        tally.addtomineincrease(1);
        tally.addtomineincrease(2);
        tally.addtomineincrease(1);
        tally.checkscore(300, "Ann");
        tally.checkscore(120, "");
        return tally;
    }

    fs::path folder_;
};

TEST_F(TallyStoreTest, TheFileIsNamedAfterTheProduct) {
    EXPECT_EQ(TallyStore::fileName(), "quintelletally.tld");
    EXPECT_EQ(TallyStore(folder_).path(), folder_ / "quintelletally.tld");
}

TEST_F(TallyStoreTest, SaveAndLoadRoundTripEveryCell) {
    const TallyModel saved = playedTally();
    TallyStore(folder_).save(saved);
    const std::string first = readFile(folder_ / "quintelletally.tld");

    TallyModel loaded = makeTally();
    TallyStore store(folder_);
    store.load(loaded);
    EXPECT_EQ(loaded.grid(), saved.grid());
    for (int index = 1; index <= 3; ++index)
        EXPECT_EQ(loaded.statistic(index), saved.statistic(index));
    EXPECT_EQ(loaded.statistic(3), "50");
    for (int n = 1; n <= 10; ++n) {
        EXPECT_EQ(loaded.place(n).score, saved.place(n).score) << n;
        EXPECT_EQ(loaded.place(n).tag, saved.place(n).tag) << n;
        EXPECT_EQ(loaded.place(n).date, saved.place(n).date) << n;
        EXPECT_EQ(loaded.place(n).name, saved.place(n).name) << n;
    }
    store.save(loaded);
    EXPECT_EQ(readFile(folder_ / "quintelletally.tld"), first);
    EXPECT_FALSE(fs::exists(store.badPath()));
}

TEST_F(TallyStoreTest, TheFileIsTheCompressedGridTextFile) {
    const TallyModel tally = playedTally();
    TallyStore(folder_).save(tally);
    // The same grid through the file-based path: grid text file, then Compress.
    quintelle::savegrid(tally.grid(), folder_ / "grid.txt");
    quintelle::Tlzrw1 doit;
    doit.CompressMode = quintelle::TCompressMode::Fast;
    doit.InputFile = (folder_ / "grid.txt").string();
    doit.OutputFile = (folder_ / "expected.tld").string();
    doit.Compress();
    EXPECT_EQ(readFile(folder_ / "quintelletally.tld"), readFile(folder_ / "expected.tld"));
    EXPECT_EQ(readFile(folder_ / "quintelletally.tld").substr(0, 4), "WRZL");
}

TEST_F(TallyStoreTest, AMissingFileLeavesAFreshTally) {
    TallyModel tally = makeTally();
    TallyStore store(folder_);
    store.load(tally);
    EXPECT_EQ(tally.grid(), TallyModel::freshGrid());
    EXPECT_EQ(tally.place(1).tag, -1000);
    EXPECT_TRUE(fs::is_empty(folder_)) << "loading writes nothing";
    store.save(tally);
    EXPECT_TRUE(fs::exists(store.path()));
}

struct DamagedRow {
    const char* what;
    std::string file;
    std::string message;  // "%s" stands for the tally file's path
};

std::ostream& operator<<(std::ostream& out, const DamagedRow& row) {
    return out << row.what;
}

class DamagedFile : public TallyStoreTest, public testing::WithParamInterface<DamagedRow> {};

TEST_P(DamagedFile, ReportsItKeepsAFreshTallyAndIsKeptAsideAtTheNextSave) {
    const DamagedRow& row = GetParam();
    TallyStore store(folder_);
    writeFile(store.path(), row.file);
    writeFile(store.badPath(), "older damaged file");

    TallyModel tally = makeTally();
    std::string message = row.message;
    if (const auto at = message.find("%s"); at != std::string::npos)
        message.replace(at, 2, store.path().string());
    try {
        store.load(tally);
        FAIL() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), message);
    }
    EXPECT_EQ(tally.grid(), TallyModel::freshGrid());
    EXPECT_EQ(tally.place(1).tag, -1000);

    tally.checkscore(10, "Ann");
    store.save(tally);
    EXPECT_EQ(readFile(store.badPath()), row.file);
    TallyModel reloaded = makeTally();
    TallyStore(folder_).load(reloaded);
    EXPECT_EQ(reloaded.place(1).name, "Ann");

    // Only the file that failed is kept aside, not the next good one.
    store.save(reloaded);
    EXPECT_EQ(readFile(store.badPath()), row.file);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DamagedFile,
    testing::Values(
        DamagedRow{"other format", "not a tally file",
                   "%s : Lzrw1 decompression : this file has no valid header !"},
        DamagedRow{"sizes differ", containerOf("9\r\n12\r\n").replace(4, 1, "\x09"),
                   "Lzrw1 (decompression LZRW1/KH) : Original and compressed sizes do not match !"},
        DamagedRow{"truncated", containerOf(std::string(100, 'x')).substr(0, 12),
                   "Lzrw1 : Error reading from input file : %s"},
        DamagedRow{"grid count not a number", containerOf("nine\r\n12\r\n"),
                   "Invalid numeric input"}));

TEST_F(TallyStoreTest, AFileThatOpensButCannotBeReadIsAReadError) {
    // A folder in the file's place opens like a file here and fails to read.
    TallyStore store(folder_);
    fs::create_directory(store.path());
    TallyModel tally = makeTally();
    try {
        store.load(tally);
        FAIL() << "no error";
    } catch (const quintelle::ELzrw1Exception& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Lzrw1 : Error reading from input file : " + store.path().string());
    }
    EXPECT_EQ(tally.grid(), TallyModel::freshGrid());
}

TEST_F(TallyStoreTest, ASmallStoredGridIsWidenedToTheTally) {
    TallyStore store(folder_);
    writeFile(store.path(), containerOf("1\r\n1\r\n5\r\n"));
    TallyModel tally = makeTally();
    store.load(tally);
    EXPECT_EQ(tally.grid().columns(), 9);
    EXPECT_EQ(tally.grid().rows(), 12);
    EXPECT_EQ(tally.place(10).tag, -1000);
    tally.addtomineincrease(1);
    EXPECT_EQ(tally.statistic(1), "1");
}

TEST_F(TallyStoreTest, AFailedSaveLeavesThePreviousFile) {
    TallyStore store(folder_);
    store.save(playedTally());
    const std::string before = readFile(store.path());
    fs::create_directory(quintelle::temporaryPathFor(store.path()));
    try {
        store.save(makeTally());
        FAIL() << "no error";
    } catch (const quintelle::ELzrw1Exception& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Lzrw1 : Error writing to output file : " + store.path().string());
    }
    EXPECT_EQ(readFile(store.path()), before);
}

TEST_F(TallyStoreTest, SavingIntoAMissingFolderFails) {
    EXPECT_THROW(TallyStore(folder_ / "gone").save(makeTally()), quintelle::ELzrw1Exception);
}

}  // namespace
