#pragma once

// Fixtures for the engine's tests: a DSP interface that records what the
// engine units send, a forwarder that records on the way to a real facade,
// and a sine source.

#include "plugin/docview/MAFInterface.h"
#include "plugin/engine/Main.h"
#include "plugin/rig/Rig.h"
#include "tests/support/Signals.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <vector>

namespace test {

using Zq::Application::DocView::MAFInterface;
using Zq::Application::DocView::Parameter;
namespace Doc = Zq::BorvanRAZ::Document;
namespace Eng = Zq::BorvanRAZ::Engine;

struct Call {
    std::string path;
    float value;
    // The state name of a setParameterByName, empty for setParameter.
    std::string name;
    bool operator==(const Call&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Call& c)
{
    out << c.path << "=" << c.value;
    if (!c.name.empty())
        out << "(" << c.name << ")";
    return out;
}

// Records every change sent; answers reads from a table (0 for an unknown
// path); gives every state name a number of its own, the first name asked for
// 1000, the next 1001 and so on, so a recorded number tells which name it was.
class RecordingMAF : public MAFInterface {
public:
    void setParameterByName(const std::string& path, const std::string& valueName) override
    {
        calls.push_back({path, named(valueName), valueName});
    }
    void setParameter(const std::string& path, float value) override
    {
        calls.push_back({path, value, ""});
    }
    float getParameter(const std::string& path) override
    {
        const auto found = values.find(path);
        return found == values.end() ? 0.0f : found->second;
    }
    float lookupNamedValue(const std::string&, const std::string& valueName) override
    {
        return named(valueName);
    }

    float named(const std::string& valueName)
    {
        const auto [it, added] =
            names_.emplace(valueName, 1000.0f + static_cast<float>(names_.size()));
        return it->second;
    }

    // The calls to one path, in order.
    std::vector<float> sent(const std::string& path) const
    {
        std::vector<float> out;
        for (const Call& c : calls)
            if (c.path == path)
                out.push_back(c.value);
        return out;
    }
    // Index of the first call to path at or after from; -1 if none.
    int indexOf(const std::string& path, std::size_t from = 0) const
    {
        for (std::size_t i = from; i < calls.size(); ++i)
            if (calls[i].path == path)
                return static_cast<int>(i);
        return -1;
    }

    std::vector<Call> calls;
    std::map<std::string, float> values;

private:
    std::map<std::string, float> names_;
};

// Records the paths sent and passes everything on to the real interface.
class ForwardingMAF : public MAFInterface {
public:
    explicit ForwardingMAF(MAFInterface& target) : target_(target) {}

    void setParameterByName(const std::string& path, const std::string& valueName) override
    {
        paths.push_back(path);
        target_.setParameterByName(path, valueName);
    }
    void setParameter(const std::string& path, float value) override
    {
        paths.push_back(path);
        target_.setParameter(path, value);
    }
    float getParameter(const std::string& path) override
    {
        paths.push_back(path);
        return target_.getParameter(path);
    }
    float lookupNamedValue(const std::string& path, const std::string& valueName) override
    {
        paths.push_back(path);
        return target_.lookupNamedValue(path, valueName);
    }

    std::vector<std::string> paths;

private:
    MAFInterface& target_;
};

// The document and the engine over a recording interface.
struct RecordedRig {
    Doc::Rig document;
    RecordingMAF dsp;
    Eng::Main engine{document, dsp};

    // One block with the lock free: delivers a tempo change and the read-backs.
    void block(float tempo = 0.0f)
    {
        float in[8] = {}, left[8], right[8];
        const float* inputs[] = {in};
        float* outputs[] = {left, right};
        engine.setTempo(tempo);
        engine.process(inputs, outputs, 8);
    }
};

} // namespace test
