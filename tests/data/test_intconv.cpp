// The integer conversion shared by the settings file and the tally.
#include <gtest/gtest.h>

#include <optional>

#include "data/intconv.h"

namespace {

using quintelle::toInt32;
using quintelle::toInt32With0x;

struct Row {
    const char* text;
    std::optional<std::int32_t> general;
    std::optional<std::int32_t> with0x;
};

std::ostream& operator<<(std::ostream& out, const Row& row) {
    return out << '"' << row.text << '"';
}

class Conversion : public testing::TestWithParam<Row> {};

TEST_P(Conversion, AcceptsExactlyTheWholeText) {
    const Row& row = GetParam();
    EXPECT_EQ(toInt32(row.text), row.general) << '"' << row.text << '"';
    EXPECT_EQ(toInt32With0x(row.text), row.with0x) << '"' << row.text << '"';
}

constexpr std::optional<std::int32_t> none;

INSTANTIATE_TEST_SUITE_P(
    Rows, Conversion,
    testing::Values(Row{"12", 12, 12}, Row{"  12", 12, 12}, Row{"+7", 7, 7}, Row{"-5", -5, -5},
                    Row{"007", 7, 7}, Row{"$1F", 31, 31}, Row{"$1f", 31, 31}, Row{"-$10", -16, -16},
                    Row{"0x280", none, 640}, Row{"0X1f", none, 31}, Row{"0x", none, none},
                    Row{"0", 0, 0}, Row{"", none, none}, Row{" ", none, none}, Row{"-", none, none},
                    Row{"$", none, none}, Row{"abc", none, none}, Row{"12 ", none, none},
                    Row{"1 2", none, none}, Row{"1.5", none, none}, Row{"$G", none, none},
                    Row{"0x-5", none, none}, Row{"2147483647", 2147483647, 2147483647},
                    Row{"-2147483648", INT32_MIN, INT32_MIN}, Row{"2147483648", none, none},
                    Row{"-2147483649", none, none}, Row{"$7FFFFFFF", INT32_MAX, INT32_MAX},
                    Row{"$80000000", none, none}, Row{"0x80000000", none, none},
                    Row{"99999999999999999999", none, none}, Row{"\t5", none, none}));

TEST(StrictConversion, NamesTheTextInItsError) {
    EXPECT_EQ(quintelle::toInt32Strict(" -42"), -42);
    try {
        quintelle::toInt32Strict("abc");
        FAIL() << "no error raised";
    } catch (const quintelle::ConversionError& e) {
        EXPECT_STREQ(e.what(), "'abc' is not a valid integer value");
    }
}

}  // namespace
