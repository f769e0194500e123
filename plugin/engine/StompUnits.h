#pragma once

#include "plugin/docview/Converter.h"
#include "plugin/engine/UnitEngine.h"

#include <array>
#include <memory>
#include <string>

namespace Zq::BorvanRAZ::Engine {

// The six-slot stomp chain: each slot's model selector by model name, and one
// stomp unit for each occupied slot, rebuilt whenever the slot's model changes.
class StompModule : public MacroModule {
public:
    static constexpr int kSlotCount = 6;
    // The engine's names of the models, by the document's selector number;
    // the chain's selector gives each name a number of its own.
    static constexpr int kModelCount = 9;
    static constexpr const char* kModelNames[kModelCount] = {
        "Empty",   "Overdrive",  "Octaver",        "AnalogChorus", "AnalogDelay",
        "BassWah", "Compressor", "EnvelopeFilter", "Volume"};

    StompModule(Application::DocView::MAFInterface* dsp, std::string path, Main& root);
    ~StompModule() override;

    // Tells every occupied slot, slot 0 first.
    void tempoChanged() override;

    // Null for an empty slot or a slot number outside 0 ... 5.
    StompBox* getSlotUnit(int slot) const;

private:
    void onSlotChanged(int slot);

    std::array<std::unique_ptr<StompBox>, kSlotCount> slots_;
    std::array<boost::signals2::scoped_connection, kSlotCount> slotConnections_;
};

class StompOverdrive : public StompBox {
public:
    StompOverdrive(Application::DocView::MAFInterface* dsp, std::string slotPath, Main& root,
                   int slot);
};

class StompOctaver : public StompBox {
public:
    StompOctaver(Application::DocView::MAFInterface* dsp, std::string slotPath, Main& root,
                 int slot);
};

// The analog chorus.
class StompRI1 : public StompBox {
public:
    StompRI1(Application::DocView::MAFInterface* dsp, std::string slotPath, Main& root, int slot);
};

// The analog delay. With the document's "BPM" on, its delay follows the host
// tempo in the note value "DelayBPM".
class StompMemoryMan : public StompBox {
public:
    StompMemoryMan(Application::DocView::MAFInterface* dsp, std::string slotPath, Main& root,
                   int slot);
    ~StompMemoryMan() override;

    void tempoChanged() override;

    // Beats of the note value k ("DelayBPM"); 0 for a number outside the list.
    static double beatsOf(int k) noexcept;

private:
    boost::signals2::scoped_connection noteConnection_;
    boost::signals2::scoped_connection syncConnection_;
};

class StompWah : public StompBox {
public:
    StompWah(Application::DocView::MAFInterface* dsp, std::string slotPath, Main& root, int slot);
};

// The compressor.
class StompDynaComp : public StompBox {
public:
    StompDynaComp(Application::DocView::MAFInterface* dsp, std::string slotPath, Main& root,
                  int slot);
};

class StompEnvelopeFilter : public StompBox {
public:
    // The filter's own scales: frequency in hertz onto 0 ... 127 (40 Hz at 0,
    // 1/0.0703125 steps per octave) and resonance onto 0 ... 127 (0.3 at 0, a
    // factor 8 per 1/0.01875 steps). They belong to this unit alone: the
    // document's knob laws of the same names are other formulas.
    class FreqConverter final : public Application::DocView::Converter {
    public:
        std::unique_ptr<Converter> clone() const override
        {
            return std::make_unique<FreqConverter>();
        }
        float fromNormalized(float x) const override;
        float toNormalized(float hertz) const override;
    };
    class ResonanceConverter final : public Application::DocView::Converter {
    public:
        std::unique_ptr<Converter> clone() const override
        {
            return std::make_unique<ResonanceConverter>();
        }
        float fromNormalized(float x) const override;
        float toNormalized(float resonance) const override;
    };

    StompEnvelopeFilter(Application::DocView::MAFInterface* dsp, std::string slotPath, Main& root,
                        int slot);
};

class StompVolume : public StompBox {
public:
    StompVolume(Application::DocView::MAFInterface* dsp, std::string slotPath, Main& root,
                int slot);
};

} // namespace Zq::BorvanRAZ::Engine
