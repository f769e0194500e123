#include "plugin/automation/StompUnits.h"

namespace Zq::BorvanRAZ::Automation {

StompBox::StompBox(AutomationList& list, std::string prefix)
    : UnitConnectable(list, std::move(prefix)), bypass_(addParamEnum(nullptr, "Bypass", kOffOn, 2))
{
}

StompBox::~StompBox() = default;

void StompBox::connect(UnitDoc* unit)
{
    if (auto* model = dynamic_cast<Document::Module*>(unit))
        bypass_->bind(&model->bypass);
    else
        bypass_->unbind();
}

bool StompBox::isConnected()
{
    return bypass_->isBound();
}

StompRI1::StompRI1(AutomationList& list, std::string prefix) : StompModel(list, std::move(prefix))
{
    using D = Document::StompRI1;
    bindings_.add(addParamdB(nullptr, "Level", 1), [](D& d) -> Parameter& { return d.level; });
    bindings_.add(addParam(nullptr, "Chorus", 1, ""), [](D& d) -> Parameter& { return d.chorus; });
    bindings_.add(addParam(nullptr, "Vibrato Depth", 1, ""),
                  [](D& d) -> Parameter& { return d.vibratoDepth; });
    bindings_.add(addParam(nullptr, "Vibrato Rate", 1, ""),
                  [](D& d) -> Parameter& { return d.vibratoRate; });
    bindings_.add(addParamEnum(nullptr, "Mode", kChorusVibrato, 2),
                  [](D& d) -> Parameter& { return d.mode; });
}

StompOverdrive::StompOverdrive(AutomationList& list, std::string prefix)
    : StompModel(list, std::move(prefix))
{
    using D = Document::StompOverdrive;
    bindings_.add(addParam(nullptr, "Texture", 1, ""),
                  [](D& d) -> Parameter& { return d.texture; });
    bindings_.add(addParam(nullptr, "Balance", 1, ""),
                  [](D& d) -> Parameter& { return d.balance; });
}

StompOctaver::StompOctaver(AutomationList& list, std::string prefix)
    : StompModel(list, std::move(prefix))
{
    using D = Document::StompOctaver;
    bindings_.add(addParam(nullptr, "Direct", 1, ""), [](D& d) -> Parameter& { return d.direct; });
    bindings_.add(addParam(nullptr, "Octave", 1, ""), [](D& d) -> Parameter& { return d.octave; });
}

StompMemoryMan::StompMemoryMan(AutomationList& list, std::string prefix)
    : StompModel(list, std::move(prefix))
{
    // Note values of the tempo-synchronised delay: t triplet, d dotted.
    static constexpr const char* kNoteValues[] = {"1/32", "1/16", "1/16t", "1/16d", "1/8",
                                                  "1/8t", "1/8d", "1/4",   "1/4t",  "1/4d",
                                                  "1/2",  "1/2t", "1/2d",  "1/1"};
    using D = Document::StompMemoryMan;
    bindings_.add(addParam(nullptr, "Delay", 1, "ms"), [](D& d) -> Parameter& { return d.delay; });
    bindings_.add(addParam(nullptr, "Feedback", 0, "%"),
                  [](D& d) -> Parameter& { return d.feedback; });
    bindings_.add(addParam(nullptr, "Blend", 0, "%"), [](D& d) -> Parameter& { return d.blend; });
    bindings_.add(addParam(nullptr, "Ch/Vib", 0, "%"), [](D& d) -> Parameter& { return d.chVib; });
    bindings_.add(addParamEnum(nullptr, "Mode", kChorusVibrato, 2),
                  [](D& d) -> Parameter& { return d.mode; });
    bindings_.add(addParamEnum(nullptr, "BPM Sync", kOffOn, 2),
                  [](D& d) -> Parameter& { return d.bpm; });
    bindings_.add(addParamEnum(nullptr, "BPM Meter", kNoteValues, 14),
                  [](D& d) -> Parameter& { return d.delayBpm; });
}

StompWah::StompWah(AutomationList& list, std::string prefix) : StompModel(list, std::move(prefix))
{
    static constexpr const char* kModes[] = {"On", "Auto"};
    using D = Document::StompWah;
    bindings_.add(addParamEnum(nullptr, "Mode", kModes, 2),
                  [](D& d) -> Parameter& { return d.mode; });
    bindings_.add(addParam(nullptr, "Wah", 0, "%"), [](D& d) -> Parameter& { return d.wah; });
}

StompDynaComp::StompDynaComp(AutomationList& list, std::string prefix)
    : StompModel(list, std::move(prefix))
{
    using D = Document::StompDynaComp;
    bindings_.add(addParamdB(nullptr, "Output", 2), [](D& d) -> Parameter& { return d.output; });
    bindings_.add(addParam(nullptr, "Sensitivity", 1, ""),
                  [](D& d) -> Parameter& { return d.sensitivity; });
}

StompEnvelopeFilter::StompEnvelopeFilter(AutomationList& list, std::string prefix)
    : StompModel(list, std::move(prefix))
{
    static constexpr const char* kPoles[] = {"12", "24"};
    static constexpr const char* kBands[] = {"High Pass", "Band Pass", "Low Pass"};
    using D = Document::StompEnvelopeFilter;
    bindings_.add(addParam(nullptr, "Freq", 1, "Hz"), [](D& d) -> Parameter& { return d.freq; });
    bindings_.add(addParam(nullptr, "Reso", 1, ""), [](D& d) -> Parameter& { return d.reso; });
    bindings_.add(addParam(nullptr, "Depth", 0, "%"), [](D& d) -> Parameter& { return d.depth; });
    bindings_.add(addParamEnum(nullptr, "Pole Mode", kPoles, 2),
                  [](D& d) -> Parameter& { return d.poleMode; });
    bindings_.add(addParamEnum(nullptr, "Band Mode", kBands, 3),
                  [](D& d) -> Parameter& { return d.bandMode; });
}

StompVolume::StompVolume(AutomationList& list, std::string prefix)
    : StompModel(list, std::move(prefix))
{
    using D = Document::StompVolume;
    bindings_.add(addParam(nullptr, "Min Volume", 1, ""),
                  [](D& d) -> Parameter& { return d.minLevel; });
    bindings_.add(addParam(nullptr, "Volume", 0, "%"), [](D& d) -> Parameter& { return d.volume; });
}

} // namespace Zq::BorvanRAZ::Automation
