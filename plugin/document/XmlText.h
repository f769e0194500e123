#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

class TiXmlDocument;

namespace Zq::BorvanRAZ::Document {

// The document format nests three elements deep; a preset or chunk nested
// deeper than this is refused before parsing.
inline constexpr int kMaxElementNesting = 64;
// A preset or chunk holds a few hundred elements; text with more than this
// many is refused before parsing (the parser would build all of them).
inline constexpr long kMaxElements = 100000;

// How deep TinyXML's parser would nest elements on this text: the level of the
// deepest element (a root alone is 1), given up once it passes stopAbove.
// Nothing when the text holds a construct the parser would reject, or more
// than maxElements elements, which is refused as well.
//
// TinyXML parses recursively, one stack frame per open element, so a hostile
// preset nested a hundred thousand deep overflows the host's thread stack. This
// scan follows the parser's own reading of the text (run byte-wise, as
// parseText asks of it) without recursing, to keep such text away from it.
std::optional<int> elementNesting(std::string_view text, int stopAbove,
                                  long maxElements = kMaxElements);

// Parses the text (up to its first zero byte) into an empty document. True
// when it is well-formed, no deeper than kMaxElementNesting, holds no more
// than kMaxElements elements and has a root element; otherwise the document may hold a partial
// tree, which callers must not load.
bool parseText(TiXmlDocument& document, std::string_view text);

// The whole stream as text, read before any parsing.
std::string readAll(std::istream& in);

// TinyXML's compact stream form: no indentation, no line breaks.
std::string printText(const TiXmlDocument& document);

} // namespace Zq::BorvanRAZ::Document
