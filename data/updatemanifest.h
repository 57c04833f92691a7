#pragma once
// The signed description of an update: which version the installer on the
// vendor's server is, how many bytes it has and their SHA-256, signed with
// the vendor's Ed25519 key. The vendor signs it offline (tools/sign); the
// program runs an installer only when the signature, the size and the hash
// all check against the public key built into it.
//
// The text, every line ending in one LF, in this order and nothing else:
//
//     quintelle-update 1
//     version 1.0.1
//     size 5242880
//     sha256 <64 lower-case hex digits>
//     key <64 lower-case hex digits: the signer's public key>
//     signature <128 lower-case hex digits>
//
// The signature covers the bytes of the first five lines exactly as they
// stand. One fixed order, each field once and no optional spacing give each
// manifest exactly one spelling, so what is checked is what was signed; the
// first line names the format and its version, so a later format is refused
// by this reader instead of being half understood. The key line is not
// trusted: it only tells a manifest signed by another key from an altered one.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace quintelle::update {

inline constexpr std::string_view kFormatLine = "quintelle-update 1";
inline constexpr std::size_t kMaxManifestBytes = 1024;
// A bound for the disk an installer may take before its hash is known.
inline constexpr std::uint64_t kMaxInstallerBytes = std::uint64_t{1} << 30;

using PublicKey = std::array<unsigned char, 32>;
using SecretKey = std::array<unsigned char, 64>;
using Signature = std::array<unsigned char, 64>;
using Sha256 = std::array<unsigned char, 32>;

struct Manifest {
    std::string version;  // one to four dot-separated numbers, "1.0.1"
    std::uint64_t size = 0;
    Sha256 sha256{};
};

// A manifest read but not yet checked.
struct ParsedManifest {
    Manifest manifest;
    PublicKey key{};
    Signature signature{};
    std::string_view signedPart;  // into the parsed text
};

// The manifest, or why the text is not one.
std::variant<ParsedManifest, std::string> parseManifest(std::string_view text);

enum class ManifestFault {
    Unreadable,    // not a manifest of this format
    ForeignKey,    // signed by a key this program does not trust
    BadSignature,  // our key, but the text was altered after signing
};

struct ManifestCheck {
    std::optional<Manifest> manifest;  // set only when everything checks
    ManifestFault fault = ManifestFault::Unreadable;
    std::string detail;  // what was wrong, for a maintainer
};

ManifestCheck verifyManifest(std::string_view text, const PublicKey& trusted);

// The signed text of `manifest` (the vendor's tool).
std::string signManifest(const Manifest& manifest, const SecretKey& secret);

struct KeyPair {
    PublicKey publicKey;
    SecretKey secretKey;
};
KeyPair generateKeyPair();
// The public half of a secret key.
PublicKey publicKeyOf(const SecretKey& secret);

// Streaming SHA-256, for an installer that arrives piece by piece.
class Sha256Stream {
  public:
    Sha256Stream();
    void add(const void* data, std::size_t size);
    Sha256 finish();

  private:
    alignas(16) unsigned char state_[208];
};

// True when `version` is one to four dot-separated decimal numbers.
bool isVersionText(std::string_view version);
// True when both are version texts and `offered` comes after `ours`, number
// by number ("1.0.10" after "1.0.9"; "1.1" after "1.0.5"; "1.0" equals "1.0.0").
bool isNewerVersion(std::string_view offered, std::string_view ours);

std::string toHex(const unsigned char* bytes, std::size_t size);
template <std::size_t N>
std::string toHex(const std::array<unsigned char, N>& bytes) {
    return toHex(bytes.data(), N);
}
// Exactly 2 × N lower- or upper-case hex digits, nothing else.
template <std::size_t N>
std::optional<std::array<unsigned char, N>> fromHex(std::string_view text);

}  // namespace quintelle::update
