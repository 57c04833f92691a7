// Any bytes as a Daily Deal message, as a server or a client reads one: what
// reads as a form, a request or an answer is written back to the same text
// it reads again as.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "data/dailyprotocol.h"

namespace {

using namespace quintelle::daily;

std::string written(const Open& m) {
    return format(m);
}
std::string written(const Place& m) {
    return format(m);
}
std::string written(const Reply& m) {
    return std::visit([](const auto& alternative) { return format(alternative); }, m);
}

// What parse reads, written and read again, is written the same.
template <typename Message>
void roundTrip(std::variant<Message, std::string> (*parse)(std::string_view),
               std::string_view bytes) {
    auto first = parse(bytes);
    if (!std::holds_alternative<Message>(first)) return;
    const std::string text = written(std::get<Message>(first));
    auto again = parse(text);
    if (!std::holds_alternative<Message>(again) || written(std::get<Message>(again)) != text)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    auto form = parseForm(bytes);
    if (auto* f = std::get_if<Form>(&form)) {
        auto again = parseForm(f->text());
        if (!std::holds_alternative<Form>(again) || std::get<Form>(again).fields() != f->fields())
            std::abort();
    }
    roundTrip<Open>(parseOpen, bytes);
    roundTrip<Place>(parsePlace, bytes);
    roundTrip<Reply>(parseReply, bytes);
    return 0;
}
