#pragma once

// The plug-in module as a host meets it, in process: the tables that
// DUZ2Acquire of the linked core hands out, a host whose tempo any thread may
// change, and the checks every state must pass.

#include "plugin/DUZ2.h"
#include "tests/support/Signals.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

namespace Zq::BorvanRAZ {
class Process;
}

namespace test {

// Thread-safe: the audio thread asks the tempo, any thread reports changes.
class StressHost : public Zq::DUZ2::Host {
public:
    float getTempo() override { return tempo.load(std::memory_order_relaxed); }
    void onParameterChanged(std::int32_t index, float plain, float normalized) override;

    std::atomic<float> tempo{120.0f};
    std::atomic<long> changes{0};
    // Reports with an index outside the list or a value that is not finite.
    std::atomic<long> badChanges{0};
};

// One use of the module: acquired on construction, released on destruction.
class ModuleUse {
public:
    ModuleUse();
    ~ModuleUse();
    ModuleUse(const ModuleUse&) = delete;
    ModuleUse& operator=(const ModuleUse&) = delete;

    Zq::DUZ2::ProcessTable* create(Zq::DUZ2::HostTable* host);
    void destroy(Zq::DUZ2::ProcessTable* process);
    Zq::DUZ2::PlugInTable* table() const { return plugIn_; }

private:
    Zq::DUZ2::PlugInTable* plugIn_ = nullptr;
};

// The processor behind a table, for what no table entry reaches (the tuner
// switch).
Zq::BorvanRAZ::Process& processorOf(Zq::DUZ2::ProcessTable* table);

inline constexpr int kParameterCount = 107;

// A copy of the processor's chunk (releaseChunk called).
std::string chunkOf(Zq::DUZ2::ProcessTable* process);
void loadChunk(Zq::DUZ2::ProcessTable* process, const std::string& text);

// A chunk of a fresh processor.
std::string freshChunk();
// Every stomp slot filled (six models), the RKM-4 PRO head, ambience on, each
// control away from its default.
const std::string& fullRigChunk();
// Chunks that switch stomp slots (empty, analog delay, compressor, one model
// in two slots) and heads.
const std::vector<std::string>& switchingChunks();

// Every host parameter's value, normalised value and display, read through
// the table, is finite and inside its range; count, names and texts intact.
void expectParametersInRange(Zq::DUZ2::ProcessTable* process);
// The chunk parses, holds finite numbers only, and a fresh document that
// loads it saves it unchanged (every value already inside its range, every
// name known).
void expectChunkInRange(const std::string& chunk);

// Fails the run (and ends the process: a stuck thread cannot be joined) when
// the progress count stays the same for the given time.
class Watchdog {
public:
    explicit Watchdog(const std::atomic<long>& progress,
                      std::chrono::seconds limit = std::chrono::seconds(10));
    ~Watchdog();
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    std::atomic<bool> done_{false};
    std::thread thread_;
};

bool allFinite(const float* samples, int frames);

} // namespace test
