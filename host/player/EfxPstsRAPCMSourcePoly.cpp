#include "host/player/EfxPstsRAPCMSourcePoly.h"

#include <algorithm>

namespace player {

EfxPstsRAPCMSourcePoly::EfxPstsRAPCMSourcePoly(zqEfxBase& effect, int sampleRate, int channels)
    : effect_(effect), sampleRate_(sampleRate), channels_(channels == 2 ? 2 : 1),
      left_(kPieceFrames), right_(kPieceFrames)
{
}

void EfxPstsRAPCMSourcePoly::read(float* destination, std::int64_t first, std::int64_t last)
{
    while (first < last) {
        const int n = static_cast<int>(std::min<std::int64_t>(kPieceFrames, last - first));
        float* arrays[2] = {left_.data(), channels_ == 2 ? right_.data() : nullptr};
        effect_.readSource(arrays, first, n);
        if (channels_ == 2) {
            for (int i = 0; i < n; ++i) {
                destination[2 * i] = left_[static_cast<std::size_t>(i)];
                destination[2 * i + 1] = right_[static_cast<std::size_t>(i)];
            }
        } else {
            std::copy(left_.begin(), left_.begin() + n, destination);
        }
        destination += static_cast<std::ptrdiff_t>(n) * channels_;
        first += n;
    }
}

} // namespace player
