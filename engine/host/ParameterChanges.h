#pragma once

#include "engine/core/Module.h"

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace AudioEngine::ModuleHostDetails {

// Carries parameter changes from the control side to the graph. Changes are
// pushed under the engine facade's block lock (the facade hands over what its
// ring collected); the audio thread drains between pieces under the same lock,
// so the queue needs no lock of its own.
//
// Changes keep their parameter's name and are looked up when applied: relinking
// replaces the module set's link objects, so a pointer taken at push time could
// dangle. Names live inline in preallocated slots, so neither side allocates
// for a single change; a name too long for a slot is refused at push.
//
// How a change is applied depends on the parameter, tested in this order:
// flag 0x01 (read-only) drops it; 0x02 sets it at once; a parameter with named
// states is set only when the integer part changes; 0x04 sets at once; any
// other parameter slews across its whole range in the slew time.
class ParameterChanges {
public:
    static constexpr std::size_t kRingCapacity = 16384;
    static constexpr std::size_t kMaxNameLength = 63;
    // What empty batch slots hold.
    static constexpr std::string_view kFillName = "Gain_Volume_PanVolume_PostFxA";

    enum class Push { Queued, Batched, NameTooLong, NotANumber };

    ParameterChanges(Module* target, float slewSeconds);
    virtual ~ParameterChanges() = default;
    ParameterChanges(const ParameterChanges&) = delete;
    ParameterChanges& operator=(const ParameterChanges&) = delete;

    virtual void setResetAfterBatch(bool reset) { resetAfterBatch_ = reset; }
    virtual bool getResetAfterBatch() const { return resetAfterBatch_; }

    // Queues one change, into the batch while one is active. When the ring is
    // full the oldest pending change is lost. NaN and over-long names are refused.
    Push push(std::string_view name, float value);

    // Applies up to `passes` pending changes for a piece of `seconds`.
    void drain(std::uint32_t passes, float seconds);

    bool beginBatch();
    // Applies up to n batch entries; true once the batch is finished.
    bool applyBatch(std::uint32_t n);
    // Ends the batch; answers whether the batch list had to grow.
    bool resetBatch();
    bool isBatchActive() const noexcept { return batchActive_; }
    std::uint32_t getBatchCount() const noexcept { return batchCount_; }
    std::uint32_t getBatchCapacity() const noexcept
    {
        return static_cast<std::uint32_t>(batch_.size());
    }
    // Never below the entries already collected, never below one.
    void setBatchCapacity(std::uint32_t capacity);

    std::size_t getPendingCount() const noexcept { return count_; }
    // Changes whose name no parameter of the target carried when applied.
    std::uint64_t getUnknownCount() const noexcept { return unknown_; }
    float getSlewTime() const noexcept { return slewSeconds_; }

private:
    struct Change {
        std::array<char, kMaxNameLength + 1> name{};
        std::uint8_t length = 0;
        float value = 0.0f;

        std::string_view view() const noexcept { return {name.data(), length}; }
        void assign(std::string_view text, float v) noexcept;
    };

    enum class Outcome { Done, Pending };

    Outcome applyNext(float seconds);
    void removeFront() noexcept;
    void growBatch();

    Module* target_;
    float slewSeconds_;
    std::vector<Change> ring_;
    std::size_t head_ = 0;
    std::size_t count_ = 0;
    bool batchActive_ = false;
    bool batchGrown_ = false;
    std::uint32_t batchCount_ = 0;
    std::uint32_t batchPosition_ = 0;
    std::vector<Change> batch_;
    bool resetAfterBatch_ = true;
    std::uint64_t unknown_ = 0;
};

} // namespace AudioEngine::ModuleHostDetails
