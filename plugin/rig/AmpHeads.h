#pragma once

#include "models/amps/AmpModelNames.h"

#include <array>
#include <cstddef>
#include <tuple>
#include <utility>

namespace Zq::BorvanRAZ::Document {

class AmpRE500;
class AmpV9E;
class AmpRKMClassic;
class AmpRKM4PRO;

// One amp head as every layer knows it. Its number (the document's
// "AmpModel" value) is its place in kAmpHeads; the document class is the unit
// that holds its settings, which the engine and automation units bind by type.
template <class DocumentClass> struct AmpHead {
    using Document = DocumentClass;
    const char* documentName;     // the selector's value name, in presets too
    const char* engineName;       // the DSP amp selector's model
    const char* automationPrefix; // the host names' part after "Amp "
};

inline constexpr std::tuple kAmpHeads{
    AmpHead<AmpRE500>{"GN-500", AudioEngine::BorvanQom::AmpModelNames::kRE500, "GN-500 "},
    AmpHead<AmpV9E>{"Q-9R", AudioEngine::BorvanQom::AmpModelNames::kV9E, "Q-9R "},
    AmpHead<AmpRKMClassic>{"RKM-CL", AudioEngine::BorvanQom::AmpModelNames::kRKMClassic, "RKM-CL "},
    AmpHead<AmpRKM4PRO>{"RKM-4 PRO", AudioEngine::BorvanQom::AmpModelNames::kRKM4Pro, "RKM-4 PRO "},
};

inline constexpr int kAmpHeadCount = static_cast<int>(std::tuple_size_v<decltype(kAmpHeads)>);

// Calls f(number, head) for every head, in number order.
template <class F> constexpr void forEachAmpHead(F&& f)
{
    [&]<std::size_t... N>(std::index_sequence<N...>)
    {
        (f(static_cast<int>(N), std::get<N>(kAmpHeads)), ...);
    }
    (std::make_index_sequence<kAmpHeadCount>());
}

// The names by number, for the selectors' tables.
inline constexpr std::array<const char*, kAmpHeadCount> kAmpHeadDocumentNames = [] {
    std::array<const char*, kAmpHeadCount> names{};
    forEachAmpHead([&names](int number, const auto& head) {
        names[static_cast<std::size_t>(number)] = head.documentName;
    });
    return names;
}();
inline constexpr std::array<const char*, kAmpHeadCount> kAmpHeadEngineNames = [] {
    std::array<const char*, kAmpHeadCount> names{};
    forEachAmpHead([&names](int number, const auto& head) {
        names[static_cast<std::size_t>(number)] = head.engineName;
    });
    return names;
}();

} // namespace Zq::BorvanRAZ::Document
