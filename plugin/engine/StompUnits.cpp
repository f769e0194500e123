#include "plugin/engine/StompUnits.h"

#include "plugin/docview/EnumIndex.h"
#include "plugin/engine/ChainStructure.h"
#include "plugin/engine/Main.h"
#include "plugin/rig/Rig.h"
#include "plugin/rig/StompModels.h"

#include <cmath>
#include <new>

namespace Zq::BorvanRAZ::Engine {

using Application::DocView::ConverterCombiner;
using Application::DocView::ConverterdB;
using Application::DocView::ConverterLinear;
using Application::DocView::ConverterNorm;
using Application::DocView::ConverterPowNorm;
using Application::DocView::MAFInterface;
using Application::DocView::Parameter;

namespace {

// The parameter's own range onto 0 ... 1.
ConverterNorm normOf(const Parameter& p)
{
    return ConverterNorm(p.getRange().getMin(), p.getRange().getMax());
}

// The parameter's own range onto c ... d.
ConverterLinear linearOf(const Parameter& p, float c, float d)
{
    return ConverterLinear(p.getRange().getMin(), p.getRange().getMax(), c, d);
}

const ConverterNorm kKnob(0.0f, 10.0f);

template <class Document> Document* documentOf(const StompBox& unit)
{
    return dynamic_cast<Document*>(unit.getDocumentUnit());
}

} // namespace

// --- The chain ---------------------------------------------------------------

StompModule::StompModule(MAFInterface* dsp, std::string path, Main& root)
    : MacroModule(dsp, std::move(path), root, &root.getDocument().getStompModule())
{
    Document::StompModule& stomps = root.getDocument().getStompModule();
    for (int slot = 0; slot < kSlotCount; ++slot) {
        Parameter& model = stomps.stomps[static_cast<std::size_t>(slot)];
        // The selector binding is connected before the slot handler, so a
        // change queues the slot's model before the new unit's values.
        addParamEnum(ChainStructure::compose("Stomp", makePath(std::to_string(slot))), &model,
                     kModelNames, kModelCount);
        slotConnections_[static_cast<std::size_t>(slot)] =
            model.changed.connect([this, slot](Parameter*) { onSlotChanged(slot); });
        onSlotChanged(slot);
    }
}

StompModule::~StompModule()
{
    for (auto& unit : slots_)
        unit.reset();
}

StompBox* StompModule::getSlotUnit(int slot) const
{
    return slot >= 0 && slot < kSlotCount ? slots_[static_cast<std::size_t>(slot)].get() : nullptr;
}

void StompModule::tempoChanged()
{
    for (auto& unit : slots_)
        if (unit)
            unit->tempoChanged();
}

void StompModule::onSlotChanged(int slot)
{
    std::unique_ptr<StompBox>& unit = slots_[static_cast<std::size_t>(slot)];
    // The old unit and its bindings go before the new one pushes anything.
    unit.reset();
    const Parameter& model =
        getRoot().getDocument().getStompModule().stomps[static_cast<std::size_t>(slot)];
    const double m = std::trunc(static_cast<double>(model.getValue()));
    const std::string slotPath = makePath(std::to_string(slot));
    MAFInterface* dsp = getMAFInterface();
    Main& root = getRoot();
    try {
        if (m == 1.0)
            unit = std::make_unique<StompOverdrive>(dsp, slotPath, root, slot);
        else if (m == 2.0)
            unit = std::make_unique<StompOctaver>(dsp, slotPath, root, slot);
        else if (m == 3.0)
            unit = std::make_unique<StompRI1>(dsp, slotPath, root, slot);
        else if (m == 4.0)
            unit = std::make_unique<StompMemoryMan>(dsp, slotPath, root, slot);
        else if (m == 5.0)
            unit = std::make_unique<StompWah>(dsp, slotPath, root, slot);
        else if (m == 6.0)
            unit = std::make_unique<StompDynaComp>(dsp, slotPath, root, slot);
        else if (m == 7.0)
            unit = std::make_unique<StompEnvelopeFilter>(dsp, slotPath, root, slot);
        else if (m == 8.0)
            unit = std::make_unique<StompVolume>(dsp, slotPath, root, slot);
    } catch (const std::bad_alloc&) {
        // The slot's knobs stay unbound until its model changes again.
    }
}

// --- The models --------------------------------------------------------------

StompOverdrive::StompOverdrive(MAFInterface* dsp, std::string slotPath, Main& root, int slot)
    : StompBox(dsp, std::move(slotPath), root, slot)
{
    if (auto* doc = documentOf<Document::StompOverdrive>(*this)) {
        addParam(makePath("Texture"), &doc->texture, normOf(doc->texture));
        addParam(makePath("Blend"), &doc->balance, normOf(doc->balance));
    }
}

StompOctaver::StompOctaver(MAFInterface* dsp, std::string slotPath, Main& root, int slot)
    : StompBox(dsp, std::move(slotPath), root, slot)
{
    if (auto* doc = documentOf<Document::StompOctaver>(*this)) {
        addParam(makePath("OctaveLevel"), &doc->octave, normOf(doc->octave));
        addParam(makePath("Level"), &doc->direct, normOf(doc->direct));
    }
}

StompRI1::StompRI1(MAFInterface* dsp, std::string slotPath, Main& root, int slot)
    : StompBox(dsp, std::move(slotPath), root, slot)
{
    if (auto* doc = documentOf<Document::StompRI1>(*this)) {
        addParam(makePath("Gain"), &doc->level, ConverterdB());
        addParam(makePath("ChorusInt"), &doc->chorus, kKnob);
        addParam(makePath("VibDepth"), &doc->vibratoDepth, kKnob);
        addParam(makePath("VibRate"), &doc->vibratoRate, kKnob);
        addParam(makePath("Mode"), &doc->mode);
    }
}

StompMemoryMan::StompMemoryMan(MAFInterface* dsp, std::string slotPath, Main& root, int slot)
    : StompBox(dsp, std::move(slotPath), root, slot)
{
    auto* doc = documentOf<Document::StompMemoryMan>(*this);
    if (!doc)
        return;
    addParam(makePath("Delay"), &doc->delay);
    addParam(makePath("Feedback"), &doc->feedback, normOf(doc->feedback));
    addParam(makePath("BlendLevel"), &doc->blend, normOf(doc->blend));
    const ConverterPowNorm depthLaw(0.3f, doc->chVib.getRange().getMin(),
                                    doc->chVib.getRange().getMax());
    addParam(makePath("Depth"), &doc->chVib,
             ConverterCombiner(depthLaw, ConverterLinear(0.0f, 1.0f, 0.0f, 0.4f)));
    static constexpr float kModes[] = {0.0f, 1.0f};
    addParamEnum(makePath("Mode"), &doc->mode, kModes, 2);

    noteConnection_ = doc->delayBpm.changed.connect([this](Parameter*) { tempoChanged(); });
    syncConnection_ = doc->bpm.changed.connect([this](Parameter*) { tempoChanged(); });
}

StompMemoryMan::~StompMemoryMan() = default;

double StompMemoryMan::beatsOf(int k) noexcept
{
    static constexpr double kBeats[] = {0.125,     0.25,      1.0 / 6.0, 0.375,     0.5,
                                        1.0 / 3.0, 0.75,      1.0,       2.0 / 3.0, 1.5,
                                        2.0,       4.0 / 3.0, 3.0,       4.0};
    return k >= 0 && k < static_cast<int>(std::size(kBeats)) ? kBeats[k] : 0.0;
}

void StompMemoryMan::tempoChanged()
{
    auto* doc = documentOf<Document::StompMemoryMan>(*this);
    if (!doc || doc->bpm.getValue() != 1.0f)
        return;
    const auto note = Application::DocView::enumIndex(doc->delayBpm.getValue(), 14);
    const double beats = note ? beatsOf(*note) : 0.0;
    // The root hands on only finite tempos of 0 or more.
    const double tempo = getRoot().currentTempo();
    const float delay = tempo == 0.0 ? 0.0f : static_cast<float>(beats / tempo * 60000.0);
    // A tempo so small that the delay overflows sets nothing.
    if (!std::isfinite(delay))
        return;
    // The document's range clamps it; the "Delay" binding sends it on.
    doc->delay.setValue(delay, true);
}

StompWah::StompWah(MAFInterface* dsp, std::string slotPath, Main& root, int slot)
    : StompBox(dsp, std::move(slotPath), root, slot)
{
    if (auto* doc = documentOf<Document::StompWah>(*this)) {
        addParam(makePath("Auto"), &doc->mode);
        addParam(makePath("Wah"), &doc->wah, normOf(doc->wah));
    }
}

StompDynaComp::StompDynaComp(MAFInterface* dsp, std::string slotPath, Main& root, int slot)
    : StompBox(dsp, std::move(slotPath), root, slot)
{
    if (auto* doc = documentOf<Document::StompDynaComp>(*this)) {
        addParam(makePath(ChainStructure::compose("Volume", "FilterOut")), &doc->output);
        addParam(makePath(ChainStructure::compose("Sensitivity", "Compressor")), &doc->sensitivity,
                 normOf(doc->sensitivity));
    }
}

float StompEnvelopeFilter::FreqConverter::fromNormalized(float x) const
{
    return static_cast<float>(40.0 * std::exp2(0.0703125 * double(x)));
}

float StompEnvelopeFilter::FreqConverter::toNormalized(float hertz) const
{
    return static_cast<float>(14.222222 * std::log2(0.025 * double(hertz)));
}

float StompEnvelopeFilter::ResonanceConverter::fromNormalized(float x) const
{
    return static_cast<float>(0.3 * std::pow(8.0, 0.01875 * double(x)));
}

float StompEnvelopeFilter::ResonanceConverter::toNormalized(float resonance) const
{
    return static_cast<float>(128.0 * std::log2(3.3333333 * double(resonance)) /
                              (std::log2(8.0) * 2.4));
}

StompEnvelopeFilter::StompEnvelopeFilter(MAFInterface* dsp, std::string slotPath, Main& root,
                                         int slot)
    : StompBox(dsp, std::move(slotPath), root, slot)
{
    auto* doc = documentOf<Document::StompEnvelopeFilter>(*this);
    if (!doc)
        return;
    addParam(makePath("Freq"), &doc->freq, FreqConverter());
    addParam(makePath("Reso"), &doc->reso, ResonanceConverter());
    addParam(makePath("Depth"), &doc->depth, linearOf(doc->depth, 0.0f, 127.0f));
    static constexpr float kPoles[] = {0.0f, 1.0f};
    addParamEnum(makePath("Poles"), &doc->poleMode, kPoles, 2);
    static constexpr float kBands[] = {0.0f, 1.0f, 2.0f};
    addParamEnum(makePath("Mode"), &doc->bandMode, kBands, 3);
}

StompVolume::StompVolume(MAFInterface* dsp, std::string slotPath, Main& root, int slot)
    : StompBox(dsp, std::move(slotPath), root, slot)
{
    if (auto* doc = documentOf<Document::StompVolume>(*this)) {
        addParam(makePath("Scale"), &doc->minLevel, linearOf(doc->minLevel, 1.0f, 15.0f));
        addParam(makePath("Volume"), &doc->volume, linearOf(doc->volume, -120.0f, 0.0f));
    }
}

} // namespace Zq::BorvanRAZ::Engine
