// libcurl, with the many libraries it brings, is neither linked into the game
// nor loaded by opening its window, only by the first fetch: most sessions
// never fetch, and a start without it takes less memory and time.
// A program of its own, so no earlier test has fetched anything yet.
#include <elf.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "mainwindow_fixture.h"
#include "net/httpget.h"

namespace {

using quintelle::testsupport::Reply;
using quintelle::testsupport::ScriptedServer;

// The DT_NEEDED names of a 64-bit ELF file, found through its section
// headers; empty when the file is not one.
std::vector<std::string> neededLibraries(const char* path) {
    std::ifstream in(path, std::ios::binary);
    const auto read = [&in](std::uint64_t offset, auto& value) {
        in.seekg(static_cast<std::streamoff>(offset));
        return static_cast<bool>(in.read(reinterpret_cast<char*>(&value), sizeof value));
    };
    std::vector<std::string> names;
    Elf64_Ehdr header;
    if (!read(0, header) || std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 ||
        header.e_ident[EI_CLASS] != ELFCLASS64)
        return names;
    const auto sectionAt = [&](unsigned index) {
        return header.e_shoff + std::uint64_t{index} * header.e_shentsize;
    };
    for (unsigned i = 0; i < header.e_shnum; ++i) {
        Elf64_Shdr dynamic, strings;
        if (!read(sectionAt(i), dynamic)) return {};
        if (dynamic.sh_type != SHT_DYNAMIC) continue;
        if (!read(sectionAt(dynamic.sh_link), strings)) return {};
        for (std::uint64_t at = 0; at + sizeof(Elf64_Dyn) <= dynamic.sh_size;
             at += sizeof(Elf64_Dyn)) {
            Elf64_Dyn entry;
            if (!read(dynamic.sh_offset + at, entry) || entry.d_tag == DT_NULL) break;
            if (entry.d_tag != DT_NEEDED) continue;
            in.seekg(static_cast<std::streamoff>(strings.sh_offset + entry.d_un.d_val));
            std::string name;
            std::getline(in, name, '\0');
            names.push_back(name);
        }
    }
    return names;
}

bool libcurlMapped() {
    std::ifstream maps("/proc/self/maps");
    for (std::string line; std::getline(maps, line);)
        if (line.find("/libcurl") != std::string::npos) return true;
    return false;
}

}  // namespace

TEST(StartupLibraries, TheGameNeedsQtButNotLibcurl) {
    const std::vector<std::string> needed = neededLibraries(QUINTELLE_GAME_EXECUTABLE);
    const auto lists = [&](const std::string& prefix) {
        for (const std::string& name : needed)
            if (name.rfind(prefix, 0) == 0) return true;
        return false;
    };
    const std::pair<const char*, bool> rows[] = {
        {"libQt6Widgets.so", true}, {"libc.so", true}, {"libcurl", false}};
    for (const auto& [prefix, listed] : rows) {
        SCOPED_TRACE(prefix);
        EXPECT_EQ(lists(prefix), listed);
    }
}

class StartupTest : public MainWindowTest {};

// Several fetches at once are the session's first, so they race to load it.
TEST_F(StartupTest, LibcurlIsLoadedByTheFirstFetchNotByTheWindow) {
    ASSERT_FALSE(libcurlMapped()) << "loaded before the window was created";
    writeIni({QStringLiteral("Update=false")});
    open();
    QTest::qWait(50);
    EXPECT_FALSE(libcurlMapped());

    ScriptedServer server({Reply::ok("hello", "text/plain")});
    std::vector<std::unique_ptr<THTTPGet>> gets;
    std::vector<QByteArray> bodies(4);
    for (QByteArray& body : bodies) {
        auto& get = *gets.emplace_back(std::make_unique<THTTPGet>());
        get.OnDoneString = [&body](THTTPGet*, const QByteArray& received) { body = received; };
        get.URL = QStringLiteral("http://127.0.0.1/version.txt");
        get.Port = server.port();
        get.StartFetch();
    }
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            for (const auto& get : gets)
                if (get->busy()) return false;
            return true;
        },
        10000));
    for (const QByteArray& body : bodies) EXPECT_EQ(body, "hello");
    EXPECT_TRUE(libcurlMapped());
}
