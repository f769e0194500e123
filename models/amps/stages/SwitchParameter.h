#pragma once

#include "engine/core/Parameter.h"

#include <cmath>
#include <string>
#include <string_view>

namespace AudioEngine::BorvanQom::StageSwitch {

// A two-way switch of a stage: states "Off" = 0 and "On" = 1, default "Off",
// set at once by the change queue (flags 4).
inline Parameter make(std::string name)
{
    return Parameter(std::move(name), "", ParameterBase::States{"Off", "On"}, "Off",
                     Parameter::kSetAtOnceAfterStates);
}

// Whether the value, truncated toward zero, is the value of the state `state`.
inline bool is(ParameterBase& parameter, std::string_view state)
{
    const auto value = parameter.getStates().find(state);
    return value && std::trunc(parameter.getValue()) == *value;
}

inline bool isOn(ParameterBase& parameter)
{
    return is(parameter, "On");
}

} // namespace AudioEngine::BorvanQom::StageSwitch
