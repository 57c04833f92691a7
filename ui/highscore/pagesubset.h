#pragma once
// The high-score page as the viewer shows it: any HTML text, parsed by a real
// HTML parser (gumbo), reduced to a small subset of rich text whose layout
// cost is bounded whatever the page holds: limited nesting, limited tables,
// limited text, only pictures the caller allows and at most 64 of them, no
// scripts, styles or forms. Plain C++, so it runs on a worker thread and
// under the fuzzer.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quintelle::ui {

struct PageLimits {
    std::size_t maxTags = 100000;  // tags read at all; the rest of the text is cut
    int maxDepth = 32;             // elements open at once
    int maxTableDepth = 4;         // tables inside tables
    int maxCells = 1000;           // table cells on the page
    int maxCellsPerRow = 64;
    std::size_t maxText = 256 * 1024;  // bytes of text
    int maxPictures = 64;              // distinct pictures
};

struct PageSubset {
    // Rich text for the viewer. Picture n (0-based) is written as
    // <img src="picture:n">; its address as the page wrote it is pictures[n].
    std::string html;
    std::vector<std::string> pictures;
    // Something was left out to stay within the limits.
    bool shortened = false;
};

// `allowPicture` says which picture addresses may be shown at all.
PageSubset pageSubset(std::string_view html,
                      const std::function<bool(std::string_view)>& allowPicture,
                      const PageLimits& limits = {});

}  // namespace quintelle::ui
