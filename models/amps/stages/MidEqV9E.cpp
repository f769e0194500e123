#include "models/amps/stages/MidEqV9E.h"

#include "models/amps/stages/SwitchParameter.h"

#include <cmath>
#include <numbers>

namespace AudioEngine::FilterPeakDetails {

BiquadFilterDetails::CoeffsZ<float> PeakConstWidthToCoeffsZ::transform(float sampleRate) const
{
    const double w = 2.0 * static_cast<double>(std::numbers::pi_v<float>) * frequency / sampleRate;
    const double ag = std::pow(10.0, gainDb / 40.0);
    const double sinW = std::sin(w);
    const double alpha = sinW * std::sinh(std::numbers::ln2 / 2.0 * octaves * w / sinW);
    const double d = 1.0 + alpha / ag;
    BiquadFilterDetails::CoeffsZ<float> z;
    z.b0 = static_cast<float>((1.0 + alpha * ag) / d);
    z.b1 = static_cast<float>(-2.0 * std::cos(w) / d);
    z.b2 = static_cast<float>((1.0 - alpha * ag) / d);
    z.a1 = z.b1;
    z.a2 = static_cast<float>((1.0 - alpha / ag) / d);
    return z;
}

} // namespace AudioEngine::FilterPeakDetails

namespace AudioEngine::BorvanQom::MidEqDetails {

ParamLinear::ParamCurve::ParamCurve(const std::array<float, knots>& y)
{
    resize(knots);
    for (int i = 0; i < knots; ++i)
        (*this)[i] = Point{x[i], y[i]};
}

float ParamLinear::ParamCurve::evaluate(float value) const noexcept
{
    // The segment by binary search, the first or last one outside the knots.
    int lo = 0;
    int hi = knots - 1;
    while (hi - lo > 1) {
        const int mid = (lo + hi) / 2;
        if ((*this)[mid].x <= value)
            lo = mid;
        else
            hi = mid;
    }
    const Point& a = (*this)[lo];
    const Point& b = (*this)[lo + 1];
    return a.y + (value - a.x) * (b.y - a.y) / (b.x - a.x);
}

namespace {

using Curve = ParamLinear::ParamCurve;

// Lower band edge, upper band edge and centre in hertz against "MidGain" at
// x = 0, 0.1, 0.3, 0.5, 0.6, 0.8, 1; the gain in dB is common to all positions.
constexpr std::array<float, 7> gainCurve = {-22.0f, -6.0f, -1.5f, 0.0f, 1.0f, 3.5f, 11.0f};

std::array<MidEqV9E::Group, 5> makeGroups()
{
    return {{
        // "Frq1"
        {Curve({1580, 560, 2590, 2590, 2600, 2450, 1590}),
         Curve({4850, 13350, 21800, 21000, 21500, 15900, 4880}),
         Curve({2780, 2805, 2940, 2930, 2910, 2950, 2790}), Curve(gainCurve)},
        // "Frq2"
        {Curve({1120, 540, 345, 345, 330, 450, 1120}),
         Curve({2280, 4685, 7235, 7235, 7985, 5740, 2310}),
         Curve({1605, 1650, 1650, 1650, 1655, 1652, 1605}), Curve(gainCurve)},
        // "Frq3"
        {Curve({525, 200, 115, 115, 110, 155, 510}),
         Curve({1620, 4280, 7235, 7235, 7985, 5410, 1645}),
         Curve({920, 930, 920, 920, 945, 940, 920}), Curve(gainCurve)},
        // "Frq4"
        {Curve({325, 128, 75, 75, 70, 105, 317}), Curve({870, 2170, 3640, 3640, 3945, 2710, 880}),
         Curve({530, 538, 542, 542, 550, 540, 530}), Curve(gainCurve)},
        // "Frq5"
        {Curve({98, 30, 16, 16, 16, 15, 95}), Curve({635, 2075, 3585, 3585, 3885, 2790, 655}),
         Curve({250, 253, 255, 255, 260, 255, 250}), Curve(gainCurve)},
    }};
}

constexpr std::array<const char*, 5> positions = {"Frq1", "Frq2", "Frq3", "Frq4", "Frq5"};

} // namespace

MidEqV9E::MidEqV9E() : groups_(makeGroups())
{
}

void MidEqV9E::createParameters()
{
    gain_ = parameters_.addParameter(Parameter("MidGain", "", 0.0f, 1.0f, 0.5f, 0), "MidGain");
    // Registered from the lowest frequency up, so "Frq5" is 0 and "Frq1" is 4.
    frequency_ = parameters_.addParameter(
        Parameter("MidFrequency", "", ParameterBase::States{"Frq5", "Frq4", "Frq3", "Frq2", "Frq1"},
                  "Frq3", Parameter::kSetAtOnceAfterStates),
        "MidFrequency");
}

void MidEqV9E::design()
{
    // The first position whose value the truncated "MidFrequency" equals.
    const Group* group = nullptr;
    for (std::size_t i = 0; i < positions.size() && !group; ++i)
        if (StageSwitch::is(*frequency_, positions[i]))
            group = &groups_[i];
    if (!group)
        return;
    const float x = gain_->getValue();
    const float lower = group->lower.evaluate(x);
    const float upper = group->upper.evaluate(x);
    const FilterPeakDetails::PeakConstWidthToCoeffsZ peak{
        group->centre.evaluate(x), group->gain.evaluate(x), std::log2(upper / lower)};
    setCoefficients(peak.transform(getSampleRate()));
}

} // namespace AudioEngine::BorvanQom::MidEqDetails
