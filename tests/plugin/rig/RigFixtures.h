#pragma once

#include "plugin/rig/AmpModels.h"
#include "plugin/rig/Rig.h"
#include "plugin/rig/StompModels.h"

#include <cstdint>
#include <sstream>
#include <string>

namespace test {

using Zq::Application::DocView::Parameter;
using namespace Zq::BorvanRAZ::Document;

inline void loadChunk(Rig& rig, const std::string& text)
{
    rig.loadChunk(text.data(), static_cast<std::int32_t>(text.size()));
}

inline std::string streamed(const Module& module)
{
    std::ostringstream out;
    module.save(out);
    return out.str();
}

inline void loadStream(Module& module, const std::string& text)
{
    std::istringstream in(text);
    module.load(in);
}

// True while the parameter (and so the document holding it) is alive: a
// connection ends when its signal is destroyed, and asking it is safe after.
class Liveness {
public:
    explicit Liveness(Parameter& parameter) : connection_(parameter.changed.connect(&ignore)) {}
    bool alive() const { return connection_.connected(); }

private:
    static void ignore(Parameter*) {}

    boost::signals2::connection connection_;
};

} // namespace test
