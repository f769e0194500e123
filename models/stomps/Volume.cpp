#include "models/stomps/Volume.h"

#include <cmath>

namespace AudioEngine::CX2::VolumeDetails {

float gain(float volumeDb, float scale) noexcept
{
    return std::pow(10.0f, volumeDb / (20.0f * scale));
}

} // namespace AudioEngine::CX2::VolumeDetails
