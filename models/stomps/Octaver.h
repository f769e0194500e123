#pragma once

#include "engine/core/ModuleStructured.h"
#include "models/stomps/OctaverTraits.h"

#include <string>

namespace AudioEngine::BorvanQom {

// The analog octave divider as a graph of sixteen sub-modules, processed in
// the order they are created; every source comes before its readers, so the
// model adds no delay:
//
//   In -> Level ------------------------------------------------+
//   In -> FilterOpAmp -> FilterPreLP -> FilterRectPre -> EnvPos  |
//                                    |                -> EnvNeg  |
//                                    -> FilterRef                |
//   CompSet = FilterRef > EnvPos,  CompReset = EnvNeg > FilterRef |
//   Latch(CompSet, CompReset).OutNotQ -> Divider -> Ring.InCtrl   |
//   FilterOpAmp -> Ring -> OctaveLP1 -> OctaveLP2 -> OctaveLevel -+-> MixerOut -> Out
//
// so Out = Level In + OctaveLevel LP2(LP1(g OpAmp(In))), where g is +1 while
// the divider is low and -10 while it is high: switching the gain at half
// the played frequency puts energy an octave down. "Latch"."OutQ" has no reader.
// prepare redesigns every filter for the rate without clearing it and puts
// the followers, the latch and the divider back at rest; reset clears the
// filters' states only.
template <class Traits> class Octaver : public ModuleStructured {
public:
    Octaver() : ModuleStructured(ModuleInfo{0, "Octaver", ""}) {}

    void createSubModules() override
    {
        level_ = addSubModule<typename Traits::Level>("Level");
        opAmp_ = addSubModule<typename Traits::FilterOpAmp>("FilterOpAmp");
        preLP_ = addSubModule<typename Traits::FilterPreLP>("FilterPreLP");
        rectPre_ = addSubModule<typename Traits::FilterRectPre>("FilterRectPre");
        ref_ = addSubModule<typename Traits::FilterRef>("FilterRef");
        envPos_ = addSubModule<typename Traits::EnvPos>("EnvPos");
        envNeg_ = addSubModule<typename Traits::EnvNeg>("EnvNeg");
        compSet_ = addSubModule<typename Traits::Comparator>("CompSet");
        compReset_ = addSubModule<typename Traits::Comparator>("CompReset");
        latch_ = addSubModule<typename Traits::Latch>("Latch");
        divider_ = addSubModule<typename Traits::Divider>("Divider");
        ring_ = addSubModule<typename Traits::Ring>("Ring");
        octaveLP1_ = addSubModule<typename Traits::OctaveLP1>("OctaveLP1");
        octaveLP2_ = addSubModule<typename Traits::OctaveLP2>("OctaveLP2");
        octaveLevel_ = addSubModule<typename Traits::Level>("OctaveLevel");
        mixer_ = addSubModule<typename Traits::Mixer>("MixerOut");
    }

    // The two levels, each standing for the "Gain" of its stage.
    void createParameters() override
    {
        parameters_.insert("Level", std::make_unique<ParameterLinked>(level_, "Gain", "Level", ""));
        parameters_.insert("OctaveLevel", std::make_unique<ParameterLinked>(octaveLevel_, "Gain",
                                                                            "OctaveLevel", ""));
    }

    void createInputs() override { inputs_.addInput(Input("In", ""), "In"); }

    void createOutputs() override
    {
        outputs_.addHierarchicOutput(Port("Out", "", &mixer_->getOutput("Out")), "Out");
    }

    void connectSubModules() override
    {
        Port* in = &getInput("In");
        connectInput(*level_, "In", in);
        connectInput(*opAmp_, "In", in);
        connectInput(*preLP_, "In", &opAmp_->getOutput("Out"));
        connectInput(*rectPre_, "In", &preLP_->getOutput("Out"));
        connectInput(*ref_, "In", &preLP_->getOutput("Out"));
        connectInput(*envPos_, "In", &rectPre_->getOutput("Out"));
        connectInput(*envNeg_, "In", &rectPre_->getOutput("Out"));
        connectInput(*compSet_, "In1", &ref_->getOutput("Out"));
        connectInput(*compSet_, "In2", &envPos_->getOutput("Out"));
        connectInput(*compReset_, "In2", &ref_->getOutput("Out"));
        connectInput(*compReset_, "In1", &envNeg_->getOutput("Out"));
        connectInput(*latch_, "InSet", &compSet_->getOutput("Out"));
        connectInput(*latch_, "InReset", &compReset_->getOutput("Out"));
        connectInput(*divider_, "In", &latch_->getOutput("OutNotQ"));
        connectInput(*ring_, "In", &opAmp_->getOutput("Out"));
        connectInput(*ring_, "InCtrl", &divider_->getOutput("Out"));
        connectInput(*octaveLP1_, "In", &ring_->getOutput("Out"));
        connectInput(*octaveLP2_, "In", &octaveLP1_->getOutput("Out"));
        connectInput(*octaveLevel_, "In", &octaveLP2_->getOutput("Out"));
        connectInput(*mixer_, "In1", &level_->getOutput("Out"));
        connectInput(*mixer_, "In2", &octaveLevel_->getOutput("Out"));
    }

    // Several stages read one source after another has run ("In" feeds both
    // "Level" and "FilterOpAmp"): no stage may write over its input.
    std::int32_t getOutputPolicy(const Module*) const override { return 0; }

    // Every sub-module's own preparation: the filters are redesigned for the
    // current rate and keep their states; the followers' envelopes go to 0,
    // the latch to Q = -1, not-Q = +1, the divider to 0.
    void prepare() override
    {
        for (const auto& entry : subModules_)
            entry.module->prepare();
    }

    typename Traits::EnvPos& getEnvPos() const noexcept { return *envPos_; }
    typename Traits::EnvNeg& getEnvNeg() const noexcept { return *envNeg_; }
    typename Traits::Latch& getLatch() const noexcept { return *latch_; }
    typename Traits::Divider& getDivider() const noexcept { return *divider_; }

private:
    typename Traits::Level* level_ = nullptr;
    typename Traits::FilterOpAmp* opAmp_ = nullptr;
    typename Traits::FilterPreLP* preLP_ = nullptr;
    typename Traits::FilterRectPre* rectPre_ = nullptr;
    typename Traits::FilterRef* ref_ = nullptr;
    typename Traits::EnvPos* envPos_ = nullptr;
    typename Traits::EnvNeg* envNeg_ = nullptr;
    typename Traits::Comparator* compSet_ = nullptr;
    typename Traits::Comparator* compReset_ = nullptr;
    typename Traits::Latch* latch_ = nullptr;
    typename Traits::Divider* divider_ = nullptr;
    typename Traits::Ring* ring_ = nullptr;
    typename Traits::OctaveLP1* octaveLP1_ = nullptr;
    typename Traits::OctaveLP2* octaveLP2_ = nullptr;
    typename Traits::Level* octaveLevel_ = nullptr;
    typename Traits::Mixer* mixer_ = nullptr;
};

} // namespace AudioEngine::BorvanQom
