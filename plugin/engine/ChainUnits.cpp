#include "plugin/engine/ChainUnits.h"

#include "plugin/docview/EnumIndex.h"
#include "plugin/engine/ChainStructure.h"
#include "plugin/engine/EngineFacade.h"
#include "plugin/engine/Main.h"
#include "plugin/rig/AmpControls.h"
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

template <class Head> void AmpModule::bind(Head& head)
{
    // The tube heads' detail level belongs to their common base, not to a list.
    if constexpr (std::is_base_of_v<Document::TubeAmpModel, Head>)
        addParam(headPath("DSM"), &head.dsmActive);
    using Document::AmpControl;
    const auto rows = Document::ampControlsInOrder<Head>(
        [](const AmpControl<Head>& row) { return row.engine.position; });
    for (const AmpControl<Head>* row : rows) {
        const Document::AmpControlEngine& engine = row->engine;
        Parameter* parameter = &row->member.of(head);
        if (engine.status)
            addStatus(headPath(engine.path), parameter);
        else if (engine.converter)
            addParam(headPath(engine.path), parameter, *engine.converter);
        else
            addParam(headPath(engine.path), parameter);
    }
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
