#include "plugin/rig/StompModels.h"

#include "plugin/rig/EnvelopeConverters.h"

#include <cmath>

namespace Zq::BorvanRAZ::Document {

using Application::DocView::ConverterCombiner;
using Application::DocView::ConverterdBNorm;
using Application::DocView::ConverterNorm;
using Application::DocView::ConverterPowNorm;
using Application::DocView::RangeFloat;
using Application::DocView::RangeInt;

namespace {

// The exponent of a power-law knob whose centre lies at the given value:
// 0.5 ^ e = centre.
float centredExponent(double centre)
{
    return static_cast<float>(std::log10(centre) / std::log10(0.5));
}

// A linear gain range of +-db decibels.
RangeFloat gainRange(double db)
{
    return RangeFloat(static_cast<float>(std::pow(10.0, -db / 20.0)),
                      static_cast<float>(std::pow(10.0, db / 20.0)));
}

} // namespace

StompOverdrive::StompOverdrive()
{
    addParameter("Texture", texture, 5.0f, RangeFloat(0.0f, 10.0f), true);
    addParameter("Balance", balance, 5.0f, RangeFloat(0.0f, 10.0f), true);
}

StompOctaver::StompOctaver()
{
    addParameter("Octave", octave, 7.0f, RangeFloat(0.0f, 10.0f), true);
    addParameter("Direct", direct, 6.0f, RangeFloat(0.0f, 10.0f), true);
}

StompRI1::StompRI1()
{
    addParameter("Level", level, 2.0f, gainRange(15.0), ConverterdBNorm(-15.0f, 15.0f), true);
    addParameter("Chorus", chorus, 3.234375f, RangeFloat(0.0f, 10.0f), true);
    addParameter("VibratoDepth", vibratoDepth, 4.34375f, RangeFloat(0.0f, 10.0f), true);
    addParameter("VibratoRate", vibratoRate, 3.4375f, RangeFloat(0.0f, 10.0f), true);
    addParameter("Mode", mode, 0.0f, RangeInt(0, 1), true);
}

StompMemoryMan::StompMemoryMan()
{
    addParameter("Delay", delay, 351.5625f, RangeFloat(25.0f, 500.0f), true);
    addParameter("Feedback", feedback, 45.3125f, RangeFloat(0.0f, 100.0f), true);
    addParameter("Blend", blend, 24.21875f, RangeFloat(0.0f, 100.0f), true);
    addParameter("ChVib", chVib, 39.84375f, RangeFloat(0.0f, 100.0f), true);
    addParameter("Mode", mode, 0.0f, RangeInt(0, 1), true);
    addParameter("BPM", bpm, 0.0f, RangeInt(0, 1), true);
    addParameter("DelayBPM", delayBpm, 7.0f, RangeInt(0, 13), true);
}

StompWah::StompWah()
{
    addParameter("Mode", mode, 0.0f, RangeInt(0, 1), true);
    addParameter("Wah", wah, 28.125f, RangeFloat(0.0f, 100.0f), true);
}

// The output knob puts -12 dB (10^-0.6) at its centre.
StompDynaComp::StompDynaComp()
{
    addParameter("Output", output, 0.59968102f, RangeFloat(0.0f, 1.0f),
                 ConverterPowNorm(centredExponent(std::pow(10.0, -0.6)), 0.0f, 1.0f), true);
    addParameter("Sensitivity", sensitivity, 6.171875f, RangeFloat(0.0f, 10.0f), true);
}

StompEnvelopeFilter::StompEnvelopeFilter()
{
    const FreqConverter frequency;
    addParameter("Freq", freq, 656.26410f,
                 RangeFloat(frequency.fromNormalized(0.0f), frequency.fromNormalized(1.0f)),
                 frequency, true);
    // The resonance law ends short of 1 at a resonance of 10; a linear stretch
    // behind it lets the knob's whole travel span 0.3 ... 10.
    const ResonanceConverter resonance;
    const ConverterNorm stretch(resonance.toNormalized(0.3f), resonance.toNormalized(10.0f));
    addParameter("Reso", reso, 2.4061930f, RangeFloat(0.3f, 10.0f),
                 ConverterCombiner(resonance, stretch), true);
    addParameter("Depth", depth, 64.0625f, RangeFloat(0.0f, 100.0f), true);
    addParameter("PoleMode", poleMode, 0.0f, RangeInt(0, 1), true);
    addParameter("BandMode", bandMode, 2.0f, RangeInt(0, 2), true);
}

StompVolume::StompVolume()
{
    addParameter("MinLevel", minLevel, 0.0f, RangeFloat(0.0f, 10.0f), true);
    addParameter("Volume", volume, 100.0f, RangeFloat(0.0f, 100.0f), true);
}

std::unique_ptr<Module> createStompModel(int selectorValue)
{
    switch (selectorValue) {
    case 1:
        return std::make_unique<StompOverdrive>();
    case 2:
        return std::make_unique<StompOctaver>();
    case 3:
        return std::make_unique<StompRI1>();
    case 4:
        return std::make_unique<StompMemoryMan>();
    case 5:
        return std::make_unique<StompWah>();
    case 6:
        return std::make_unique<StompDynaComp>();
    case 7:
        return std::make_unique<StompEnvelopeFilter>();
    case 8:
        return std::make_unique<StompVolume>();
    default:
        return nullptr;
    }
}

} // namespace Zq::BorvanRAZ::Document
