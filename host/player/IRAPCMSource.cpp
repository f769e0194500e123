#include "host/player/IRAPCMSource.h"

#include <algorithm>

namespace player {

CRAPCMMonoAdapter::CRAPCMMonoAdapter(IRAPCMSource& stereo, int channel, int maxFrames)
    : stereo_(stereo), channel_(channel == 2 ? 1 : 0),
      scratch_(2 * static_cast<std::size_t>(std::max(1, maxFrames)))
{
}

void CRAPCMMonoAdapter::read(float* destination, std::int64_t first, std::int64_t last)
{
    // Longer reads than the scratch holds go in pieces.
    const std::int64_t piece = static_cast<std::int64_t>(scratch_.size() / 2);
    while (first < last) {
        const std::int64_t n = std::min(piece, last - first);
        stereo_.read(scratch_.data(), first, first + n);
        for (std::int64_t i = 0; i < n; ++i)
            destination[i] = scratch_[static_cast<std::size_t>(2 * i + channel_)];
        destination += n;
        first += n;
    }
}

} // namespace player
