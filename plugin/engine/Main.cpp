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

Main::~Main()
{
    ampConnection_.disconnect();
    loadConnection_.disconnect();
    for (UnitEngine*& unit : units_) {
        delete unit;
        unit = nullptr;
    }
    units_.clear();
    amp_ = nullptr;
    facade_.reset();
}

void Main::buildUnits()
{
    units_.reserve(6);
    try {
        units_.push_back(new TunerModule(dsp_, "Tuner", *this));
        units_.push_back(new StompModule(dsp_, "StompModule", *this));
        amp_ = new AmpModule(dsp_, "AmpModule", "CabModule", *this);
        units_.push_back(amp_);
        units_.push_back(new CabModule(dsp_, "CabModule", *this));
        units_.push_back(new Input(dsp_, "Input", *this));
        units_.push_back(new Output(dsp_, "Output", *this));
    } catch (...) {
        for (UnitEngine* unit : units_)
            delete unit;
        throw;
    }
    // Connected after the document's own handler and after the amp unit's
    // selector binding: the head's document exists when the new unit binds it.
    ampConnection_ =
        document_.getAmpModule().ampModel.changed.connect([this](Parameter*) { rebuildAmp(); });
    // A loaded state may carry a delay time for another tempo, and its sync
    // switches may change nothing that would recompute it: the units hear the
    // present tempo once the load is done (under the document lock, as loads
    // run).
    loadConnection_ = document_.afterLoad.connect([this] {
        for (UnitEngine* unit : units_)
            if (unit)
                unit->tempoChanged();
    });
}

void Main::rebuildAmp()
{
    // The old head's bindings go before the new unit pushes anything.
    delete amp_;
    amp_ = nullptr;
    units_[kAmpPosition] = nullptr;
    try {
        amp_ = new AmpModule(dsp_, "AmpModule", "CabModule", *this);
    } catch (const std::bad_alloc&) {
        return; // no amp bindings until the next head change
    }
    units_[kAmpPosition] = amp_;
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
        for (UnitEngine* unit : units_)
            if (unit)
                unit->tempoChanged();
    syncParameters();
}

void Main::syncParameters()
{
    for (UnitEngine* unit : units_)
        if (unit)
            unit->update();
}

} // namespace Zq::BorvanRAZ::Engine
