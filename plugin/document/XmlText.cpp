#include "plugin/document/XmlText.h"

#include <tinyxml.h>

#include <cctype>
#include <iterator>
#include <sstream>

namespace Zq::BorvanRAZ::Document {

namespace {

// TinyXML's own character classes: bytes from 127 up count as letters, and
// the ASCII tests come from the C library as in the parser.
bool isSpace(unsigned char c)
{
    return std::isspace(c) || c == '\n' || c == '\r';
}
bool isNameStart(unsigned char c)
{
    return c >= 127 || std::isalpha(c) || c == '_';
}
bool isNameChar(unsigned char c)
{
    return c >= 127 || std::isalnum(c) || c == '_' || c == '-' || c == '.' || c == ':';
}

class NestingScan {
public:
    NestingScan(std::string_view text, long maxElements)
        : s_(text.substr(0, text.find('\0'))), maxElements_(maxElements)
    {
    }

    std::optional<int> run(int stopAbove)
    {
        std::size_t i = skipSpace(0);
        int depth = 0;
        int deepest = 0;
        while (i < s_.size()) {
            if (s_[i] != '<') {
                // Text at the top level ends the parser's reading of the document;
                // inside an element it runs to the next '<', without which the
                // element never closes.
                if (depth == 0)
                    return deepest;
                i = s_.find('<', i);
                if (i == npos)
                    return std::nullopt;
                continue;
            }
            if (depth > 0 && startsWith(i, "</")) {
                // The end tag's name and blanks hold no '>', so its end is the
                // first one; a wrong name stops the parser there.
                i = s_.find('>', i);
                if (i == npos)
                    return std::nullopt;
                --depth;
                i = skipSpace(i + 1);
                continue;
            }
            std::optional<std::size_t> next;
            if (startsWithNoCase(i, "<?xml")) {
                next = declaration(i + 5);
                // A broken declaration ends the parser's reading quietly at the
                // top level and with an error inside an element.
                if (!next && depth == 0)
                    return deepest;
            } else if (startsWith(i, "<!--"))
                next = pastText(i + 4, "-->");
            else if (startsWith(i, "<![CDATA["))
                next = pastText(i + 9, "]]>");
            else if (startsWith(i, "<!") || !isNameStart(at(i + 1)))
                next = pastText(i + 1, ">"); // anything else is skipped to its '>'
            else {
                // An element counts one level deeper than its parent whether or
                // not it closes itself; only one with content opens a level.
                bool opens = false;
                if (++elements_ > maxElements_)
                    return std::nullopt;
                next = startTag(i + 1, opens);
                if (next && depth + 1 > deepest) {
                    deepest = depth + 1;
                    if (deepest > stopAbove)
                        return deepest;
                }
                if (opens)
                    ++depth;
            }
            if (!next)
                return std::nullopt;
            i = skipSpace(*next);
        }
        // The text ended: fine at the top level, an unclosed element otherwise.
        return depth == 0 ? std::optional<int>(deepest) : std::nullopt;
    }

private:
    static constexpr std::size_t npos = std::string_view::npos;

    unsigned char at(std::size_t i) const
    {
        return i < s_.size() ? static_cast<unsigned char>(s_[i]) : 0;
    }
    bool startsWith(std::size_t i, std::string_view word) const
    {
        return s_.substr(i).starts_with(word);
    }

    bool startsWithNoCase(std::size_t i, std::string_view word) const
    {
        if (s_.size() - i < word.size())
            return false;
        for (std::size_t k = 0; k < word.size(); ++k) {
            if (std::tolower(at(i + k)) != std::tolower(static_cast<unsigned char>(word[k])))
                return false;
        }
        return true;
    }

    std::size_t skipSpace(std::size_t i) const
    {
        while (i < s_.size() && isSpace(at(i)))
            ++i;
        return i;
    }

    std::size_t skipName(std::size_t i) const
    {
        while (i < s_.size() && isNameChar(at(i)))
            ++i;
        return i;
    }

    // Past the end marker, or the end of the text when it never comes (an
    // unclosed comment then leaves any open element unclosed).
    std::size_t pastText(std::size_t i, std::string_view end) const
    {
        const std::size_t found = s_.find(end, i);
        return found == npos ? s_.size() : found + end.size();
    }

    // name = value, the value quoted or running to a blank, '/' or '>'.
    std::optional<std::size_t> attribute(std::size_t i) const
    {
        if (!isNameStart(at(i)))
            return std::nullopt;
        i = skipSpace(skipName(i));
        if (at(i) != '=')
            return std::nullopt;
        i = skipSpace(i + 1);
        if (i >= s_.size())
            return std::nullopt;
        if (at(i) == '"' || at(i) == '\'') {
            const std::size_t close = s_.find(s_[i], i + 1);
            if (close == npos)
                return std::nullopt;
            return close + 1;
        }
        for (; i < s_.size() && !isSpace(at(i)) && at(i) != '/' && at(i) != '>'; ++i) {
            if (at(i) == '"' || at(i) == '\'')
                return std::nullopt;
        }
        return i;
    }

    // From the element's name on; opens tells whether content follows (">")
    // rather than the element closing itself ("/>").
    std::optional<std::size_t> startTag(std::size_t i, bool& opens) const
    {
        i = skipName(i);
        for (;;) {
            i = skipSpace(i);
            if (i >= s_.size())
                return std::nullopt;
            if (at(i) == '/') {
                if (at(i + 1) != '>')
                    return std::nullopt;
                return i + 2;
            }
            if (at(i) == '>') {
                opens = true;
                return i + 1;
            }
            const auto next = attribute(i);
            if (!next)
                return std::nullopt;
            i = *next;
        }
    }

    // The declaration reads its three known attributes with their quotes and
    // steps over any other word, up to the first '>' outside them.
    std::optional<std::size_t> declaration(std::size_t i) const
    {
        while (i < s_.size()) {
            if (at(i) == '>')
                return i + 1;
            i = skipSpace(i);
            if (startsWithNoCase(i, "version") || startsWithNoCase(i, "encoding") ||
                startsWithNoCase(i, "standalone")) {
                const auto next = attribute(i);
                if (!next)
                    return std::nullopt;
                i = *next;
            } else {
                while (i < s_.size() && at(i) != '>' && !isSpace(at(i)))
                    ++i;
            }
        }
        return std::nullopt;
    }

    std::string_view s_;
    long maxElements_;
    long elements_ = 0;
};

} // namespace

std::optional<int> elementNesting(std::string_view text, int stopAbove, long maxElements)
{
    return NestingScan(text, maxElements).run(stopAbove);
}

bool parseText(TiXmlDocument& document, std::string_view text)
{
    std::string terminated(text.substr(0, text.find('\0')));
    // A UTF-8 byte-order mark is dropped here so that the parser can run
    // byte-wise: its UTF-8 mode reads a lead byte's whole sequence at once,
    // stepping over quotes and '<' that the nesting scan would see.
    if (terminated.starts_with("\xEF\xBB\xBF"))
        terminated.erase(0, 3);
    const auto nesting = elementNesting(terminated, kMaxElementNesting);
    if (!nesting || *nesting > kMaxElementNesting)
        return false;
    document.Parse(terminated.c_str(), nullptr, TIXML_ENCODING_LEGACY);
    return !document.Error() && document.RootElement() != nullptr;
}

std::string readAll(std::istream& in)
{
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string printText(const TiXmlDocument& document)
{
    std::ostringstream out;
    out << document;
    return out.str();
}

} // namespace Zq::BorvanRAZ::Document
