#include "markup_scan.h"

namespace {

constexpr std::size_t kEnd = std::string_view::npos;

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Counts what the text holds; any count past its bound ends the scan.
class MarkupScan {
public:
    explicit MarkupScan(std::string_view text) : m_text(text) {}

    bool WithinLimits() {
        while (m_ok && (m_at = m_text.find('<', m_at)) != kEnd) {
            if (m_text.substr(m_at, 2) == "</")
                m_at = After(m_at, ">"); // an end tag makes nothing
            else if (Item() && !SkipSpecial(m_at + 1))
                m_text.substr(m_at, 2) == "<!" ? Declaration() : Tag();
        }
        return m_ok;
    }

private:
    bool Item() {
        m_ok = m_ok && ++m_items <= kMaxMarkupItems;
        return m_ok;
    }

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

    // From the "<!" to just after its ">", over an internal subset with its quoted values;
    // every declaration, comment and instruction inside counts.
    void Declaration() {
        int depth = 0;
        for (m_at += 2; m_ok && m_at < m_text.size();) {
            const char c = m_text[m_at];
            if (c == '<') {
                Item();
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
    // has one "=" outside its value; a name is taken from the first character after blanks.
    void Tag() {
        std::size_t attributes = 0;
        std::size_t name = kEnd;
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
                m_ok = ++attributes <= kMaxAttributesPerTag && Item() &&
                       (name == kEnd || m_text.substr(name, 5) != "xmlns" ||
                        ++m_namespaces <= kMaxNamespaceDeclarations);
            } else if (!IsBlank(c) && IsBlank(m_text[m_at - 1])) {
                name = m_at;
            }
        }
    }

    std::string_view m_text;
    std::size_t m_at = 0;
    std::size_t m_items = 0;
    std::size_t m_namespaces = 0;
    bool m_ok = true;
};

} // namespace

bool MarkupWithinLimits(std::string_view text) {
    return MarkupScan(text).WithinLimits();
}
