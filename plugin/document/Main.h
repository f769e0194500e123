#pragma once

#include "platform/CriticalSection.h"
#include "plugin/document/Serializable.h"
#include "plugin/docview/UnitDoc.h"

#include <boost/signals2/signal.hpp>

#include <array>
#include <cstdint>
#include <string>

namespace Zq::BorvanRAZ::Document {

// The processor's document: the root of the unit tree, the preset name, the
// document lock and the load signals, and the turning of the tree into preset
// files and state chunks and back.
//
// The root's own parameter table stays empty; the rig's units hang below it
// as sub-units, whose keys are the element names in the XML.
class Main : public Serializable, public Application::DocView::UnitDoc {
public:
    // A signal and twenty strings that the engine facade keeps a pointer to;
    // the document only holds them.
    struct EngineChannel {
        boost::signals2::signal<void()> signal;
        std::array<std::string, 20> strings;
    };

    // Fired after every setting of the preset name, changed or not.
    boost::signals2::signal<void()> presetNameChanged;
    // Fired around every load of the whole tree from XML, on the loading thread.
    boost::signals2::signal<void()> beforeLoad;
    boost::signals2::signal<void()> afterLoad;

    Main() = default;
    ~Main() override;

    const std::string& getPresetName() const { return presetName_; }
    // The longest preset name kept, in bytes (a file name's limit).
    static constexpr std::size_t kMaxPresetName = 255;

    // Takes a preset file's path (or a bare name): keeps the last path
    // component without the part from its last "." on, cut to kMaxPresetName
    // bytes (never inside a UTF-8 sequence), then fires presetNameChanged.
    void setPresetName(const std::string& text);

    // Held by whoever reads or changes the document's parameters; the audio
    // thread only ever tries it. Never null.
    platform::CriticalSection* getLock() { return &lock_; }
    EngineChannel* getEngineChannel() { return &engineChannel_; }

    // Loads the tree from the element between beforeLoad and afterLoad.
    void load(const TiXmlElement& element) override;
    using UnitDoc::save;

    // Preset files. The stream is read to its end before anything is parsed;
    // text that is malformed, nested too deep or without a root loads nothing.
    // The name of the root element is not checked. A preset file carries no
    // preset name: its name is its file name.
    void load(std::istream& in) override;
    void save(std::ostream& out) const override;

    // The processor's state chunk: the preset file's form with the standalone
    // declaration and the preset name as the root's first attribute. Reading
    // takes at most size bytes and stops at a zero byte; a null or empty chunk,
    // like malformed text, changes nothing. Run on the host's control thread.
    std::string saveChunk() const;
    void loadChunk(const char* data, std::int32_t size);

private:
    std::string presetName_;
    platform::CriticalSection lock_;
    EngineChannel engineChannel_;
};

// The preset-name rule: the text after the last "/" or "\" (both separate, as
// in the host's file dialogs), without the part from its last "." on.
std::string presetNameFromPath(const std::string& text);

} // namespace Zq::BorvanRAZ::Document
