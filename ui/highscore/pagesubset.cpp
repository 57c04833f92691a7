#include "ui/highscore/pagesubset.h"

#include <gumbo.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <unordered_map>

namespace quintelle::ui {

namespace {

// What becomes of an element.
enum class Keep {
    Drop,         // with everything inside it
    Transparent,  // its content only
    Element,      // the element, with its checked attributes
};

struct Rule {
    Keep keep;
    const char* name = nullptr;  // as written out
};

Rule ruleFor(GumboTag tag) {
    switch (tag) {
        case GUMBO_TAG_HEAD:
        case GUMBO_TAG_TITLE:
        case GUMBO_TAG_SCRIPT:
        case GUMBO_TAG_STYLE:
        case GUMBO_TAG_NOSCRIPT:
        case GUMBO_TAG_TEMPLATE:
        case GUMBO_TAG_IFRAME:
        case GUMBO_TAG_OBJECT:
        case GUMBO_TAG_EMBED:
        case GUMBO_TAG_SVG:
        case GUMBO_TAG_MATH:
        case GUMBO_TAG_TEXTAREA:
        case GUMBO_TAG_SELECT:
        case GUMBO_TAG_FRAMESET:
            return {Keep::Drop};
        default:
            break;
    }
    static const std::unordered_map<int, const char*> kept = {
        {GUMBO_TAG_P, "p"},
        {GUMBO_TAG_DIV, "div"},
        {GUMBO_TAG_CENTER, "center"},
        {GUMBO_TAG_H1, "h1"},
        {GUMBO_TAG_H2, "h2"},
        {GUMBO_TAG_H3, "h3"},
        {GUMBO_TAG_H4, "h4"},
        {GUMBO_TAG_H5, "h5"},
        {GUMBO_TAG_H6, "h6"},
        {GUMBO_TAG_BR, "br"},
        {GUMBO_TAG_HR, "hr"},
        {GUMBO_TAG_B, "b"},
        {GUMBO_TAG_STRONG, "strong"},
        {GUMBO_TAG_I, "i"},
        {GUMBO_TAG_EM, "em"},
        {GUMBO_TAG_U, "u"},
        {GUMBO_TAG_S, "s"},
        {GUMBO_TAG_SMALL, "small"},
        {GUMBO_TAG_BIG, "big"},
        {GUMBO_TAG_SUB, "sub"},
        {GUMBO_TAG_SUP, "sup"},
        {GUMBO_TAG_TT, "tt"},
        {GUMBO_TAG_CODE, "code"},
        {GUMBO_TAG_PRE, "pre"},
        {GUMBO_TAG_FONT, "font"},
        {GUMBO_TAG_SPAN, "span"},
        {GUMBO_TAG_A, "a"},
        {GUMBO_TAG_IMG, "img"},
        {GUMBO_TAG_UL, "ul"},
        {GUMBO_TAG_OL, "ol"},
        {GUMBO_TAG_LI, "li"},
        {GUMBO_TAG_BLOCKQUOTE, "blockquote"},
        {GUMBO_TAG_TABLE, "table"},
        {GUMBO_TAG_TR, "tr"},
        {GUMBO_TAG_TD, "td"},
        {GUMBO_TAG_TH, "th"},
        {GUMBO_TAG_CAPTION, "caption"},
    };
    const auto found = kept.find(tag);
    return found == kept.end() ? Rule{Keep::Transparent} : Rule{Keep::Element, found->second};
}

bool isVoid(GumboTag tag) {
    return tag == GUMBO_TAG_BR || tag == GUMBO_TAG_HR || tag == GUMBO_TAG_IMG;
}

void escapeInto(std::string& out, std::string_view text) {
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\0':
                break;
            default:
                out += c;
        }
    }
}

bool allOf(std::string_view text, bool (*ok)(char)) {
    return std::all_of(text.begin(), text.end(), ok);
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isHex(char c) {
    return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isFontNameChar(char c) {
    return isLetter(c) || isDigit(c) || c == ' ' || c == ',' || c == '-';
}

// A number of at most `max`, or a percentage.
bool isLength(std::string_view v, int max) {
    const bool percent = !v.empty() && v.back() == '%';
    if (percent) v.remove_suffix(1);
    if (v.empty() || v.size() > 4 || !allOf(v, isDigit)) return false;
    return std::stoi(std::string(v)) <= (percent ? 100 : max);
}

bool isColour(std::string_view v) {
    if (!v.empty() && v[0] == '#')
        return (v.size() == 4 || v.size() == 7) && allOf(v.substr(1), isHex);
    return !v.empty() && v.size() <= 20 && allOf(v, isLetter);
}

bool isOneOf(std::string_view v, std::initializer_list<std::string_view> words) {
    std::string lower(v);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return std::find(words.begin(), words.end(), lower) != words.end();
}

// Whether attribute `name` with value `v` may stay on an element.
bool allowedAttribute(GumboTag tag, std::string_view name, std::string_view v) {
    const bool cell = tag == GUMBO_TAG_TD || tag == GUMBO_TAG_TH;
    if (name == "align") return isOneOf(v, {"left", "right", "center", "justify"});
    if (name == "valign") return cell && isOneOf(v, {"top", "middle", "bottom"});
    if (name == "bgcolor")
        return (cell || tag == GUMBO_TAG_TABLE || tag == GUMBO_TAG_TR) && isColour(v);
    if (name == "color") return tag == GUMBO_TAG_FONT && isColour(v);
    if (name == "face") return tag == GUMBO_TAG_FONT && v.size() <= 64 && allOf(v, isFontNameChar);
    if (name == "size")
        return tag == GUMBO_TAG_FONT && v.size() <= 2 &&
               (allOf(v, isDigit) || ((v[0] == '+' || v[0] == '-') && allOf(v.substr(1), isDigit)));
    if (name == "width")
        return (cell || tag == GUMBO_TAG_TABLE || tag == GUMBO_TAG_IMG || tag == GUMBO_TAG_HR) &&
               isLength(v, 2000);
    if (name == "height") return tag == GUMBO_TAG_IMG && isLength(v, 2000) && v.back() != '%';
    if (name == "colspan" || name == "rowspan") return cell && isLength(v, 64) && v.back() != '%';
    if (name == "border")
        return (tag == GUMBO_TAG_TABLE || tag == GUMBO_TAG_IMG) && isLength(v, 10);
    if (name == "cellpadding" || name == "cellspacing")
        return tag == GUMBO_TAG_TABLE && isLength(v, 50);
    if (name == "nowrap") return cell;
    if (name == "href") return tag == GUMBO_TAG_A && v.size() <= 2048;
    if (name == "name") return tag == GUMBO_TAG_A && v.size() <= 256;
    return false;
}

class Walker {
  public:
    Walker(const std::function<bool(std::string_view)>& allowPicture, const PageLimits& limits)
        : allowPicture_(allowPicture), limits_(limits) {}

    PageSubset run(const GumboNode* root) {
        // Depth first with a stack of our own: a page may nest without bound.
        struct Frame {
            const GumboNode* node;
            unsigned next = 0;       // next child
            std::string close{};     // written when the node is done
            bool table = false;      // a table kept as a table
            bool flatTable = false;  // a table whose rows became lines
        };
        std::vector<Frame> stack;
        stack.push_back({root});
        while (!stack.empty() && !full()) {
            Frame& top = stack.back();
            const GumboVector* children = childrenOf(top.node);
            if (!children || top.next >= children->length) {
                out_.html += top.close;
                if (top.table) --tableDepth_;
                if (top.flatTable) --flatTables_;
                if (!top.close.empty()) --depth_;
                stack.pop_back();
                continue;
            }
            const auto* child = static_cast<const GumboNode*>(children->data[top.next++]);
            if (child->type == GUMBO_NODE_TEXT || child->type == GUMBO_NODE_WHITESPACE) {
                text(child->v.text.text);
            } else if (child->type == GUMBO_NODE_ELEMENT) {
                Frame frame{child};
                if (open(child->v.element, frame.close, frame.table, frame.flatTable))
                    stack.push_back(std::move(frame));
            }
        }
        if (full()) out_.shortened = true;
        return std::move(out_);
    }

  private:
    static const GumboVector* childrenOf(const GumboNode* node) {
        if (node->type == GUMBO_NODE_DOCUMENT) return &node->v.document.children;
        if (node->type == GUMBO_NODE_ELEMENT) return &node->v.element.children;
        return nullptr;
    }

    bool full() const { return textBytes_ > limits_.maxText; }

    void text(const char* t) {
        const std::size_t n = std::strlen(t);
        textBytes_ += n;
        if (full()) return;
        escapeInto(out_.html, std::string_view(t, n));
    }

    // Writes what opens `e` and sets what closes it; false when nothing
    // inside it is wanted.
    bool open(const GumboElement& e, std::string& close, bool& table, bool& flatTable) {
        const Rule rule = ruleFor(e.tag);
        if (rule.keep == Keep::Drop) return false;
        const bool tablePart = e.tag == GUMBO_TAG_TABLE || e.tag == GUMBO_TAG_TR ||
                               e.tag == GUMBO_TAG_TD || e.tag == GUMBO_TAG_TH ||
                               e.tag == GUMBO_TAG_CAPTION;
        // A table past the nesting limits keeps its text, its rows as lines;
        // the rows and cells of a kept table stay whatever the depth.
        bool flatten;
        if (e.tag == GUMBO_TAG_TABLE)
            flatten = tableDepth_ >= limits_.maxTableDepth || flatTables_ > 0 ||
                      depth_ >= limits_.maxDepth;
        else if (tablePart)
            flatten = flatTables_ > 0;
        else
            flatten = depth_ >= limits_.maxDepth;
        if (flatten && e.tag == GUMBO_TAG_TABLE) {
            flatTable = true;
            ++flatTables_;
        }
        if (tablePart && !flatten && !laidOutCell(e.tag)) {
            out_.shortened = true;
            return false;
        }
        if (rule.keep == Keep::Transparent || flatten) {
            // A flattened table still separates its rows and cells.
            if (flatten && e.tag == GUMBO_TAG_TR) close = "<br>";
            if (flatten && (e.tag == GUMBO_TAG_TD || e.tag == GUMBO_TAG_TH)) out_.html += ' ';
            if (!close.empty()) ++depth_;  // balanced by the pop
            return !isVoid(e.tag);
        }
        if (e.tag == GUMBO_TAG_IMG) {
            picture(e);
            return false;
        }
        out_.html += '<';
        out_.html += rule.name;
        for (unsigned i = 0; i < e.attributes.length; ++i) {
            const auto* a = static_cast<const GumboAttribute*>(e.attributes.data[i]);
            if (!allowedAttribute(e.tag, a->name, a->value)) continue;
            out_.html += ' ';
            out_.html += a->name;
            out_.html += "=\"";
            escapeInto(out_.html, a->value);
            out_.html += '"';
        }
        out_.html += '>';
        if (isVoid(e.tag)) return false;
        close = std::string("</") + rule.name + ">";
        ++depth_;
        if (e.tag == GUMBO_TAG_TABLE) {
            table = true;
            ++tableDepth_;
        }
        return true;
    }

    // Whether a row or cell of a kept table still fits the page's share of
    // cells; those past it are left out whole.
    bool laidOutCell(GumboTag tag) {
        if (tag == GUMBO_TAG_TR) {
            cellsInRow_ = 0;
            return cells_ < limits_.maxCells;
        }
        if (tag != GUMBO_TAG_TD && tag != GUMBO_TAG_TH) return true;
        if (cells_ >= limits_.maxCells || cellsInRow_ >= limits_.maxCellsPerRow) return false;
        ++cells_;
        ++cellsInRow_;
        return true;
    }

    void picture(const GumboElement& e) {
        const GumboAttribute* src = gumbo_get_attribute(&e.attributes, "src");
        if (!src || !allowPicture_(src->value)) return;
        auto& pictures = out_.pictures;
        auto found = std::find(pictures.begin(), pictures.end(), src->value);
        if (found == pictures.end()) {
            if (static_cast<int>(pictures.size()) >= limits_.maxPictures) {
                out_.shortened = true;
                return;
            }
            pictures.emplace_back(src->value);
            found = pictures.end() - 1;
        }
        out_.html += "<img src=\"picture:" + std::to_string(found - pictures.begin()) + "\"";
        for (const char* name : {"width", "height", "border", "align"}) {
            const GumboAttribute* a = gumbo_get_attribute(&e.attributes, name);
            if (a && allowedAttribute(GUMBO_TAG_IMG, name, a->value)) {
                out_.html += std::string(" ") + name + "=\"";
                escapeInto(out_.html, a->value);
                out_.html += '"';
            }
        }
        out_.html += '>';
    }

    const std::function<bool(std::string_view)>& allowPicture_;
    const PageLimits& limits_;
    PageSubset out_;
    int depth_ = 0;
    int tableDepth_ = 0;
    int flatTables_ = 0;
    int cells_ = 0;
    int cellsInRow_ = 0;
    std::size_t textBytes_ = 0;
};

// The text up to its maxTags-th "<": the parser's work and memory grow with
// the number of tags, so they are bounded before it starts.
std::string_view boundedInput(std::string_view html, std::size_t maxTags, bool& cut) {
    std::size_t at = 0;
    for (std::size_t tags = 0; tags < maxTags; ++tags) {
        at = html.find('<', at);
        if (at == std::string_view::npos) return html;
        ++at;
    }
    cut = true;
    return html.substr(0, at - 1);
}

}  // namespace

PageSubset pageSubset(std::string_view html,
                      const std::function<bool(std::string_view)>& allowPicture,
                      const PageLimits& limits) {
    bool cut = false;
    const std::string_view input = boundedInput(html, limits.maxTags, cut);
    GumboOptions options = kGumboDefaultOptions;
    options.max_errors = 100;  // a broken page cannot fill memory with error reports
    const std::unique_ptr<GumboOutput, std::function<void(GumboOutput*)>> output(
        gumbo_parse_with_options(&options, input.data(), input.size()),
        [&options](GumboOutput* o) { gumbo_destroy_output(&options, o); });
    PageSubset subset = Walker(allowPicture, limits).run(output->document);
    subset.shortened = subset.shortened || cut;
    return subset;
}

}  // namespace quintelle::ui
