#include "plugin/document/Main.h"

#include "plugin/document/XmlText.h"

#include <tinyxml.h>

#include <cstring>
#include <istream>
#include <ostream>

namespace Zq::BorvanRAZ::Document {

namespace {

// TinyXML prints these as <?xml version="1.0" encoding="UTF-8" ?> and
// <?xml version="1.0" standalone="no" ?>; the empty root prints as "<Preset />".
constexpr const char* kPresetTemplate =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Preset>\n</Preset>";
constexpr const char* kChunkTemplate =
    "<?xml version=\"1.0\" standalone='no'>\n<Preset>\n</Preset>";

// The name as the chunk carries it. Reading passes it through the file-name
// rule, which cuts a name such as "My.Song" at its last dot; a name holding a
// dot therefore gets one more at its end, which the reader cuts instead, so
// that every name comes back whole after a session or a bank is restored.
std::string chunkPresetName(const std::string& name)
{
    return name.find('.') == std::string::npos ? name : name + ".";
}

} // namespace

std::string presetNameFromPath(const std::string& text)
{
    const std::size_t separator = text.find_last_of("/\\");
    std::string leaf = separator == std::string::npos ? text : text.substr(separator + 1);
    const std::size_t dot = leaf.rfind('.');
    if (dot != std::string::npos)
        leaf.erase(dot);
    return leaf;
}

Main::~Main() = default;

void Main::setPresetName(const std::string& text)
{
    std::string name = presetNameFromPath(text);
    if (name.size() > kMaxPresetName) {
        std::size_t cut = kMaxPresetName;
        while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0u) == 0x80u)
            --cut;
        name.resize(cut);
    }
    presetName_ = std::move(name);
    presetNameChanged();
}

void Main::load(const TiXmlElement& element)
{
    beforeLoad();
    UnitDoc::load(element);
    afterLoad();
}

void Main::load(std::istream& in)
{
    TiXmlDocument document;
    if (parseText(document, readAll(in)))
        load(*document.RootElement());
}

void Main::save(std::ostream& out) const
{
    TiXmlDocument document;
    document.Parse(kPresetTemplate);
    save(*document.RootElement());
    out << printText(document);
}

std::string Main::saveChunk() const
{
    TiXmlDocument document;
    document.Parse(kChunkTemplate);
    TiXmlElement& root = *document.RootElement();
    root.SetAttribute("PresetName", chunkPresetName(presetName_).c_str());
    save(root);
    return printText(document);
}

void Main::loadChunk(const char* data, std::int32_t size)
{
    if (!data || size <= 0)
        return;
    // The host's buffer need not end in a zero byte: never look past size.
    const std::string_view text(data, strnlen(data, static_cast<std::size_t>(size)));
    TiXmlDocument document;
    if (!parseText(document, text))
        return;
    const TiXmlElement& root = *document.RootElement();
    load(root);
    const char* name = root.Attribute("PresetName");
    setPresetName(name ? name : "");
}

} // namespace Zq::BorvanRAZ::Document
