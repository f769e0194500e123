#include "plugin/automation/AmpUnits.h"

#include <utility>

namespace Zq::BorvanRAZ::Automation {

// Some labels read the opposite of what the switch does ("EQ On" on
// "EqBypass", "Limit Defeat" on "Limit"): hosts know the parameters by these
// names, so they stay.

template <> void AmpRE500::addParameters()
{
    static constexpr const char* kBands[] = {"Band 40Hz",  "Band 80Hz",  "Band 150Hz",
                                             "Band 300Hz", "Band 600Hz", "Band 900Hz",
                                             "Band 2KHz",  "Band 5KHz",  "Band 9KHz"};
    using D = Document::AmpRE500;
    bindings_.add(addParamEnum(nullptr, "Pad", kOffOn, 2),
                  [](D& d) -> Parameter& { return d.pad; });
    bindings_.add(addParam(nullptr, "Gain", 1, ""), [](D& d) -> Parameter& { return d.gain; });
    bindings_.add(addParam(nullptr, "Bass", 1, ""), [](D& d) -> Parameter& { return d.bass; });
    bindings_.add(addParam(nullptr, "Ultra Mid", 1, ""), [](D& d) -> Parameter& { return d.mid; });
    bindings_.add(addParam(nullptr, "Treble", 1, ""), [](D& d) -> Parameter& { return d.treble; });
    bindings_.add(addParam(nullptr, "Master", 1, ""), [](D& d) -> Parameter& { return d.master; });
    bindings_.add(addParamEnum(nullptr, "Limit", kOffOn, 2),
                  [](D& d) -> Parameter& { return d.limit; });
    bindings_.add(addParamEnum(nullptr, "EQ On", kOffOn, 2),
                  [](D& d) -> Parameter& { return d.eqBypass; });
    addBands(kBands, std::make_index_sequence<D::kBandCount>());
}

template <> void AmpV9E::addParameters()
{
    static constexpr const char* kWatts[] = {"50W", "100W"};
    using D = Document::AmpV9E;
    bindings_.add(addParamEnum(nullptr, "UltraHi", kOffOn, 2),
                  [](D& d) -> Parameter& { return d.ultraHi; });
    bindings_.add(addParamEnum(nullptr, "UltraLo", kOffOn, 2),
                  [](D& d) -> Parameter& { return d.ultraLo; });
    bindings_.add(addParam(nullptr, "Gain", 1, ""), [](D& d) -> Parameter& { return d.gain; });
    bindings_.add(addParam(nullptr, "Bass", 1, ""), [](D& d) -> Parameter& { return d.bass; });
    bindings_.add(addParam(nullptr, "Mid", 1, ""), [](D& d) -> Parameter& { return d.mid; });
    bindings_.add(addParam(nullptr, "Frequency", 0, ""), [](D& d) -> Parameter& { return d.freq; });
    bindings_.add(addParam(nullptr, "Treble", 1, ""), [](D& d) -> Parameter& { return d.treble; });
    bindings_.add(addParam(nullptr, "Master", 1, ""), [](D& d) -> Parameter& { return d.master; });
    bindings_.add(addParamEnum(nullptr, "PowerMode", kWatts, 2),
                  [](D& d) -> Parameter& { return d.watts; });
}

template <> void AmpRKMClassic::addParameters()
{
    using D = Document::AmpRKMClassic;
    bindings_.add(addParam(nullptr, "Gain", 1, ""), [](D& d) -> Parameter& { return d.gain; });
    bindings_.add(addParamEnum(nullptr, "UltraHi", kOffOn, 2),
                  [](D& d) -> Parameter& { return d.ultraHi; });
    bindings_.add(addParamEnum(nullptr, "UltraLo", kOffOn, 2),
                  [](D& d) -> Parameter& { return d.ultraLo; });
    bindings_.add(addParam(nullptr, "Bass", 1, ""), [](D& d) -> Parameter& { return d.bass; });
    bindings_.add(addParam(nullptr, "Midrange", 1, ""), [](D& d) -> Parameter& { return d.mid; });
    bindings_.add(addParam(nullptr, "Frequency", 0, ""), [](D& d) -> Parameter& { return d.freq; });
    bindings_.add(addParam(nullptr, "Treble", 1, ""), [](D& d) -> Parameter& { return d.treble; });
    bindings_.add(addParam(nullptr, "Master", 1, ""), [](D& d) -> Parameter& { return d.master; });
}

template <> void AmpRKM4PRO::addParameters()
{
    static constexpr const char* kBands[] = {"Band 33Hz",  "Band 80Hz",  "Band 150Hz",
                                             "Band 300Hz", "Band 600Hz", "Band 900Hz",
                                             "Band 2KHz",  "Band 5KHz",  "Band 8KHz"};
    using D = Document::AmpRKM4PRO;
    bindings_.add(addParamEnum(nullptr, "-15dB", kOffOn, 2),
                  [](D& d) -> Parameter& { return d.minus15dB; });
    bindings_.add(addParam(nullptr, "Gain", 1, ""), [](D& d) -> Parameter& { return d.gain; });
    bindings_.add(addParam(nullptr, "Compression", 1, ""),
                  [](D& d) -> Parameter& { return d.compression; });
    bindings_.add(addParamEnum(nullptr, "UltraHi", kOffOn, 2),
                  [](D& d) -> Parameter& { return d.ultraHi; });
    bindings_.add(addParamEnum(nullptr, "UltraLo", kOffOn, 2),
                  [](D& d) -> Parameter& { return d.ultraLo; });
    bindings_.add(addParam(nullptr, "Bass", 1, ""), [](D& d) -> Parameter& { return d.bass; });
    bindings_.add(addParam(nullptr, "Midrange", 1, ""), [](D& d) -> Parameter& { return d.mid; });
    bindings_.add(addParam(nullptr, "Frequency", 0, ""), [](D& d) -> Parameter& { return d.freq; });
    bindings_.add(addParam(nullptr, "Treble", 1, ""), [](D& d) -> Parameter& { return d.treble; });
    bindings_.add(addParamEnum(nullptr, "Limit Defeat", kOffOn, 2),
                  [](D& d) -> Parameter& { return d.limit; });
    bindings_.add(addParamEnum(nullptr, "Bright", kOffOn, 2),
                  [](D& d) -> Parameter& { return d.bright; });
    bindings_.add(addParam(nullptr, "Master", 1, ""), [](D& d) -> Parameter& { return d.master; });
    bindings_.add(addParamEnum(nullptr, "Eq Active", kOffOn, 2),
                  [](D& d) -> Parameter& { return d.eqBypass; });
    addBands(kBands, std::make_index_sequence<D::kBandCount>());
    bindings_.add(addParamdB(nullptr, "Eq Level", 0),
                  [](D& d) -> Parameter& { return d.bandLevel; });
}

} // namespace Zq::BorvanRAZ::Automation
