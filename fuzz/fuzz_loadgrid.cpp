// Any bytes as grid text: loading must fail with a GridTextError or give a
// grid that saves and loads back to itself.
#include <cstdlib>
#include <string_view>

#include "data/gridtext.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    quintelle::TextGrid grid(9, 12);
    try {
        quintelle::loadgrid(grid, bytes);
    } catch (const quintelle::GridTextError&) {
        return 0;
    }
    // Keep the round trip cheap on the huge (empty) grids some inputs state.
    if (static_cast<long long>(grid.columns()) * grid.rows() > 100'000) return 0;
    quintelle::TextGrid back;
    quintelle::loadgrid(back, quintelle::savegrid(grid));
    if (!(back == grid)) std::abort();
    return 0;
}
