#include "plugin/engine/Main.h"

#include "plugin/rig/Rig.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace Zq::BorvanRAZ::Engine {

using Application::DocView::MAFInterface;
using Application::DocView::Parameter;

Main::Main(Document::Rig& document)
    : document_(document), facade_(std::make_unique<EngineFacade>(document)), dsp_(facade_.get())
{
    buildUnits();
}

Main::Main(Document::Rig& document, MAFInterface& dsp) : document_(document), dsp_(&dsp)
{
    buildUnits();
}

// The connections go first, then the units, then the facade they bind to.
Main::~Main() = default;

void Main::buildUnits()
{
    // Should a unit fail to build, the units built so far go with the
    // half-built engine: nothing stays bound to the document.
    units_.reserve(6);
    units_.push_back(std::make_unique<TunerModule>(dsp_, "Tuner", *this));
    units_.push_back(std::make_unique<StompModule>(dsp_, "StompModule", *this));
    units_.push_back(std::make_unique<AmpModule>(dsp_, "AmpModule", "CabModule", *this));
    units_.push_back(std::make_unique<CabModule>(dsp_, "CabModule", *this));
    units_.push_back(std::make_unique<Input>(dsp_, "Input", *this));
    units_.push_back(std::make_unique<Output>(dsp_, "Output", *this));
    // Connected after the document's own handler and after the amp unit's
    // selector binding: the head's document exists when the new unit binds it.
    ampConnection_ =
        document_.getAmpModule().ampModel.changed.connect([this](Parameter*) { rebuildAmp(); });
    // A loaded state may carry a delay time for another tempo, and its sync
    // switches may change nothing that would recompute it: the units hear the
    // present tempo once the load is done (under the document lock, as loads
    // run).
    loadConnection_ = document_.afterLoad.connect([this] {
        for (const auto& unit : units_)
            unit->tempoChanged();
    });
}

AmpModule* Main::getAmpUnit() const noexcept
{
    return static_cast<AmpModule*>(units_[kAmpPosition].get());
}

void Main::rebuildAmp()
{
    // The old head's bindings go before the new unit pushes anything; the old
    // unit itself stays in place until its successor stands, so a head that
    // runs out of memory leaves a unit bound to nothing but its run state
    // until the next head change.
    std::unique_ptr<UnitEngine>& slot = units_[kAmpPosition];
    slot->releaseBindings();
    try {
        slot = std::make_unique<AmpModule>(dsp_, "AmpModule", "CabModule", *this);
    } catch (const std::bad_alloc&) {
    }
}

void Main::setTempo(float bpm) noexcept
{
    // A NaN would make every block a change, and a negative or infinite tempo
    // a nonsense delay: all of them count as no tempo.
    if (!std::isfinite(bpm) || bpm < 0.0f)
        bpm = 0.0f;
    if (bpm == tempo_.load(std::memory_order_relaxed))
        return;
    tempo_.store(bpm, std::memory_order_relaxed);
    tempoPending_.store(true, std::memory_order_relaxed);
}

bool Main::setSampleRate(float rate)
{
    return facade_ ? facade_->setSampleRate(rate) : false;
}

void Main::process(const float* const* inputs, float* const* outputs, std::int32_t frames)
{
    if (frames <= 0)
        return;
    if (facade_) {
        facade_->process(inputs, outputs, static_cast<std::uint32_t>(frames));
    } else if (outputs) {
        for (int k = 0; k < 2; ++k)
            if (outputs[k])
                std::fill_n(outputs[k], frames, 0.0f);
    }

    // The facade lock is released by now: never wait for the document here.
    platform::ScopedTryEnter documentLock(*document_.getLock());
    if (!documentLock)
        return; // the read-backs and any tempo change wait for a later block
    if (tempoPending_.exchange(false, std::memory_order_relaxed))
        for (const auto& unit : units_)
            unit->tempoChanged();
    syncParameters();
}

void Main::syncParameters()
{
    for (const auto& unit : units_)
        unit->update();
}

} // namespace Zq::BorvanRAZ::Engine
