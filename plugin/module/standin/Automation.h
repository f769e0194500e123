#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace Zq::BorvanRAZ::StandIn {

// Stands in for the host-automation manager until it exists. It starts with no
// parameters; a test may add plain ones (plain value = normalised value) to
// drive the processor's parameter entries. Any call with an index outside its
// list is counted: the processor must never make one.
class Automation {
public:
    std::int32_t getNumParameters() const;
    std::string getParameterName(std::int32_t index) const;
    std::string getParameterDisplay(std::int32_t index) const;
    float getParameterValue(std::int32_t index) const;
    float getParameterNormalized(std::int32_t index) const;
    void setParameterValue(std::int32_t index, float plain);
    void setParameterNormalized(std::int32_t index, float normalized);
    std::string getParameterTextForNormalized(std::int32_t index, float normalized) const;
    float convertNormalizedToPlain(std::int32_t index, float normalized) const;

    void addParameter(const std::string& name, float value);
    std::int64_t getOutOfRangeCalls() const noexcept { return outOfRange_.load(); }

private:
    struct Parameter {
        std::string name;
        float value;
    };
    bool known(std::int32_t index) const; // call with the mutex held

    mutable std::mutex mutex_;
    std::vector<Parameter> parameters_;
    mutable std::atomic<std::int64_t> outOfRange_{0};
};

} // namespace Zq::BorvanRAZ::StandIn
