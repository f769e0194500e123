#include "models/stomps/MemoryManInterpolator.h"

#include <stdexcept>

namespace AudioEngine::CX2::MemoryManInterpolator1dDetails {

std::unique_ptr<const VoltageToPcrLaw> PitchChangeRatioInterpolators::create(std::size_t gridPoint)
{
    switch (gridPoint) {
    case 0:
        return std::make_unique<VoltageToPcrLawDelayTimeKnob00>();
    case 1:
        return std::make_unique<VoltageToPcrLawDelayTimeKnob05>();
    case 2:
        return std::make_unique<VoltageToPcrLawDelayTimeKnob10>();
    default:
        throw std::out_of_range("the delay-time knob has three measured laws");
    }
}

} // namespace AudioEngine::CX2::MemoryManInterpolator1dDetails
