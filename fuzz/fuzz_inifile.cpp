// Any bytes as a settings file: every key the program writes reads back as
// written, and writing the same keys again changes nothing.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "data/inifile.h"

namespace {

constexpr std::string_view kSection = "quintelle";
constexpr std::string_view kIntegerKeys[] = {"Top", "Left", "Width", "Height"};
constexpr std::string_view kTextKeys[] = {"Name", "Sounds", "Update"};

struct Values {
    std::int32_t integers[4];
    std::string texts[3];
};

// Values taken from the input itself, so names with blanks, line breaks,
// '=' or '[' and very long ones come up as the fuzzer explores.
Values valuesFrom(std::string_view bytes) {
    Values v{};
    for (std::size_t i = 0; i < 4; ++i) {
        std::uint32_t n = 0;
        for (std::size_t k = 0; k < 4 && i * 4 + k < bytes.size(); ++k)
            n = n << 8 | static_cast<unsigned char>(bytes[i * 4 + k]);
        v.integers[i] = static_cast<std::int32_t>(n);
    }
    const std::size_t third = bytes.size() / 3;
    for (std::size_t i = 0; i < 3; ++i) v.texts[i] = std::string(bytes.substr(i * third, third));
    return v;
}

// What a reader gets back for a written text: the first line, without the
// blanks around it, cut to the longest value read.
std::string expectedText(std::string_view written) {
    written = written.substr(0, written.find_first_of("\r\n"));
    while (!written.empty() && (written.front() == ' ' || written.front() == '\t'))
        written.remove_prefix(1);
    while (!written.empty() && (written.back() == ' ' || written.back() == '\t'))
        written.remove_suffix(1);
    return std::string(written.substr(0, quintelle::IniFile::kMaxValue));
}

void writeAll(quintelle::IniFile& ini, const Values& v) {
    for (std::size_t i = 0; i < 4; ++i) ini.writeInteger(kSection, kIntegerKeys[i], v.integers[i]);
    for (std::size_t i = 0; i < 3; ++i) ini.writeString(kSection, kTextKeys[i], v.texts[i]);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    quintelle::IniFile ini("fuzz.ini", bytes);
    for (std::string_view key : kIntegerKeys) (void)ini.readInteger(kSection, key, 0);
    for (std::string_view key : kTextKeys) (void)ini.readString(kSection, key, "");

    const Values v = valuesFrom(bytes);
    writeAll(ini, v);
    const std::string written = ini.bytes();

    quintelle::IniFile back("fuzz.ini", written);
    for (std::size_t i = 0; i < 4; ++i)
        if (back.readInteger(kSection, kIntegerKeys[i], v.integers[i] ^ 1) != v.integers[i])
            std::abort();
    for (std::size_t i = 0; i < 3; ++i)
        if (back.readString(kSection, kTextKeys[i], "<missing>") != expectedText(v.texts[i]))
            std::abort();

    writeAll(back, v);
    if (back.bytes() != written) std::abort();
    return 0;
}
