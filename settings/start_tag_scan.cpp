#include "settings/start_tag_scan.h"

namespace {

constexpr std::size_t kEnd = std::string_view::npos;

// Counts the attributes of each start tag; a tag past the bound ends the scan.
class StartTagScan {
public:
    explicit StartTagScan(std::string_view text) : m_text(text) {}

    bool WithinLimit() {
        while (m_ok && (m_at = m_text.find('<', m_at)) != kEnd) {
            if (m_text.substr(m_at, 2) == "</")
                m_at = After(m_at, ">");
            else if (!SkipSpecial(m_at + 1))
                m_text.substr(m_at, 2) == "<!" ? Declaration() : Tag();
        }
        return m_ok;
    }

private:
    // Moves past a comment, CDATA section or processing instruction starting at the "<" before
    // `from`; false when none starts there.
    bool SkipSpecial(std::size_t from) {
        const std::string_view rest = m_text.substr(from - 1);
        if (rest.starts_with("<!--"))
            m_at = After(from + 3, "-->");
        else if (rest.starts_with("<![CDATA["))
            m_at = After(from + 8, "]]>");
        else if (rest.starts_with("<?"))
            m_at = After(from + 1, "?>");
        else
            return false;
        return true;
    }

    std::size_t After(std::size_t from, std::string_view close) const {
        const std::size_t at = m_text.find(close, from);
        return at == kEnd ? m_text.size() : at + close.size();
    }

    // From the "<!" to just after its ">", over an internal subset with its quoted values,
    // comments and instructions.
    void Declaration() {
        int depth = 0;
        for (m_at += 2; m_at < m_text.size();) {
            const char c = m_text[m_at];
            if (c == '<') {
                if (!SkipSpecial(m_at + 1))
                    ++m_at;
            } else if (c == '"' || c == '\'') {
                m_at = After(m_at + 1, std::string_view(&c, 1));
            } else if (c == '>' && depth <= 0) {
                ++m_at;
                return;
            } else {
                depth += c == '[' ? 1 : c == ']' ? -1 : 0;
                ++m_at;
            }
        }
    }

    // From the "<" to the tag's ">" or to a "<", which no tag or value can hold. Each attribute
    // has one "=" outside its value.
    void Tag() {
        std::size_t attributes = 0;
        char quote = 0;
        for (++m_at; m_ok && m_at < m_text.size() && m_text[m_at] != '<'; ++m_at) {
            const char c = m_text[m_at];
            if (quote) {
                quote = c == quote ? '\0' : quote;
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == '>') {
                return;
            } else if (c == '=') {
                m_ok = ++attributes <= kMaxAttributesPerTag;
            }
        }
    }

    std::string_view m_text;
    std::size_t m_at = 0;
    bool m_ok = true;
};

} // namespace

bool AttributesWithinLimit(std::string_view text) {
    return StartTagScan(text).WithinLimit();
}
