#pragma once

#include "engine/math/FilterVariable.h"
#include "engine/math/FilterZeroPole.h"

#include <cmath>

namespace AudioEngine::CX2 {

// The fixed high-pass after a tube power amp, H(s) = s / (s + 2 pi fw): it
// takes out DC and subsonic content, among them the offset of a curve that
// is not zero at zero drive. The corner is pre-warped,
// fw = (fs / pi) tan(pi fc / fs), so that the digital corner sits at fc at
// every rate.
class PowerAmpFilterPost : public FilterVariable<FilterZeroPole<>> {
public:
    explicit PowerAmpFilterPost(float cornerHz) : cornerHz_(cornerHz) {}

    float getCornerHz() const noexcept { return cornerHz_; }

protected:
    void design() override
    {
        static const float pi = std::acos(-1.0f);
        const float fs = getSampleRate();
        const float fw = fs / pi * std::tan(pi * cornerHz_ / fs);
        installDesign(CoefficientsS(0.0f, 1.0f, 2.0f * pi * fw, 1.0f));
    }

private:
    float cornerHz_;
};

} // namespace AudioEngine::CX2

namespace AudioEngine::BorvanQom {

namespace PowerAmpBorvanV9EDetails {
// Both V9E power amps, 50W and 100W.
class FilterPost : public CX2::PowerAmpFilterPost {
public:
    FilterPost() : PowerAmpFilterPost(12.7f) {}
};
} // namespace PowerAmpBorvanV9EDetails

namespace PowerAmpBorvanRKMClassicHeadTraitsDetails {
class FilterPost : public CX2::PowerAmpFilterPost {
public:
    FilterPost() : PowerAmpFilterPost(25.0f) {}
};
} // namespace PowerAmpBorvanRKMClassicHeadTraitsDetails

} // namespace AudioEngine::BorvanQom
