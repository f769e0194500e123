#pragma once

#include "plugin/docview/UnitView.h"
#include "plugin/engine/ChainUnits.h"
#include "plugin/engine/EngineFacade.h"
#include "plugin/engine/StompUnits.h"

#include <boost/signals2/connection.hpp>

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

namespace Zq::BorvanRAZ::Document {
class Rig;
}

namespace Zq::BorvanRAZ::Engine {

// The engine of one processor: the facade with the DSP graph, and the engine
// units that bind the rig document to it, in this order: "Tuner",
// "StompModule", "AmpModule", "CabModule", "Input", "Output".
//
// Build it after the document: the document's own handlers on a signal (the
// amp head's and the stomp slots' model documents) then run before the
// engine's, so the engine always binds the model document just made.
//
// Threads and locks. setTempo and process run on the audio thread. process
// holds the facade lock for the graph's block only, then tries the document
// lock without waiting; when it gets it, it delivers a tempo change to the
// units and copies the DSP's read-backs into the document. The host tempo
// thus reaches the units, and through the analog delay the document, only
// under the document lock. Everything else runs on control threads holding
// the document lock (document before facade).
class Main : public Application::DocView::UnitView {
public:
    // The engine of the document over its own facade and graph.
    explicit Main(Document::Rig& document);
    // The units over the given DSP interface and no graph of their own:
    // process renders silence. For tests and tools.
    Main(Document::Rig& document, Application::DocView::MAFInterface& dsp);
    ~Main() override;
    Main(const Main&) = delete;
    Main& operator=(const Main&) = delete;

    // Audio thread, before process. Stores the host tempo; a tempo that is not
    // finite, or is negative, counts as 0. A change is delivered to the units
    // by the next block that gets the document lock, once however often it
    // changed in between.
    void setTempo(float bpm) noexcept;
    // Beats per minute; 0 until a block brings another tempo. Any thread.
    float currentTempo() const noexcept { return tempo_.load(std::memory_order_relaxed); }

    // Control thread. False for a rate that is not a positive finite number.
    bool setSampleRate(float rate);

    // Audio thread: one mono input, two outputs, any number of frames.
    void process(const float* const* inputs, float* const* outputs, std::int32_t frames);

    // Every unit's read-backs, in list order. The caller holds the document lock.
    void syncParameters();

    Document::Rig& getDocument() const noexcept { return document_; }
    // Null for an engine over a given DSP interface.
    EngineFacade* getFacade() const noexcept { return facade_.get(); }
    Application::DocView::MAFInterface* getMAFInterface() const noexcept { return dsp_; }
    // The six units, none of them null.
    const std::vector<std::unique_ptr<UnitEngine>>& getUnits() const noexcept { return units_; }
    AmpModule* getAmpUnit() const noexcept;

private:
    static constexpr std::size_t kAmpPosition = 2;

    void buildUnits();
    void rebuildAmp();

    Document::Rig& document_;
    std::unique_ptr<EngineFacade> facade_;
    Application::DocView::MAFInterface* dsp_;
    std::vector<std::unique_ptr<UnitEngine>> units_;
    std::atomic<float> tempo_{0.0f};
    std::atomic<bool> tempoPending_{false};
    boost::signals2::scoped_connection ampConnection_;
    boost::signals2::scoped_connection loadConnection_;
};

} // namespace Zq::BorvanRAZ::Engine
