#pragma once

#include <atomic>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace AudioEngine {

class ParameterHandler;

// A named float control of a module. Values are set on the thread that
// processes the graph and read without a lock from the control side, so every
// implementation keeps its value race-free.
class ParameterBase {
public:
    // Named states of a switch parameter, numbered in the order they were added
    // (not alphabetically); iteration is in name order.
    class States {
    public:
        States() = default;
        States(std::initializer_list<std::string> names);
        virtual ~States() = default;

        // Adds a state worth the number of states held before; a name already
        // present keeps its value. Returns the name's value.
        float add(const std::string& name);
        // The value of a state, or nothing for a name that is not a state.
        std::optional<float> find(std::string_view name) const;

        std::size_t size() const noexcept { return values_.size(); }
        bool empty() const noexcept { return values_.empty(); }
        auto begin() const noexcept { return values_.begin(); }
        auto end() const noexcept { return values_.end(); }

    private:
        std::map<std::string, float, std::less<>> values_;
    };

    ParameterBase() = default;
    ParameterBase(const ParameterBase&) = delete;
    ParameterBase& operator=(const ParameterBase&) = delete;
    virtual ~ParameterBase() = default;

    virtual void set(float value) = 0;
    virtual const std::string& getName() const = 0;
    virtual const std::string& getLabel() const = 0;
    virtual float getValue() = 0;
    virtual float getMinimum() const = 0;
    virtual float getMaximum() const = 0;
    virtual float getDefault() const = 0;
    virtual const States& getStates() const = 0;
    virtual std::uint32_t getFlags() const = 0;
};

// A parameter that holds its own value.
//
// Flags: 0x01 read-only output, 0x02 and 0x04 set at once by the change queue;
// 0x08 hold minimum and 0x10 hold maximum (0x08 wins when both are set): a hold
// parameter keeps a new value only when it beats the held one, and a read
// returns the held value and starts over from the other end of the range.
class Parameter : public ParameterBase {
public:
    struct Range {
        float minimum;
        float maximum;
        float defaultValue;
    };

    static constexpr std::uint32_t kReadOnly = 0x01;
    static constexpr std::uint32_t kSetAtOnce = 0x02;
    static constexpr std::uint32_t kSetAtOnceAfterStates = 0x04;
    static constexpr std::uint32_t kHoldMinimum = 0x08;
    static constexpr std::uint32_t kHoldMaximum = 0x10;

    Parameter(std::string name, std::string label, float minimum, float maximum, float defaultValue,
              std::uint32_t flags);
    Parameter(std::string name, std::string label, Range range, std::uint32_t flags);
    // A switch parameter over the given states, 0 .. count - 1; the default
    // state name must be one of them.
    Parameter(std::string name, std::string label, const States& states,
              std::string_view defaultState, std::uint32_t flags);
    // Takes the other parameter's current value through its getValue.
    Parameter(const Parameter& other);

    // NaN is ignored (it would poison every recursive state it reaches); other
    // values are limited to the range, infinities giving its ends.
    void set(float value) override;
    const std::string& getName() const override { return name_; }
    const std::string& getLabel() const override { return label_; }
    float getValue() override;
    float getMinimum() const override { return minimum_; }
    float getMaximum() const override { return maximum_; }
    float getDefault() const override { return default_; }
    const States& getStates() const override { return states_; }
    std::uint32_t getFlags() const override { return flags_; }

    // x limited to [minimum, maximum], exactly; infinities give the range's ends.
    static float clamp(float x, float minimum, float maximum) noexcept;

private:
    std::string name_;
    std::string label_;
    float minimum_;
    float maximum_;
    float default_;
    States states_;
    std::uint32_t flags_;
    std::atomic<float> value_;
};

// Stands for a parameter of a sub-module. Setting it goes through the
// sub-module's own setParameter, so the sub-module's reaction runs.
class ParameterLinked : public ParameterBase {
public:
    ParameterLinked(ParameterHandler* module, std::string targetName, std::string name,
                    std::string label);
    // Name and label taken from the target.
    ParameterLinked(ParameterHandler* module, std::string targetName);

    void set(float value) override;
    const std::string& getName() const override { return name_; }
    const std::string& getLabel() const override { return label_; }
    float getValue() override;
    float getMinimum() const override;
    float getMaximum() const override;
    float getDefault() const override;
    const States& getStates() const override;
    std::uint32_t getFlags() const override;

    // Points the link at the parameter of the same target name in a module
    // (the same one again after its structure changed, or another one).
    virtual void relink(ParameterHandler* module);

    // Reports its own range and default instead of the target's.
    void setOverride(float minimum, float maximum, float defaultValue);

    ParameterHandler* getModule() const noexcept { return module_.load(std::memory_order_acquire); }
    ParameterBase* getTarget() const noexcept { return target_.load(std::memory_order_acquire); }
    const std::string& getTargetName() const noexcept { return targetName_; }

    // prefix + "_" + name. Composites compose parameter-first: parameter P of the
    // sub-module C is exposed as composeName(P, C) = "P_C".
    static std::string composeName(std::string_view prefix, std::string_view name);

private:
    // Re-pointed on the audio thread by a relink while the control side may
    // read through the link without a lock.
    std::atomic<ParameterHandler*> module_;
    std::atomic<ParameterBase*> target_;
    std::string targetName_;
    std::string name_;
    std::string label_;
    float minimum_ = 0.0f;
    float maximum_ = 0.0f;
    float default_ = 0.0f;
    bool override_ = false;
};

// One name over several identical modules (a stereo pair): setting sets every
// module; every other answer is the first module's.
class ParameterMultiLink : public virtual ParameterBase {
public:
    ParameterMultiLink(std::string name, std::vector<ParameterHandler*> modules);

    void set(float value) override;
    const std::string& getName() const override { return reportedName_; }
    const std::string& getLabel() const override;
    float getValue() override;
    float getMinimum() const override;
    float getMaximum() const override;
    float getDefault() const override;
    const States& getStates() const override;
    std::uint32_t getFlags() const override;

private:
    ParameterBase& first() const;

    std::string name_;
    std::vector<ParameterHandler*> modules_;
    std::string reportedName_;
};

} // namespace AudioEngine
