#pragma once

#include <cstddef>
#include <istream>
#include <memory>
#include <string>

class TiXmlDocument;

namespace Zq::Application::Res {

// Layouts are refused before parsing when nested deeper than the document
// format allows (the parser recurses once per element): such a layout, like a
// missing file or a parse error, gives a document in its error state. Neither
// loader returns null.

// The file, with TinyXML's default encoding.
std::unique_ptr<TiXmlDocument> loadXmlDocumentFromFile(const std::string& path);

// At most `byteCount` bytes from the stream's position: never more than the
// stream can still supply (so a damaged size claims no memory), and only the
// bytes actually read are parsed.
std::unique_ptr<TiXmlDocument> loadXmlDocumentFromStream(std::istream& stream,
                                                         std::size_t byteCount);

} // namespace Zq::Application::Res
