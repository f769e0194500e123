#pragma once

#include "plugin/docview/Converter.h"

namespace Zq::BorvanRAZ::Document {

// The envelope filter's two knob laws, as the document and the host see them.
// (The engine keeps converters of the same names with its own formulas; these
// belong to the document alone.)

// Knob position to filter frequency in hertz: the knob's travel spans
// 8.9296875 octaves up from 40 Hz, so 0 gives 40 Hz and 1 about 19.5 kHz.
class FreqConverter final : public Application::DocView::Converter {
public:
    std::unique_ptr<Converter> clone() const override
    {
        return std::make_unique<FreqConverter>(*this);
    }
    float fromNormalized(float n) const override;
    float toNormalized(float v) const override;
};

// Knob position to resonance: exponential from 0.3, a factor 8 per
// 1 / 2.3812501 of travel. Its normalised side ends near 0.708 at a
// resonance of 10; the "Reso" parameter stretches that onto 0 ... 1.
class ResonanceConverter final : public Application::DocView::Converter {
public:
    std::unique_ptr<Converter> clone() const override
    {
        return std::make_unique<ResonanceConverter>(*this);
    }
    float fromNormalized(float n) const override;
    float toNormalized(float v) const override;
};

} // namespace Zq::BorvanRAZ::Document
