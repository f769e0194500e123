#include "engine/math/utils/FilterChannels.h"

#include <stdexcept>

namespace utils {

void FilterChannels::setup(int channels, int sampleRate)
{
    if (channels != 1 && channels != 2)
        throw std::invalid_argument("filter utility: 1 or 2 channels");
    if (sampleRate <= 0)
        throw std::invalid_argument("filter utility: the sample rate must be positive");
    channels_ = channels;
    sampleRate_ = static_cast<float>(sampleRate);
}

} // namespace utils
