#pragma once

#include "plugin/docview/Converter.h"
#include "plugin/docview/Parameter.h"
#include "plugin/docview/Range.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <span>
#include <vector>

namespace Zq::BorvanRAZ::Document {

// The value names of the heads' two-way switches, as hosts show them.
inline constexpr const char* kOffOn[] = {"Off", "On"};

// A head's parameter in its document class: a member of its own, or one band
// of its graphic equaliser.
template <class Head> struct AmpControlMember {
    using Parameter = Application::DocView::Parameter;
    using Bands = std::array<Parameter, 9>;

    Parameter Head::*single = nullptr;
    Bands Head::*bands = nullptr;
    int band = 0;

    Parameter& of(Head& head) const
    {
        return single ? head.*single : (head.*bands)[static_cast<std::size_t>(band)];
    }
};

// How the automation unit shows a control to the host; kind None keeps it
// away from the host.
struct AmpControlHost {
    enum class Kind { None, Number, Decibel, Enum };
    Kind kind = Kind::None;
    // The control's place among the head's host parameters: it fixes the
    // host's parameter indices, so a new control takes the next free place.
    int position = -1;
    const char* name = nullptr;
    int precision = 0;
    const char* unit = "";
    const char* const* valueNames = nullptr;
    int valueCount = 0;
};

// How the engine unit binds a control to the DSP; a null path leaves it unbound.
struct AmpControlEngine {
    // The control's place in the head's binding order, which is the order of
    // the first pushes to the DSP.
    int position = -1;
    const char* path = nullptr; // below the head's element, as "Gain_0_AmpModule"
    const Application::DocView::Converter* converter = nullptr; // null: the value as it stands
    bool status = false;                                        // a read-back from the DSP
};

// One control of an amplifier head, as every layer knows it. A head's list
// runs in the order its document declares the controls; each consumer takes
// the rows in its own order by their positions.
template <class Head> struct AmpControl {
    const char* name; // the document's (and presets') name
    AmpControlMember<Head> member;
    float defaultValue;
    const Application::DocView::Range* range;
    const Application::DocView::Converter* converter; // null: linear over the range
    bool saved;                                       // in presets and the plug-in's state
    AmpControlHost host;
    AmpControlEngine engine;
};

// The list of each head's controls, defined per head.
template <class Head> std::span<const AmpControl<Head>> ampControls();

// The rows that have a place in one consumer's order, in that order.
template <class Head, class Place>
std::vector<const AmpControl<Head>*> ampControlsInOrder(Place place)
{
    std::vector<const AmpControl<Head>*> rows;
    for (const AmpControl<Head>& row : ampControls<Head>())
        if (place(row) >= 0)
            rows.push_back(&row);
    std::sort(rows.begin(), rows.end(),
              [&place](const auto* a, const auto* b) { return place(*a) < place(*b); });
    return rows;
}

} // namespace Zq::BorvanRAZ::Document
