#pragma once

#include <string>
#include <string_view>

namespace Zq::BorvanRAZ::StandIn {

// Stands in for the rig's document until it exists: the whole state is the
// last chunk text it was given.
class Document {
public:
    void loadChunk(std::string_view text) { chunk_ = text; }
    const std::string& saveChunk() const noexcept { return chunk_; }

private:
    std::string chunk_ = "<?xml version=\"1.0\" standalone=\"no\" ?><Preset PresetName=\"\" />";
};

} // namespace Zq::BorvanRAZ::StandIn
