// The signed update manifest: what verifies, what each kind of tampering is
// refused as, which version counts as newer, and the vendor's tool writing
// what the program accepts.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>

#include "data/readfile.h"
#include "data/updatemanifest.h"

using namespace quintelle::update;
namespace fs = std::filesystem;

namespace {

Manifest sample() {
    Manifest m;
    m.version = "1.0.1";
    m.size = 5242880;
    for (std::size_t i = 0; i < m.sha256.size(); ++i) m.sha256[i] = static_cast<unsigned char>(i);
    return m;
}

// Replaces the first `from` in `text`.
std::string edited(std::string text, const std::string& from, const std::string& to) {
    const auto at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

}  // namespace

TEST(UpdateManifest, VerifiesOnlyUnalteredTextSignedByTheTrustedKey) {
    const KeyPair vendor = generateKeyPair();
    const KeyPair stranger = generateKeyPair();
    const std::string good = signManifest(sample(), vendor.secretKey);
    const std::string hash = toHex(sample().sha256);
    const std::string flipped = hash.substr(0, 63) + (hash[63] == '0' ? "1" : "0");
    const auto signatureOf = [](const std::string& text) {
        return text.substr(text.find("signature ") + 10, 128);
    };
    const std::string signature = signatureOf(good);
    const std::string other = signManifest(Manifest{"2.0", 1, {}}, vendor.secretKey);
    const struct Row {
        const char* name;
        std::string text;
        std::optional<ManifestFault> fault;  // none: verifies
    } rows[] = {
        {"as signed", good, std::nullopt},
        {"version raised", edited(good, "version 1.0.1", "version 9.9.9"),
         ManifestFault::BadSignature},
        {"size changed", edited(good, "size 5242880", "size 5242881"), ManifestFault::BadSignature},
        {"one hash digit", edited(good, hash, flipped), ManifestFault::BadSignature},
        {"signature of another text", edited(good, signature, signatureOf(other)),
         ManifestFault::BadSignature},
        {"another key's manifest", signManifest(sample(), stranger.secretKey),
         ManifestFault::ForeignKey},
        {"our key line on a stranger's signature",
         edited(signManifest(sample(), stranger.secretKey), toHex(stranger.publicKey),
                toHex(vendor.publicKey)),
         ManifestFault::BadSignature},
        {"CR LF lines", edited(good, "\n", "\r\n"), ManifestFault::Unreadable},
        {"no final line break", good.substr(0, good.size() - 1), ManifestFault::Unreadable},
        {"a line more", good + "note hello\n", ManifestFault::Unreadable},
        {"a later format", edited(good, "quintelle-update 1", "quintelle-update 2"),
         ManifestFault::Unreadable},
        {"upper-case hex", edited(good, hash, std::string(64, 'A')), ManifestFault::Unreadable},
        {"two spaces", edited(good, "size ", "size  "), ManifestFault::Unreadable},
        {"leading zero", edited(good, "size ", "size 0"), ManifestFault::Unreadable},
        {"size zero", edited(good, "size 5242880", "size 0"), ManifestFault::Unreadable},
        {"size over the bound", edited(good, "size 5242880", "size 1073741825"),
         ManifestFault::Unreadable},
        {"version not numbers", edited(good, "1.0.1", "1.0.1-rc"), ManifestFault::Unreadable},
        {"fields swapped",
         edited(edited(good, "version 1.0.1\n", ""), "sha256", "version 1.0.1\nsha256"),
         ManifestFault::Unreadable},
        {"a shell script", "#!/bin/sh\nrm -rf ~\n", ManifestFault::Unreadable},
        {"empty", "", ManifestFault::Unreadable},
        {"huge", std::string(2000, 'x'), ManifestFault::Unreadable},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const ManifestCheck check = verifyManifest(row.text, vendor.publicKey);
        EXPECT_EQ(check.manifest.has_value(), !row.fault);
        if (row.fault) {
            EXPECT_EQ(check.fault, *row.fault);
            EXPECT_FALSE(check.detail.empty());
        } else {
            EXPECT_EQ(check.manifest->version, "1.0.1");
            EXPECT_EQ(check.manifest->size, 5242880u);
            EXPECT_EQ(check.manifest->sha256, sample().sha256);
        }
    }
}

TEST(UpdateManifest, ANewerVersionIsLaterNumberByNumber) {
    const struct {
        const char* offered;
        const char* ours;
        bool newer;
    } rows[] = {{"1.0.1", "1.0.0", true},  {"1.0.0", "1.0.0", false},    {"1.0", "1.0.0", false},
                {"1.0.10", "1.0.9", true}, {"1.1", "1.0.5", true},       {"0.9.9", "1.0.0", false},
                {"9.9.9", "1.0.0", true},  {"1.0.0\n", "1.0.0", false},  {"", "1.0.0", false},
                {"1..0", "1.0.0", false},  {"1.0.0.0.1", "1.0.0", false}};
    for (const auto& row : rows)
        EXPECT_EQ(isNewerVersion(row.offered, row.ours), row.newer)
            << row.offered << " vs " << row.ours;
}

TEST(UpdateManifest, HashesInPiecesAsInOne) {
    const std::string bytes(100000, 'q');
    Sha256Stream whole, pieces;
    whole.add(bytes.data(), bytes.size());
    for (std::size_t at = 0; at < bytes.size(); at += 999)
        pieces.add(bytes.data() + at, std::min<std::size_t>(999, bytes.size() - at));
    EXPECT_EQ(whole.finish(), pieces.finish());
    Sha256Stream empty;
    EXPECT_EQ(toHex(empty.finish()),
              "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
}

// The vendor's tool, run as the vendor runs it.
TEST(SignTool, WritesTheInstallerAndAManifestTheProgramAccepts) {
    const fs::path dir = fs::temp_directory_path() / ("quintelle-sign-" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "files");
    const auto run = [&](const std::string& arguments) {
        const std::string command =
            std::string(QUINTELLE_SIGN) + " " + arguments + " >" + (dir / "out").string() + " 2>&1";
        return WEXITSTATUS(std::system(command.c_str()));
    };
    const std::string secret = (dir / "secret").string(), pub = (dir / "public").string();
    ASSERT_EQ(run("keygen " + secret + " " + pub), 0);
    struct stat info {};
    ASSERT_EQ(stat(secret.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_NE(run("keygen " + secret + " " + pub), 0);  // never over the vendor's key

    std::ofstream(dir / "setup.bin") << "the installer's bytes";
    const std::string files = (dir / "files").string();
    ASSERT_EQ(run("sign " + secret + " " + (dir / "setup.bin").string() + " 1.2.3 " + files), 0);
    EXPECT_EQ(run("verify " + pub + " " + files), 0);
    EXPECT_NE(run("sign " + secret + " " + (dir / "setup.bin").string() + " 1.2.x " + files), 0);

    const auto key = fromHex<32>(quintelle::readWholeFile(pub).text().substr(0, 64));
    ASSERT_TRUE(key);
    const ManifestCheck check =
        verifyManifest(quintelle::readWholeFile(dir / "files" / "qtlsetup.manifest").text(), *key);
    ASSERT_TRUE(check.manifest) << check.detail;
    EXPECT_EQ(check.manifest->version, "1.2.3");
    EXPECT_EQ(check.manifest->size, 21u);
    EXPECT_EQ(quintelle::readWholeFile(dir / "files" / "qtlsetup.exe").bytes,
              "the installer's bytes");
    EXPECT_FALSE(fs::exists(dir / "files" / "qtlsetup.exe.tmp"));

    std::ofstream(dir / "files" / "qtlsetup.exe", std::ios::app) << "!";
    EXPECT_NE(run("verify " + pub + " " + files), 0);
    fs::remove_all(dir);
}
