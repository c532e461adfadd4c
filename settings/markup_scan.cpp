#include "markup_scan.h"

namespace {

constexpr std::size_t kEnd = std::string_view::npos;

// The position just after the first `close` at or after `from`; the end when there is none.
std::size_t After(std::string_view text, std::size_t from, std::string_view close) {
    const std::size_t at = text.find(close, from);
    return at == kEnd ? text.size() : at + close.size();
}

// From just after "<!" to just after the declaration's closing ">", over its internal subset
// with the quoted values, comments and processing instructions inside.
std::size_t AfterDeclaration(std::string_view text, std::size_t at) {
    int depth = 0;
    while (at < text.size()) {
        const char c = text[at];
        if (text.substr(at, 4) == "<!--")
            at = After(text, at + 4, "-->");
        else if (text.substr(at, 2) == "<?")
            at = After(text, at + 2, "?>");
        else if (c == '"' || c == '\'')
            at = After(text, at + 1, std::string_view(&c, 1));
        else if (c == '[' || c == ']')
            depth += c == '[' ? 1 : -1, ++at;
        else if (c == '>' && depth <= 0)
            return at + 1;
        else
            ++at;
    }
    return at;
}

// From just after "<" to the tag's closing ">" or to a "<", which no tag or value can hold;
// false when the tag holds too many attributes. Each attribute has one "=" outside its value.
bool TagWithinLimit(std::string_view text, std::size_t& at) {
    std::size_t attributes = 0;
    char quote = 0;
    for (; at < text.size(); ++at) {
        const char c = text[at];
        if (c == '<') {
            return true; // never inside a value either
        } else if (quote) {
            quote = c == quote ? 0 : quote;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '=') {
            if (++attributes > kMaxAttributesPerTag)
                return false;
        } else if (c == '>') {
            return true;
        }
    }
    return true;
}

} // namespace

bool AttributesWithinLimit(std::string_view text) {
    std::size_t at = 0;
    while ((at = text.find('<', at)) != kEnd) {
        const std::string_view rest = text.substr(at);
        if (rest.starts_with("<!--"))
            at = After(text, at + 4, "-->");
        else if (rest.starts_with("<![CDATA["))
            at = After(text, at + 9, "]]>");
        else if (rest.starts_with("<?"))
            at = After(text, at + 2, "?>");
        else if (rest.starts_with("<!"))
            at = AfterDeclaration(text, at + 2);
        else if (++at; !TagWithinLimit(text, at))
            return false;
    }
    return true;
}
