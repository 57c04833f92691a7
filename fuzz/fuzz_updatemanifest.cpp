// Any bytes as an update manifest: the reader never reads outside its input,
// and whatever it accepts is the one spelling of the manifest it returns, so
// no two texts can carry the same signed fields.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "data/updatemanifest.h"

using namespace quintelle::update;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto parsed = parseManifest(text);
    const auto* p = std::get_if<ParsedManifest>(&parsed);
    if (!p) return 0;
    const Manifest& m = p->manifest;
    const std::string spelled = std::string(kFormatLine) + "\nversion " + m.version + "\nsize " +
                                std::to_string(m.size) + "\nsha256 " + toHex(m.sha256) + "\nkey " +
                                toHex(p->key) + "\n";
    if (p->signedPart != spelled) std::abort();
    if (text != spelled + "signature " + toHex(p->signature) + "\n") std::abort();
    if (m.size == 0 || m.size > kMaxInstallerBytes || !isVersionText(m.version)) std::abort();
    // A key that did not sign it never verifies it.
    if (verifyManifest(text, PublicKey{}).manifest) std::abort();
    return 0;
}
