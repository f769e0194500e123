#include "models/amps/HeadWithPeakLed.h"

#include <string>

namespace AudioEngine::BorvanQom {

namespace {
constexpr std::string_view kMeter = "PeakLed";
constexpr std::string_view kLast = "PowerAmp";
} // namespace

void HeadWithPeakLed::createOutputs()
{
    outputs_.addHierarchicOutput(Port("Out", "", &getSubModule(kLast).getOutput("Out")), "Out");
}

void HeadWithPeakLed::connectWithPeakLed(std::span<const std::string_view> taps)
{
    Port* source = &getInput("In");
    for (const auto& sub : subModules_) {
        if (sub.name == kMeter)
            continue;
        sub.module->getInput("In").connect(source);
        source = &sub.module->getOutput("Out");
    }
    getOutput("Out").connect(&getSubModule(kLast).getOutput("Out"));
    Module& meter = getSubModule(kMeter);
    for (std::size_t k = 0; k < taps.size(); ++k)
        meter.getInput("In" + std::to_string(k + 1))
            .connect(&getSubModule(taps[k]).getOutput("Out"));
}

} // namespace AudioEngine::BorvanQom
