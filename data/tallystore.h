#pragma once
// The tally file: the tally grid's text form in the LZRW1/KH container,
// named after the product word ("quintelletally.tld") in a folder the caller
// gives. Loading and saving work in memory; the file is replaced whole, so a
// failed or interrupted save keeps the previous tally.
#include <filesystem>
#include <string>
#include <string_view>

#include "data/tally.h"

namespace quintelle {

class TallyStore {
  public:
    static constexpr std::string_view kProduct = "quintelle";

    static std::string fileName(std::string_view product = kProduct);

    explicit TallyStore(const std::filesystem::path& folder);

    const std::filesystem::path& path() const { return path_; }
    // Where a tally file that failed to load is kept by the next save.
    std::filesystem::path badPath() const;

    // Loads the stored tally into `model` and shows it; without a file the
    // model is left as it is. Raises the container's or the grid text's
    // error; cells read before the error keep their new values.
    void load(TallyModel& model);

    // Writes the model's grid. Raises ELzrw1Exception when the file cannot be
    // written; the previous file then stays as it was.
    void save(const TallyModel& model);

  private:
    std::filesystem::path path_;
    bool loadFailed_ = false;
};

}  // namespace quintelle
