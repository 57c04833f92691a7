// The settings file: value rules, name matching, in-place edits and the
// all-or-nothing save.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "data/atomicfile.h"
#include "data/inifile.h"

namespace {

namespace fs = std::filesystem;
using quintelle::IniFile;

class IniTest : public testing::Test {
  protected:
    void SetUp() override {
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        folder_ = fs::temp_directory_path() /
                  ("quintelle-ini-" + std::string(info->name()) + "-" + std::to_string(::getpid()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        path_ = folder_ / "quintelle.ini";
    }
    void TearDown() override { fs::remove_all(folder_); }

    void put(const std::string& bytes) { std::ofstream(path_, std::ios::binary) << bytes; }
    std::string content() const {
        std::ifstream in(path_, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    fs::path folder_;
    fs::path path_;
};

struct IntegerRow {
    const char* value;
    int expected;
};

std::ostream& operator<<(std::ostream& out, const IntegerRow& row) {
    return out << '"' << row.value << '"';
}

class IntegerValues : public IniTest, public testing::WithParamInterface<IntegerRow> {};

TEST_P(IntegerValues, ConvertOrFallBackToTheDefault) {
    put(std::string("[quintelle]\r\nWidth=") + GetParam().value + "\r\n");
    EXPECT_EQ(IniFile(path_).readInteger("quintelle", "Width", 634), GetParam().expected)
        << '"' << GetParam().value << '"';
}

INSTANTIATE_TEST_SUITE_P(Rows, IntegerValues,
                         testing::Values(IntegerRow{"0x280", 640}, IntegerRow{"0X280", 640},
                                         IntegerRow{"0x", 634}, IntegerRow{"abc", 634},
                                         IntegerRow{" 12", 12}, IntegerRow{"12  ", 12},
                                         IntegerRow{"-5", -5}, IntegerRow{"$1F", 31},
                                         IntegerRow{"2147483648", 634}, IntegerRow{"", 634},
                                         IntegerRow{"0", 0}, IntegerRow{"1e3", 634}));

TEST_F(IniTest, TextsComeBackAsStoredAndTheDefaultOnlyForAMissingKey) {
    put("[quintelle]\r\nSounds=No\r\nUpdate=FALSE\r\nName=\r\nLeft=  spaced out \t\r\n");
    const IniFile ini(path_);
    struct Row {
        const char* key;
        const char* expected;
    } rows[] = {{"Sounds", "No"},
                {"Update", "FALSE"},
                {"Name", ""},
                {"Left", "spaced out"},
                {"Missing", "Guest"}};
    for (const auto& row : rows)
        EXPECT_EQ(ini.readString("quintelle", row.key, "Guest"), row.expected) << row.key;
    EXPECT_EQ(ini.readString("other", "Name", "Guest"), "Guest");
    EXPECT_EQ(ini.readInteger("quintelle", "Missing", 3), 3);
}

TEST_F(IniTest, NamesMatchWithoutRegardToCaseAndTheFirstEntryWins) {
    put("[Other]\nTop=1\n[ QUINTELLE ]\ntOP = 7\ntop=8\n[quintelle]\nTop=9\n");
    IniFile ini(path_);
    EXPECT_EQ(ini.readInteger("quintelle", "Top", 3), 7);
    ini.writeInteger("Quintelle", "TOP", 10);
    EXPECT_EQ(ini.bytes(), "[Other]\nTop=1\n[ QUINTELLE ]\nTOP=10\r\ntop=8\n[quintelle]\nTop=9\n");
}

TEST_F(IniTest, ReadsAnyLineEnd) {
    for (const char* end : {"\r\n", "\n", "\r"}) {
        put(std::string("[quintelle]") + end + "Top=5" + end + "Left=6");
        const IniFile ini(path_);
        EXPECT_EQ(ini.readInteger("quintelle", "Top", 3), 5);
        EXPECT_EQ(ini.readInteger("quintelle", "Left", 3), 6);
    }
}

TEST_F(IniTest, AFileThatCannotBeReadReadsAsEmpty) {
    // A folder in the file's place opens like a file here and fails to read.
    fs::create_directory(path_);
    const IniFile ini(path_);
    EXPECT_EQ(ini.readString("quintelle", "Name", "Guest"), "Guest");
    EXPECT_EQ(ini.readInteger("quintelle", "Top", 7), 7);
}

TEST_F(IniTest, ANewFileGetsTheSectionAndTheKeysInTheOrderWritten) {
    IniFile ini(path_);
    ini.writeInteger("quintelle", "Top", 3);
    ini.writeInteger("quintelle", "Left", -3);
    ini.writeInteger("quintelle", "Width", 634);
    ini.writeInteger("quintelle", "Height", 586);
    ini.writeString("quintelle", "Name", "Guest");
    ini.writeString("quintelle", "Sounds", "yes");
    ini.writeString("quintelle", "Update", "true");
    ini.save();
    EXPECT_EQ(content(),
              "[quintelle]\r\nTop=3\r\nLeft=-3\r\nWidth=634\r\nHeight=586\r\nName=Guest\r\n"
              "Sounds=yes\r\nUpdate=true\r\n");
    EXPECT_FALSE(fs::exists(quintelle::temporaryPathFor(path_)));
}

TEST_F(IniTest, EditsKeepEveryOtherLineByteForByte) {
    const std::string before =
        "; settings\n[other]\r\nTop=99\r\n\r\n[quintelle]\r\n  Top = 1  \r\nColour=red\n"
        "; note\r\nWidth=5\r\n\r\n\r\n[last]\rx=1";
    put(before);
    IniFile ini(path_);
    ini.writeInteger("quintelle", "Top", 40);
    ini.writeInteger("quintelle", "Width", 640);
    ini.writeString("quintelle", "Name", "Ann");
    ini.writeString("quintelle", "Sounds", "no");
    ini.writeString("last", "y", "2");
    ini.save();
    EXPECT_EQ(content(),
              "; settings\n[other]\r\nTop=99\r\n\r\n[quintelle]\r\nTop=40\r\nColour=red\n"
              "; note\r\nWidth=640\r\nName=Ann\r\nSounds=no\r\n\r\n\r\n[last]\rx=1\r\ny=2\r\n");
}

TEST_F(IniTest, AMissingSectionGoesToTheEndOfTheFile) {
    put("[other]\r\nKey=1");
    IniFile ini(path_);
    ini.writeInteger("quintelle", "Top", 3);
    ini.writeInteger("quintelle", "Left", 4);
    EXPECT_EQ(ini.bytes(), "[other]\r\nKey=1\r\n[quintelle]\r\nTop=3\r\nLeft=4\r\n");
    EXPECT_EQ(ini.readInteger("quintelle", "Left", 0), 4);
}

TEST_F(IniTest, ALineBreakCannotSmuggleInAnotherLine) {
    IniFile ini(path_);
    ini.writeString("quintelle", "Name", "Bob\r\n[quintelle]\r\nTop=1");
    EXPECT_EQ(ini.bytes(), "[quintelle]\r\nName=Bob\r\n");
}

TEST_F(IniTest, TextsAreCutAt2047Characters) {
    const std::string longValue = std::string(2047, 'a') + "bcd";
    put("[quintelle]\r\nName=" + longValue + "\r\n");
    EXPECT_EQ(IniFile(path_).readString("quintelle", "Name", ""), longValue.substr(0, 2047));
}

TEST_F(IniTest, AFailedSaveReportsThePathAndLeavesThePreviousFile) {
    const std::string before = "[quintelle]\r\nTop=1\r\n";
    put(before);
    IniFile ini(path_);
    ini.writeInteger("quintelle", "Top", 2);
    // The temporary file cannot be created where a folder of its name stands.
    fs::create_directory(quintelle::temporaryPathFor(path_));
    try {
        ini.save();
        FAIL() << "save reported success";
    } catch (const quintelle::IniWriteError& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + path_.string());
    }
    EXPECT_EQ(content(), before);
}

TEST_F(IniTest, SavingIntoAMissingFolderFails) {
    IniFile ini(folder_ / "gone" / "quintelle.ini");
    ini.writeInteger("quintelle", "Top", 2);
    EXPECT_THROW(ini.save(), quintelle::IniWriteError);
}

}  // namespace
