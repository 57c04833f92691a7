// Reading a whole file: every byte as stored, and which step failed.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "data/readfile.h"

namespace fs = std::filesystem;
using quintelle::FileContent;
using quintelle::readWholeFile;

namespace {

class ReadWholeFile : public testing::Test {
  protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("quintelle-readfile-" + std::to_string(std::random_device()()));
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    fs::path write(const std::string& name, const std::string& bytes) {
        const fs::path file = folder_ / name;
        std::ofstream(file, std::ios::binary) << bytes;
        return file;
    }

    fs::path folder_;
};

std::string randomBytes(std::size_t size) {
    std::mt19937 generator(7);
    std::string bytes(size, '\0');
    for (char& c : bytes) c = static_cast<char>(generator());
    return bytes;
}

TEST_F(ReadWholeFile, GivesEveryByteAsStored) {
    struct Row {
        const char* what;
        std::string bytes;
    };
    const Row rows[] = {
        {"empty", ""},
        {"line ends and zero bytes kept", std::string("a\r\n\0b\n\x1a", 7)},
        {"larger than one read, not a multiple of it", randomBytes(3 * 16384 + 5)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const FileContent content = readWholeFile(write("file", row.bytes));
        EXPECT_EQ(content.outcome, FileContent::Outcome::Read);
        EXPECT_TRUE(content.read());
        EXPECT_EQ(content.bytes, row.bytes);
        EXPECT_EQ(content.text(), row.bytes);
        ASSERT_EQ(content.data().size(), row.bytes.size());
        if (!row.bytes.empty()) {
            EXPECT_EQ(content.data().back(), static_cast<std::uint8_t>(row.bytes.back()));
        }
    }
}

TEST_F(ReadWholeFile, TellsAFileNotOpenedFromOneNotRead) {
    const FileContent missing = readWholeFile(folder_ / "missing");
    EXPECT_EQ(missing.outcome, FileContent::Outcome::NotOpened);
    EXPECT_EQ(missing.error, ENOENT);
    EXPECT_FALSE(missing.read());

    // A folder opens like a file here and fails at the first read.
    const FileContent folder = readWholeFile(folder_);
    EXPECT_EQ(folder.outcome, FileContent::Outcome::NotRead);
    EXPECT_EQ(folder.error, EISDIR);
    EXPECT_TRUE(folder.bytes.empty());
}

}  // namespace
