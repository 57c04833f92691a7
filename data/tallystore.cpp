#include "data/tallystore.h"

#include <cstdint>
#include <span>
#include <system_error>
#include <vector>

#include "data/atomicfile.h"
#include "data/gridtext.h"
#include "data/lzrw1.h"

namespace quintelle {

namespace {

std::span<const std::uint8_t> asBytes(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

}  // namespace

std::string TallyStore::fileName(std::string_view product) {
    return std::string(product) + "tally.tld";
}

TallyStore::TallyStore(const std::filesystem::path& folder) : path_(folder / fileName()) {}

std::filesystem::path TallyStore::badPath() const {
    auto bad = path_;
    bad += ".bad";
    return bad;
}

void TallyStore::load(TallyModel& model) {
    std::error_code error;
    if (!std::filesystem::exists(path_, error)) return;
    FileContent file;
    try {
        file = readContainerFile(path_.string());
    } catch (...) {
        loadFailed_ = true;
        throw;
    }
    TextGrid grid = TallyModel::freshGrid();
    try {
        const std::vector<std::uint8_t> text = decompress(file.data(), path_.string());
        loadgrid(grid, std::string_view(reinterpret_cast<const char*>(text.data()), text.size()));
    } catch (...) {
        loadFailed_ = true;
        model.setGrid(std::move(grid));
        throw;
    }
    model.setGrid(std::move(grid));
    model.loadtally();
}

void TallyStore::save(const TallyModel& model) {
    const std::vector<std::uint8_t> file = compressFast(asBytes(savegrid(model.grid())));
    std::error_code error;
    // The file we could not read may still be the player's only record.
    if (loadFailed_ && std::filesystem::exists(path_, error)) {
        std::filesystem::copy_file(path_, badPath(),
                                   std::filesystem::copy_options::overwrite_existing, error);
        if (error)
            throw ELzrw1Exception("Lzrw1 : Error writing to output file : " + badPath().string());
    }
    if (!writeFileAtomically(
            path_, std::string_view(reinterpret_cast<const char*>(file.data()), file.size())))
        throw ELzrw1Exception("Lzrw1 : Error writing to output file : " + path_.string());
    loadFailed_ = false;
}

}  // namespace quintelle
