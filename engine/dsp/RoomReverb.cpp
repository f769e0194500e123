#include "engine/dsp/RoomReverb.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <stdexcept>

namespace mixer {
namespace {

// Ramp constants of the descriptor: the reverb itself never ramps.
constexpr ControlDescriptor kControls[] = {
    {"Time", 89, 40, 0.0002f},   {"Color", 90, 64, 0.0002f}, {"Density", 102, 64, -1.0f},
    {"Level", 104, 64, 0.0002f}, {"Size", 103, 16, -1.0f},
};

constexpr EffectDescriptor kDescriptor{"Room Reverb", 1, 1, 5, kControls};

// Coefficients of the all-pass pairs, first pair (also the output tap) first.
constexpr float kPairGain[5] = {0.1f, 0.4f, 0.3f, 0.6f, 0.4f};

// What the lines keep of a computed value: +0.0 for anything below 2^-100
// (about -600 dB) and for an infinity or NaN, the value itself otherwise.
// Subnormals alone would not do: the all-pass pairs' inner loops sustain the
// smallest subnormal for good, and on the way down every product of a gain
// and a value near 2^-126 lands in the slow subnormal range. Above 2^-100,
// each product of the loop (gains from about 5e-5), the pairs (0.1 .. 0.6)
// and the wet gain stays a normal float. A non-finite value is forgotten
// once it would be stored, so one bad sample never poisons the lines.
inline float kept(float x) noexcept
{
    constexpr std::uint32_t smallest = (127u - 100u) << 23; // exponent field of 2^-100
    constexpr std::uint32_t infinite = 0x7F800000u;
    const std::uint32_t bits = std::bit_cast<std::uint32_t>(x);
    // A mask rather than a branch: along a tail's end kept and cut values mix
    // unpredictably, and mispredicted branches would cost more than the work.
    const std::uint32_t keep =
        0u - static_cast<std::uint32_t>((bits & infinite) - smallest < infinite - smallest);
    return std::bit_cast<float>(bits & keep);
}

// T(k / 10000 x rate): a tap time truncated toward zero. The time is given in
// ten-thousandths of a second so that k x rate is exact and a product that is a
// whole number of samples (0.036 s at 96 kHz) is not truncated one short.
inline std::uint32_t samples(std::uint32_t tenThousandths, double rate) noexcept
{
    return static_cast<std::uint32_t>(static_cast<double>(tenThousandths) * rate / 10000.0);
}

} // namespace

const EffectDescriptor& TRoomReverb::descriptor()
{
    return kDescriptor;
}

TRoomReverb::TRoomReverb(std::uint32_t ringLength)
    : CAutomatedEffect(kDescriptor), mask_(ringLength - 1)
{
    if (ringLength < 2 || (ringLength & (ringLength - 1)) != 0)
        throw std::invalid_argument("room reverb: the ring length must be a power of two");
    lineA_ = std::make_unique<float[]>(ringLength);
    lineB_ = std::make_unique<float[]>(ringLength);
}

TRoomReverb::~TRoomReverb() = default;

double TRoomReverb::displayValue(std::int32_t index, float v) const
{
    switch (index) {
    case kTime:
        return 0.1 * std::pow(3.0, 2.0 * v);
    case kColor:
        // The display has always shown the corner on an 11 kHz scale.
        return 11000.0 * std::exp2(-3.2 * (1.0 - v));
    case kSize:
        return 0.01 + 0.03 * v;
    default:
        return v;
    }
}

void TRoomReverb::applyChangedParameters()
{
    bool loop = false;
    bool restart = false;
    for (std::int32_t i = 0; i < getControlCount(); ++i) {
        if (!takeChanged(i))
            continue;
        Control& c = controls_[static_cast<std::size_t>(i)];
        c.current = c.value;
        const float v = c.current;
        switch (i) {
        case kTime:
            decayTime_ = static_cast<float>(0.1 * std::pow(3.0, 2.0 * v));
            loop = true;
            break;
        case kColor:
            colorCorner_ = static_cast<float>(69113.0 * std::exp2(-3.2 * (1.0 - v)));
            loop = true;
            break;
        case kDensity:
            density_ = v;
            break;
        case kLevel:
            level_ = v;
            updateGains();
            break;
        case kSize:
            size_ = 0.01f + 0.03f * v;
            restart = running_;
            break;
        default:
            break;
        }
    }
    if (loop)
        computeLoopGain();
    if (restart)
        placeTapsAndClear();
}

void TRoomReverb::computeLoopGain()
{
    // The gain that takes a loop of about size + 0.104 s down by 60 dB in the
    // decay time. The first-order section built around it from "Color",
    // (s + g w) / (s + w), is transformed with the constant 2 x rate x 0.0, which
    // leaves b0 = b1 = g and a1 = 1: a pole on z = -1 whose rounding errors
    // never decay. Its exact result is y = g x, which is what the loop runs.
    loopGain_ =
        static_cast<float>(std::pow(0.001, (static_cast<double>(size_) + 0.104) / decayTime_));
}

void TRoomReverb::updateGains()
{
    wet_ = (getInputChannels() == 1 ? 0.3f : 0.15f) * level_;
    dry_ = 1.0f - level_;
}

void RoomReverbCX2::updateGains()
{
    wet_ = 0.3f * level_;
    dry_ = getInputChannels() == 2 ? 1.0f - wet_ : 1.0f - level_;
}

void TRoomReverb::start()
{
    running_ = false;
    markAllChanged();
    applyChangedParameters();
    placeTapsAndClear();
}

bool TRoomReverb::stop()
{
    const bool was = running_;
    running_ = false;
    return was;
}

void TRoomReverb::placeTapsAndClear()
{
    const double rate = getSampleRate();
    // size = 0.01 + 0.03 c / 128 s for the controller value c = 128 v, that is
    // (128 + 3 c) / 12800 s, truncated exactly as the other taps are.
    const double c = 128.0 * controls_[kSize].current;
    const auto size = static_cast<std::uint32_t>(rate * (128.0 + 3.0 * c) / 12800.0);
    // Side A's line is 0.066 s + 0.036 s, side B's 0.064 s + 0.038 s: equal in
    // length, with taps apart so that the two sides decorrelate.
    const std::uint32_t baseA = samples(660, rate);
    const std::uint32_t baseB = samples(640, rate);
    Taps& a = taps_[0];
    a.fi = 0;
    a.fo = baseA + samples(360, rate) + size;
    a.a = {0, samples(150, rate), baseA, baseA + samples(10, rate), baseA + samples(100, rate)};
    a.b = {baseA, samples(450, rate), baseA + samples(360, rate), baseA + samples(93, rate),
           baseA + samples(320, rate)};
    Taps& b = taps_[1];
    b.fi = 0;
    b.fo = baseB + samples(380, rate) + size;
    b.a = {0, samples(140, rate), baseB, baseB + samples(10, rate), baseB + samples(200, rate)};
    b.b = {baseB, samples(450, rate), baseB + samples(380, rate), baseB + samples(103, rate),
           baseB + samples(320, rate)};

    position_ = 0;
    std::fill_n(lineA_.get(), mask_ + 1, 0.0f);
    std::fill_n(lineB_.get(), mask_ + 1, 0.0f);
    running_ = true;
}

void TRoomReverb::process(float* out, const float* in, std::int32_t frames)
{
    applyChangedParameters();
    if (frames <= 0)
        return;
    const std::int32_t inputs = getInputChannels();
    const std::int32_t outputs = getOutputChannels();
    // A second input channel of a mono input reads the first.
    const std::int32_t rightIn = inputs - 1;

    if (!running_) {
        for (std::int32_t f = 0; f < frames; ++f) {
            const float left = in[f * inputs];
            const float right = in[f * inputs + rightIn];
            out[f * outputs] = left;
            if (outputs == 2)
                out[f * outputs + 1] = right;
        }
        return;
    }

    const std::uint32_t mask = mask_;
    float* const lineA = lineA_.get();
    float* const lineB = lineB_.get();
    const Taps ta = taps_[0];
    const Taps tb = taps_[1];
    const float g = loopGain_;
    const float wet = wet_;
    const float dry = dry_;
    std::uint32_t p = position_;

    for (std::int32_t f = 0; f < frames; ++f) {
        const float left = in[f * inputs];
        const float right = in[f * inputs + rightIn];
        const float m = kept(inputs == 2 ? left + right : left);

        // Each side: read the output tap, close the loop, then the first
        // all-pass pair, whose top cell with the tap is the side's output.
        float o[2];
        float* const lines[2] = {lineA, lineB};
        const Taps* const taps[2] = {&ta, &tb};
        for (int s = 0; s < 2; ++s) {
            float* const line = lines[s];
            const Taps& t = *taps[s];
            const float tap = line[(p + t.b[0]) & mask];
            line[(p + t.fo) & mask] = kept(kept(g * line[(p + t.fi) & mask]) + m);
            float& top = line[(p + t.a[0]) & mask];
            float& bottom = line[(p + t.b[0]) & mask];
            top = kept(top - kPairGain[0] * bottom);
            bottom = kept(bottom + kPairGain[0] * top);
            o[s] = top + tap;
        }
        for (int k = 1; k < 5; ++k) {
            for (int s = 0; s < 2; ++s) {
                float* const line = lines[s];
                const Taps& t = *taps[s];
                float& top = line[(p + t.a[k]) & mask];
                float& bottom = line[(p + t.b[k]) & mask];
                top = kept(top - kPairGain[k] * bottom);
                bottom = kept(bottom + kPairGain[k] * top);
            }
        }

        out[f * outputs] = dry * left + wet * o[0];
        if (outputs == 2)
            out[f * outputs + 1] = dry * right + wet * o[1];
        p = (p + 1) & mask;
    }
    position_ = p;
}

void TRoomReverb::automate(std::int32_t controller, std::int32_t value)
{
    if (host_)
        host_->setController(controller, value);
}

} // namespace mixer
