#pragma once

#include "engine/core/EnvironmentBorvanQom.h"
#include "engine/host/ModuleSet.h"
#include "engine/host/ParameterChanges.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

namespace AudioEngine {

// The root of the rig's graph and the only way audio enters and leaves it. It
// owns the module set and the parameter change queue, cuts host blocks into
// pieces (see EnvironmentHost), drains queued changes before every piece, and
// can surround a batch of graph changes with a fade-out, a pause while the
// batch is applied, a flush on silence and a fade-in.
//
// Threads: processHost, push (through getParameterChanges) and setSampleRate
// run under the engine facade's block lock. The parameter tables change only
// while queued changes are applied (a model switch relinks them); a change
// lock, when one is set, guards those moments: the audio thread only tries it
// and leaves the changes for the next piece when another thread holds it, so
// that thread may read the tables (getParameterStates, named values) under it
// while blocks run. readValue takes no lock: call it on the audio thread or
// with no block running.
class ModuleHostBase : public Zq::BorvanRAZ::Engine::EnvironmentBorvanQom {
public:
    enum State : std::int32_t {
        Running = 0,
        FadingOut = 1,
        Applying = 2,
        Flushing = 3,
        FadingIn = 4
    };

    static constexpr float kSlewSeconds = 0.1f;
    static constexpr std::uint32_t kChangesPerPiece = 1024;
    static constexpr float kFadeSeconds = 0.02f;
    static constexpr float kFlushSeconds = 0.02f;
    // A batch applied while the graph stands still is spread over this time.
    static constexpr float kBatchSeconds = 0.01f;

    ~ModuleHostBase() override;

    std::int32_t getState() const override { return state_; }
    void setState(std::int32_t state) override { state_ = state; }
    void structureChanged() override {}
    void processChunk() override;
    void processHost(const float* const* inputs, float* const* outputs,
                     std::uint32_t frames) override;
    std::uint32_t getInputCount() const override;
    std::uint32_t getOutputCount() const override;
    const float* getOutputBuffer(std::uint32_t index) const override;

    // Lookups that must succeed; they return the name found (UnknownName otherwise).
    const std::string& findInput(std::string_view name) const;
    const std::string& findOutput(std::string_view name) const;
    const std::string& findDataBlock(std::string_view name) const;
    const std::string& findParameter(std::string_view name) const;

    bool isBusy() const noexcept;
    bool beginChangeBatch();
    bool startApplyingChanges();
    bool finishApplyingChanges();
    void setBatchCapacity(std::uint32_t capacity) { changes_.setBatchCapacity(capacity); }
    std::uint32_t getBatchCapacity() const { return changes_.getBatchCapacity(); }
    void setFadeOnChanges(bool fade) { fadeOnChanges_ = fade; }
    bool getFadeOnChanges() const { return fadeOnChanges_; }
    void setResetAfterBatch(bool reset) { changes_.setResetAfterBatch(reset); }
    bool getResetAfterBatch() const { return changes_.getResetAfterBatch(); }

    float getParameterMin(std::string_view name) const;
    float getParameterMax(std::string_view name) const;
    float getParameterDefault(std::string_view name) const;
    // The named states of a parameter; empty (and nothing inserted) for a name
    // that is not one.
    std::map<std::string, float> getParameterStates(std::string_view name) const;
    void describe(std::ostream& stream, const std::string& prefix) const;
    void drainChanges(float seconds) { changes_.drain(kChangesPerPiece, seconds); }
    // The lock described above; null (the default) applies changes unguarded.
    void setChangeLock(std::mutex* lock) noexcept { changeLock_ = lock; }

    // Writes the rate, then lets every module recompute what depends on it.
    // A rate that is not a positive finite number is refused (false).
    bool setSampleRate(float rate);
    // A parameter's current value without the lock (see the class comment);
    // 0 for a name that is not a parameter.
    float readValue(std::string_view name) const;

    ModuleHostDetails::ParameterChanges& getParameterChanges() noexcept { return changes_; }
    ModuleSetBase& getModuleSet() noexcept { return *set_; }

protected:
    // Builds the set, then sets it up.
    ModuleHostBase(ModuleSetDescription description, std::unique_ptr<ModuleSetBase> set);

    // Binds the host outputs to the set's inputs and brings the graph up.
    // Refuses a chain of more than four inputs or outputs.
    void setUp();

private:
    // Runs apply under the change lock when it is free at once (or there is
    // none); false when another thread held it and nothing ran.
    template <class Apply> bool applyChanges(Apply&& apply);

    void fade(float* const* outputs, std::uint32_t frames, float& gain, float step);

    std::unique_ptr<ModuleSetBase> set_;
    ModuleHostDetails::ParameterChanges changes_;
    float fadeOutGain_ = 1.0f;
    float fadeOutStep_ = 0.0f;
    float fadeInGain_ = 0.0f;
    float flushTimer_ = 0.0f;
    std::int32_t state_ = Running;
    bool fadeOnChanges_ = true;
    std::mutex* changeLock_ = nullptr;
};

// A module host over a creator table: Traits::Creators names the table.
template <class Traits> class ModuleHost : public ModuleHostBase {
public:
    explicit ModuleHost(ModuleSetDescription description)
        : ModuleHostBase(std::move(description),
                         std::make_unique<ModuleSet<typename Traits::Creators>>())
    {
    }
};

} // namespace AudioEngine
