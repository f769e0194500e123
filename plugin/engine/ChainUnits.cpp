#include "plugin/engine/ChainUnits.h"

#include "plugin/docview/EnumIndex.h"
#include "plugin/engine/ChainStructure.h"
#include "plugin/engine/EngineFacade.h"
#include "plugin/engine/Main.h"
#include "plugin/rig/AmpModels.h"
#include "plugin/rig/Rig.h"

#include <cmath>
#include <optional>
#include <type_traits>

namespace Zq::BorvanRAZ::Engine {

using Application::DocView::AdapterMAFParam;
using Application::DocView::ConverterdB;
using Application::DocView::ConverterInv;
using Application::DocView::ConverterLinear;
using Application::DocView::ConverterNorm;
using Application::DocView::ConverterPowNorm;
using Application::DocView::enumIndex;
using Application::DocView::MAFInterface;
using Application::DocView::Parameter;
using Application::DocView::UnitMAF;

namespace {

std::string compose(const std::string& component, const std::string& base)
{
    return ChainStructure::compose(component, base);
}

// A knob of 0 ... 10 onto 0 ... 1.
const ConverterNorm kKnob(0.0f, 10.0f);
// The mid-frequency switch 1 ... 5 onto the DSP's 0 ... 4.
const ConverterLinear kMidFrequency(1.0f, 5.0f, 0.0f, 4.0f);

// The two tube heads share their controls; only the V9E has a power switch.
template <class Head> void bindTubeHead(UnitMAF& unit, const std::string& element, Head& head)
{
    auto path = [&](const char* p) { return compose(p, element); };
    unit.addParam(path("DSM"), &head.dsmActive);
    unit.addParam(path("Gain"), &head.gain, kKnob);
    unit.addParam(path("Bass"), &head.bass, kKnob);
    unit.addParam(path("Treble"), &head.treble, kKnob);
    unit.addParam(path("Mid"), &head.mid, kKnob);
    unit.addParam(path("Master"), &head.master, kKnob);
    unit.addParam(path("UltraHi"), &head.ultraHi);
    unit.addParam(path("UltraLo"), &head.ultraLo);
    if constexpr (requires { head.watts; })
        unit.addParam(path("PowerMode"), &head.watts);
    unit.addParam(path("Frequency"), &head.freq, kMidFrequency);
    unit.addParam(path("GainAdjPre"), &head.gainAdjPre);
    unit.addParam(path("GainAdjPwr"), &head.gainAdjPwr);
    unit.addParam(path("GainPrePwr"), &head.gainPrePwr);
    unit.addParam(path("GainPostPwr"), &head.gainPostPwr);
    unit.addParam(path("PlateCurrentGain"), &head.plateCurrentGain);
    unit.addParam(path("ScreenCurrentGain"), &head.screenCurrentGain);
    unit.addParam(path("Variac"), &head.variac);
}

void bindBands(UnitMAF& unit, const std::string& element, std::array<Parameter, 9>& bands,
               float range)
{
    const ConverterNorm band(-range, range);
    for (int k = 0; k < 9; ++k)
        unit.addParam(compose("Band" + std::to_string(k), element),
                      &bands[static_cast<std::size_t>(k)], band);
}

} // namespace

// --- Amp ---------------------------------------------------------------------

AmpModule::AmpModule(MAFInterface* dsp, std::string path, std::string cabinetPath, Main& root)
    : MacroModule(dsp, std::move(path), root, &root.getDocument().getAmpModule()),
      cabinetPath_(std::move(cabinetPath))
{
    Document::AmpModule& amp = root.getDocument().getAmpModule();
    addParamEnum(headPath("Model"), &amp.ampModel, kModelNames.data(), kModelCount);

    const std::optional<int> index = enumIndex(amp.ampModel.getValue(), kModelCount);
    const std::string model = index ? kModelNames[*index] : "";
    const auto* facade = dynamic_cast<const EngineFacade*>(getMAFInterface());
    const float impedance = facade ? facade->getImpedanceSwitch(getBasePath(), model)
                                   : EngineFacade::impedanceSwitch(model);
    if (getMAFInterface())
        getMAFInterface()->setParameter(compose("ImpedOn", cabinetPath_), impedance);

    Document::Module* head = amp.getAmpModel();
    if (!head || !index)
        return;
    Document::forEachAmpHead([this, head, index](int number, const auto& entry) {
        using Head = typename std::remove_cvref_t<decltype(entry)>::Document;
        if (number == *index)
            if (auto* document = dynamic_cast<Head*>(head))
                bind(*document);
    });
}

AmpModule::~AmpModule() = default;

std::string AmpModule::headPath(const std::string& parameter) const
{
    return compose(parameter, compose("0", getBasePath()));
}

void AmpModule::bind(Document::AmpV9E& head)
{
    bindTubeHead(*this, compose("0", getBasePath()), head);
}

void AmpModule::bind(Document::AmpRKMClassic& head)
{
    bindTubeHead(*this, compose("0", getBasePath()), head);
}

void AmpModule::bind(Document::AmpRE500& head)
{
    addParam(headPath("Pad"), &head.pad);
    addParam(headPath("LimitEnable"), &head.limit);
    addParam(headPath("GeqBypass"), &head.eqBypass);
    bindBands(*this, compose("0", getBasePath()), head.bands, 10.0f);
    addParam(headPath("Gain"), &head.gain, kKnob);
    addParam(headPath("Bass"), &head.bass, kKnob);
    addParam(headPath("Treble"), &head.treble, kKnob);
    addParam(headPath("UltraMid"), &head.mid, kKnob);
    addParam(headPath("Master"), &head.master, kKnob);
    addStatus(headPath("PreampPeak"), &head.preampPeak);
    addParam(headPath("GainAdjPre"), &head.gainAdjPre);
    addParam(headPath("PreClipperGainAdjust"), &head.preClipperGainAdjust);
    addParam(headPath("PwrAmpInGainAdjust"), &head.pwrAmpInGainAdjust);
    addParam(headPath("LimitTreshold"), &head.limitTreshold);
    addParam(headPath("LimitResponsiveness"), &head.limitResponsiveness);
}

void AmpModule::bind(Document::AmpRKM4PRO& head)
{
    addParam(headPath("CompAmount"), &head.compression, kKnob);
    addParam(headPath("LimitEnable"), &head.limit);
    addStatus(headPath("PreampPeak"), &head.preampPeak);
    addStatus(headPath("LimitPeak"), &head.limitPeak);
    addParam(headPath("Pad"), &head.minus15dB);
    addParam(headPath("GeqBypass"), &head.eqBypass);
    addParam(headPath("GeqGain"), &head.bandLevel, ConverterdB());
    bindBands(*this, compose("0", getBasePath()), head.bands, 12.0f);
    addParam(headPath("Gain"), &head.gain, kKnob);
    addParam(headPath("Bass"), &head.bass, kKnob);
    addParam(headPath("Treble"), &head.treble, kKnob);
    addParam(headPath("Mid"), &head.mid, kKnob);
    addParam(headPath("Master"), &head.master, kKnob);
    addParam(headPath("UltraHi"), &head.ultraHi);
    addParam(headPath("UltraLo"), &head.ultraLo);
    addParam(headPath("Frequency"), &head.freq, kMidFrequency);
    addParam(headPath("Bright"), &head.bright);
    addParam(headPath("CompLevel"), &head.compLevel);
    addParam(headPath("CompResponsiveness"), &head.compResponsiveness);
    addParam(headPath("LimitResponsiveness"), &head.limitResponsiveness);
    addParam(headPath("CompVolume"), &head.compVolume);
    addParam(headPath("GainAdjPre1"), &head.gainAdjPre1);
    addParam(headPath("GainAdjPre2"), &head.gainAdjPre2);
    addParam(headPath("GainAdjPre3"), &head.gainAdjPre3);
    addParam(headPath("PreClipperGainAdjust"), &head.preClipperGainAdjust);
    addParam(headPath("PwrAmpInGainAdjust"), &head.pwrAmpInGainAdjust);
    addParam(headPath("LimitTreshold"), &head.limitTreshold);
}

// --- Cabinet -----------------------------------------------------------------

namespace {

// The tweeter law: half way (0.5) at a level of 10^-0.2.
const float kTweeterExponent = static_cast<float>(0.2 / std::log10(2.0));

} // namespace

CabModule::CabModule(MAFInterface* dsp, std::string path, Main& root)
    : StereoMacroModule(dsp, std::move(path), root, &root.getDocument().getCabModule())
{
    Document::CabModule& cab = root.getDocument().getCabModule();
    auto choose = [this](Parameter*) { chooseCabinet(); };
    cabinetConnection_ = cab.cabinetModel.changed.connect(choose);
    distanceConnection_ = cab.micDist.changed.connect(choose);
    axisConnection_ = cab.micAxis.changed.connect(choose);
    chooseCabinet();

    addParamEnum(makePath("MicModel"), &cab.micModel, kMicNames, kMicCount);
    // The base constructor set the run state with its own operations; the
    // ambience follows the document only while the unit runs Normal.
    if (documentIsNormal())
        bindAmbience();
    else
        releaseAmbience(true);
    addParam(makePath("TweeterLevel"), &cab.highLevel,
             ConverterPowNorm(kTweeterExponent, 0.0f, 1.0f));
}

CabModule::~CabModule() = default;

void CabModule::chooseCabinet()
{
    MAFInterface* dsp = getMAFInterface();
    if (!dsp)
        return;
    const Document::CabModule& cab = getRoot().getDocument().getCabModule();
    const std::optional<int> index = enumIndex(cab.cabinetModel.getValue(), kCabinetCount);
    if (!index)
        return;
    const std::string name = std::string(kCabinetNames[*index]) +
                             (cab.micDist.getValue() == 0.0f ? "_Near" : "_Far") +
                             (cab.micAxis.getValue() == 0.0f ? "Axis" : "Off");
    const std::string path = makePath("CabModel");
    dsp->setParameter(path, dsp->lookupNamedValue(path, name));
}

void CabModule::bindAmbience()
{
    releaseAmbience(false);
    Parameter& ambience = getRoot().getDocument().getCabModule().ambience;
    const ConverterLinear level(ambience.getRange().getMin(), ambience.getRange().getMax(), 0.0f,
                                127.0f);
    ambience_ = addParam(compose("Level", compose("Ambience", getBasePath())), &ambience, level);
}

void CabModule::releaseAmbience(bool silence)
{
    removeAdapter(ambience_);
    ambience_ = nullptr;
    if (silence && getMAFInterface())
        getMAFInterface()->setParameter(compose("Level", compose("Ambience", getBasePath())), 0.0f);
}

void CabModule::setNormal()
{
    StereoMacroModule::setNormal();
    bindAmbience();
}

void CabModule::setMute()
{
    StereoMacroModule::setMute();
    releaseAmbience(true);
}

void CabModule::setBypass()
{
    StereoMacroModule::setBypass();
    releaseAmbience(true);
}

void CabModule::setStop()
{
    StereoMacroModule::setStop();
    releaseAmbience(true);
}

// --- Tuner -------------------------------------------------------------------

TunerModule::TunerModule(MAFInterface* dsp, std::string path, Main& root)
    : UnitEngine(dsp, std::move(path), root)
{
    Document::TunerModule& tuner = root.getDocument().getTuner();
    display_ = addStatus(makePath("Display"), &tuner.displayOff);
    note_ = addStatus(makePath("Note"), &tuner.note);
    cents_ = addStatus(makePath("Cents"), &tuner.cents);
    deviation_ = addStatus(makePath("Deviation"), &tuner.deviation);

    muteConnection_ = tuner.mute.changed.connect([this](Parameter*) { onMute(); });
    bypassConnection_ = tuner.bypass.changed.connect([this](Parameter*) { onBypass(); });
    onMute();
    onBypass();

    addParam(volumeGainPath(getBasePath()), &tuner.outputVolume, ConverterdB());
    addParam(makePath("Reference"), &tuner.reference);
}

TunerModule::~TunerModule() = default;

void TunerModule::onMute()
{
    if (MAFInterface* dsp = getMAFInterface())
        dsp->setParameterByName(makePath("Mute"),
                                getRoot().getDocument().getTuner().mute.getValue() == 1.0f ? "Mute"
                                                                                           : "On");
}

void TunerModule::onBypass()
{
    const bool bypassed = getRoot().getDocument().getTuner().bypass.getValue() == 1.0f;
    // Disabled read-backs leave the document's read-outs as they were.
    for (auto* status : {display_, note_, cents_, deviation_})
        status->setDisabled(bypassed);
    if (MAFInterface* dsp = getMAFInterface())
        dsp->setParameterByName(makePath("On"), bypassed ? "Off" : "On");
}

// --- Input and output --------------------------------------------------------

Input::Input(MAFInterface* dsp, std::string path, Main& root)
    : UnitEngine(dsp, std::move(path), root)
{
    addStatus(compose("Level", compose("Meter", getBasePath())),
              &root.getDocument().getInput().inputLevelMeter);
}

Input::~Input() = default;

Output::Output(MAFInterface* dsp, std::string path, Main& root)
    : UnitEngine(dsp, std::move(path), root)
{
    Document::Output& output = root.getDocument().getOutput();
    addParam(compose("Delay", "PhaseAdjust"), &output.phase);
    addParam(compose("Mix", "MainMixer"), &output.mix, ConverterInv(0.0f, 100.0f));
    addParam(compose("Gain", compose("Master", getBasePath())), &output.master, ConverterdB());
    addStatus(compose("Level", compose("MeterL", getBasePath())), &output.outputLevelMeterL);
    addStatus(compose("Level", compose("MeterR", getBasePath())), &output.outputLevelMeterR);
}

Output::~Output() = default;

} // namespace Zq::BorvanRAZ::Engine
