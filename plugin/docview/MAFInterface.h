#pragma once

#include <string>

namespace Zq::Application::DocView {

// The door from the document side to the DSP graph: DSP parameters are
// addressed by their flat path ("Gain_Master_Output") and enumerated ones also
// by the names of their states. The engine facade implements it; changes are
// queued for the audio thread, reads return the graph's current value.
class MAFInterface {
public:
    virtual ~MAFInterface() = default;

    // Queues the number that the parameter's list of value names gives for name.
    virtual void setParameterByName(const std::string& path, const std::string& valueName) = 0;
    virtual void setParameter(const std::string& path, float value) = 0;
    // 0 for a path the graph does not know.
    virtual float getParameter(const std::string& path) = 0;
    virtual float lookupNamedValue(const std::string& path, const std::string& valueName) = 0;

protected:
    MAFInterface() = default;
    MAFInterface(const MAFInterface&) = default;
    MAFInterface& operator=(const MAFInterface&) = default;
};

} // namespace Zq::Application::DocView
