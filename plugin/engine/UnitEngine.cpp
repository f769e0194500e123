#include "plugin/engine/UnitEngine.h"

#include "plugin/engine/ChainStructure.h"
#include "plugin/engine/Main.h"
#include "plugin/rig/Rig.h"

namespace Zq::BorvanRAZ::Engine {

using Application::DocView::ConverterdB;
using Application::DocView::MAFInterface;
using Application::DocView::Parameter;

std::string volumeGainPath(const std::string& base)
{
    using C = ChainStructure;
    return C::compose("Gain", C::compose("Volume", C::compose("PanVolume", base)));
}

UnitEngine::UnitEngine(MAFInterface* dsp, std::string path, Main& root)
    : UnitMAF(dsp, std::move(path)), root_(root)
{
}

UnitEngine::~UnitEngine() = default;

void UnitEngine::tempoChanged()
{
}

Module::Module(MAFInterface* dsp, std::string path, Main& root, Document::Module* documentUnit)
    : UnitEngine(dsp, std::move(path), root), documentUnit_(documentUnit)
{
    processPath_ = makePath("Process");
    if (!documentUnit_)
        return;
    muteConnection_ = documentUnit_->mute.changed.connect([this](Parameter*) { onMute(); });
    bypassConnection_ = documentUnit_->bypass.changed.connect([this](Parameter*) { onBypass(); });
    // Virtual calls from here reach this class's run-state operations, not a
    // derived unit's: a derived unit brings its own part in line itself.
    onBypass();
}

Module::~Module() = default;

bool Module::documentIsNormal() const
{
    return !documentUnit_ ||
           (documentUnit_->mute.getValue() != 1.0f && documentUnit_->bypass.getValue() != 1.0f);
}

void Module::onMute()
{
    if (suppressed_ || !documentUnit_)
        return;
    if (documentUnit_->mute.getValue() == 1.0f)
        setMute();
    else if (documentUnit_->bypass.getValue() == 1.0f)
        setBypass();
    else
        setNormal();
}

void Module::onBypass()
{
    if (suppressed_ || !documentUnit_)
        return;
    const bool muted = documentUnit_->mute.getValue() == 1.0f;
    if (documentUnit_->bypass.getValue() == 1.0f) {
        if (!muted)
            setBypass();
        else
            setMute();
    } else if (muted) {
        setMute();
    } else {
        setNormal();
    }
}

void Module::setNormal()
{
    if (MAFInterface* dsp = getMAFInterface())
        dsp->setParameterByName(processPath_, "Normal");
}

void Module::setMute()
{
    if (MAFInterface* dsp = getMAFInterface())
        dsp->setParameterByName(processPath_, "Mute");
}

void Module::setBypass()
{
    if (MAFInterface* dsp = getMAFInterface())
        dsp->setParameterByName(processPath_, "Bypass");
}

void Module::setStop()
{
    if (MAFInterface* dsp = getMAFInterface())
        dsp->setParameterByName(processPath_, "Stop");
}

MacroModule::MacroModule(MAFInterface* dsp, std::string path, Main& root,
                         Document::MacroModule* documentUnit)
    : Module(dsp, std::move(path), root, documentUnit)
{
    if (documentUnit)
        addParam(volumeGainPath(getBasePath()), &documentUnit->outputVolume, ConverterdB());
}

MacroModule::~MacroModule() = default;

StereoMacroModule::~StereoMacroModule() = default;

namespace {

Document::Module* slotDocument(Main& root, int slot)
{
    return root.getDocument().getStompModule().getStomp(slot);
}

} // namespace

StompBox::StompBox(MAFInterface* dsp, std::string slotPath, Main& root, int slot)
    : Module(dsp, std::move(slotPath), root, slotDocument(root, slot)), slot_(slot)
{
}

StompBox::~StompBox() = default;

} // namespace Zq::BorvanRAZ::Engine
