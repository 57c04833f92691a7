// Any bytes as a high-score page: the subset never reads outside the input,
// stays within its limits whatever the nesting, and every picture it names
// is one the caller allowed, named once.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "ui/highscore/pagesubset.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view html(reinterpret_cast<const char*>(data), size);
    quintelle::ui::PageLimits limits;
    limits.maxPictures = 3;
    limits.maxCells = 20;
    limits.maxText = 4096;
    const auto allowed = [](std::string_view src) { return src.starts_with("/"); };
    const quintelle::ui::PageSubset page = quintelle::ui::pageSubset(html, allowed, limits);
    if (page.pictures.size() > 3) std::abort();
    for (std::size_t i = 0; i < page.pictures.size(); ++i) {
        if (!allowed(page.pictures[i])) std::abort();
        if (std::count(page.pictures.begin(), page.pictures.end(), page.pictures[i]) != 1)
            std::abort();
    }
    std::size_t cells = 0;
    for (std::size_t at = 0; (at = page.html.find("<td", at)) != std::string::npos; ++at) ++cells;
    if (cells > 20) std::abort();
    if (page.html.find("<script") != std::string::npos) std::abort();
    return 0;
}
