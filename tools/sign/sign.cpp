// quintelle-sign: makes the vendor's update key pair and signs installers.
//
//   quintelle-sign keygen SECRET PUBLIC
//   quintelle-sign sign SECRET INSTALLER VERSION FILESDIR
//   quintelle-sign verify PUBLIC FILESDIR
//
// `sign` puts the installer into FILESDIR as qtlsetup.exe and its signed
// manifest beside it as qtlsetup.manifest, each written whole and renamed
// into place, the installer first: a client that meets the new installer
// with the old manifest refuses it instead of running it.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>

#include "data/atomicfile.h"
#include "data/readfile.h"
#include "data/updatemanifest.h"

namespace fs = std::filesystem;
using namespace quintelle;
using namespace quintelle::update;

namespace {

constexpr const char* kInstallerName = "qtlsetup.exe";
constexpr const char* kManifestName = "qtlsetup.manifest";

int usage() {
    std::cerr << "usage:\n"
                 "  quintelle-sign keygen SECRET PUBLIC\n"
                 "      makes a key pair; SECRET is written readable by its owner only\n"
                 "  quintelle-sign sign SECRET INSTALLER VERSION FILESDIR\n"
                 "      copies INSTALLER to FILESDIR/qtlsetup.exe and writes its signed\n"
                 "      manifest, FILESDIR/qtlsetup.manifest\n"
                 "  quintelle-sign verify PUBLIC FILESDIR\n"
                 "      checks the manifest and installer that FILESDIR serves\n";
    return 2;
}

int fail(const std::string& message) {
    std::cerr << "quintelle-sign: " << message << "\n";
    return 1;
}

// A key file: its hex digits, with or without a final line break.
template <std::size_t N>
std::optional<std::array<unsigned char, N>> readKey(const fs::path& file, std::string& why) {
    const FileContent content = readWholeFile(file);
    if (!content.read()) {
        why = "cannot read " + file.string() + ": " + std::strerror(content.error);
        return std::nullopt;
    }
    std::string_view text = content.text();
    if (!text.empty() && text.back() == '\n') text.remove_suffix(1);
    auto key = fromHex<N>(text);
    if (!key) why = file.string() + " is not a key file of " + std::to_string(N) + " bytes";
    return key;
}

// Writes `bytes` to a new file only its owner can read; never over an
// existing one, so a second keygen cannot destroy the vendor's key.
bool writeNewFile(const fs::path& file, const std::string& bytes, mode_t mode, std::string& why) {
    FilePtr f;
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL, mode);
    if (fd >= 0) f.reset(::fdopen(fd, "wb"));
    bool ok = f && std::fwrite(bytes.data(), 1, bytes.size(), f.get()) == bytes.size() &&
              std::fflush(f.get()) == 0 && ::fsync(::fileno(f.get())) == 0;
    if (!ok) why = "cannot write " + file.string() + ": " + std::strerror(errno);
    if (fd >= 0 && !f) ::close(fd);
    return ok;
}

int keygen(const fs::path& secretFile, const fs::path& publicFile) {
    std::string why;
    if (fs::exists(secretFile) || fs::exists(publicFile))
        return fail("refusing to overwrite an existing key file");
    const KeyPair pair = generateKeyPair();
    if (!writeNewFile(secretFile, toHex(pair.secretKey) + "\n", 0600, why) ||
        !writeNewFile(publicFile, toHex(pair.publicKey) + "\n", 0644, why))
        return fail(why);
    std::cout << "Build the game with this key to let it accept updates you sign:\n"
              << "  -DQUINTELLE_UPDATE_KEY=" << toHex(pair.publicKey) << "\n";
    return 0;
}

// Copies the installer beside its final name, hashing what was written,
// then renames it into place.
bool placeInstaller(const fs::path& from, const fs::path& to, Manifest& manifest,
                    std::string& why) {
    FilePtr in(std::fopen(from.c_str(), "rb"));
    if (!in) return why = "cannot read " + from.string() + ": " + std::strerror(errno), false;
    const fs::path temporary = temporaryPathFor(to);
    FilePtr out(std::fopen(temporary.c_str(), "wb"));
    if (!out)
        return why = "cannot write " + temporary.string() + ": " + std::strerror(errno), false;
    Sha256Stream hash;
    char buffer[1 << 16];
    bool ok = true;
    std::size_t n;
    while (ok && (n = std::fread(buffer, 1, sizeof buffer, in.get())) > 0) {
        hash.add(buffer, n);
        manifest.size += n;
        ok = std::fwrite(buffer, 1, n, out.get()) == n;
    }
    ok = ok && !std::ferror(in.get()) && std::fflush(out.get()) == 0 &&
         ::fsync(::fileno(out.get())) == 0;
    ok = std::fclose(out.release()) == 0 && ok;
    std::error_code error;
    if (ok) fs::rename(temporary, to, error);
    if (!ok || error) {
        fs::remove(temporary, error);
        why = "cannot write " + to.string();
        return false;
    }
    manifest.sha256 = hash.finish();
    return true;
}

int sign(const fs::path& secretFile, const fs::path& installer, const std::string& version,
         const fs::path& folder) {
    std::string why;
    const auto secret = readKey<64>(secretFile, why);
    if (!secret) return fail(why);
    if (!isVersionText(version))
        return fail("version must be one to four dot-separated numbers, as 1.0.1");
    if (!fs::is_directory(folder)) return fail(folder.string() + " is not a folder");
    Manifest manifest;
    manifest.version = version;
    if (!placeInstaller(installer, folder / kInstallerName, manifest, why)) return fail(why);
    if (manifest.size == 0 || manifest.size > kMaxInstallerBytes)
        return fail("an installer must have 1 byte to 1 GiB");
    if (!writeFileAtomically(folder / kManifestName, signManifest(manifest, *secret)))
        return fail("cannot write " + (folder / kManifestName).string());
    std::cout << "Signed " << version << ": " << manifest.size << " bytes, sha256 "
              << toHex(manifest.sha256) << "\n";
    return 0;
}

int verify(const fs::path& publicFile, const fs::path& folder) {
    std::string why;
    const auto key = readKey<32>(publicFile, why);
    if (!key) return fail(why);
    const FileContent text = readWholeFile(folder / kManifestName);
    if (!text.read()) return fail("cannot read " + (folder / kManifestName).string());
    const ManifestCheck check = verifyManifest(text.text(), *key);
    if (!check.manifest) return fail(check.detail);
    const FileContent installer = readWholeFile(folder / kInstallerName);
    if (!installer.read()) return fail("cannot read " + (folder / kInstallerName).string());
    Sha256Stream hash;
    hash.add(installer.bytes.data(), installer.bytes.size());
    if (installer.bytes.size() != check.manifest->size || hash.finish() != check.manifest->sha256)
        return fail("the installer is not the one the manifest signs");
    std::cout << "Good: version " << check.manifest->version << ", " << check.manifest->size
              << " bytes\n";
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    try {
        if (command == "keygen" && argc == 4) return keygen(argv[2], argv[3]);
        if (command == "sign" && argc == 6) return sign(argv[2], argv[3], argv[4], argv[5]);
        if (command == "verify" && argc == 4) return verify(argv[2], argv[3]);
    } catch (const std::exception& e) {
        return fail(e.what());
    }
    return usage();
}
