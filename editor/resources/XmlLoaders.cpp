#include "editor/resources/XmlLoaders.h"

#include <algorithm>
#include <cstdint>
#include <fstream>

#include <tinyxml.h>

#include "editor/graphics/MemoryStreamBuf.h"
#include "plugin/document/XmlText.h"

namespace Zq::Application::Res {

namespace {

namespace Doc = BorvanRAZ::Document;

// True when the parser may be given the text (up to its first zero byte).
bool nestingAccepted(const std::string& text)
{
    const auto nesting = Doc::elementNesting(text.c_str(), Doc::kMaxElementNesting);
    return nesting && *nesting <= Doc::kMaxElementNesting;
}

void refuse(TiXmlDocument& document)
{
    document.SetError(TiXmlBase::TIXML_ERROR, nullptr, nullptr, TIXML_DEFAULT_ENCODING);
}

// Up to `limit` bytes, growing only as bytes arrive.
std::string readUpTo(std::istream& stream, std::uint64_t limit)
{
    std::string text;
    char chunk[16384];
    while (limit > 0) {
        const auto wanted =
            static_cast<std::streamsize>(std::min<std::uint64_t>(limit, sizeof chunk));
        stream.read(chunk, wanted);
        const std::streamsize got = stream.gcount();
        text.append(chunk, static_cast<std::size_t>(got));
        limit -= static_cast<std::uint64_t>(got);
        if (got != wanted)
            break;
    }
    return text;
}

} // namespace

std::unique_ptr<TiXmlDocument> loadXmlDocumentFromFile(const std::string& path)
{
    auto document = std::make_unique<TiXmlDocument>();
    {
        std::ifstream file(path, std::ios::binary);
        if (file && !nestingAccepted(readUpTo(file, UINT64_MAX))) {
            document->SetValue(path);
            refuse(*document);
            return document;
        }
    }
    // A file that does not open leaves its error to the loader.
    document->LoadFile(path.c_str(), TIXML_DEFAULT_ENCODING);
    return document;
}

std::unique_ptr<TiXmlDocument> loadXmlDocumentFromStream(std::istream& stream,
                                                         std::size_t byteCount)
{
    auto document = std::make_unique<TiXmlDocument>();
    const std::string text =
        readUpTo(stream, std::min<std::uint64_t>(byteCount, Graphics::remainingBytes(stream)));
    if (!nestingAccepted(text)) {
        refuse(*document);
        return document;
    }
    document->Parse(text.c_str(), nullptr, TIXML_DEFAULT_ENCODING);
    return document;
}

} // namespace Zq::Application::Res
