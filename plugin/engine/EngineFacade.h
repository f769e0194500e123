#pragma once

#include "engine/host/ModuleHost.h"
#include "plugin/document/Main.h"
#include "plugin/docview/MAFInterface.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

namespace Zq::BorvanRAZ::Engine {

class ModuleHostBorvanQom;

// The only door between the control side and the rig's DSP graph. It owns the
// module host (built from ChainStructure with the rig's module creators).
//
// Changes from the control side never wait for the audio thread: they go into
// a ring of fixed capacity that the audio thread empties into the host's
// change queue at the start of every block, in the order they were made. Only
// a ring filled to the brim (thousands of changes with no block running to
// empty it) makes the writer hand the ring over itself under the block lock.
//
// Locks, outermost first:
//   the writers' lock: one control thread at a time fills the ring;
//   the block lock: held by the audio thread for a whole block, by a rate
//     change, and by a writer handing a full ring over;
//   the graph lock: guards the graph's parameter tables, which change only
//     when queued changes are applied (a model switch relinks them). The
//     audio thread only tries it, before each application of changes, and
//     defers the changes to the next piece when a lookup holds it; a
//     named-value lookup holds it for the lookup alone.
// Control callers may hold the document lock (document before these);
// nothing here ever waits for the document lock.
class EngineFacade : public Application::DocView::MAFInterface {
public:
    // Changes the ring holds between two blocks.
    static constexpr std::size_t kRingCapacity = 8192;

    explicit EngineFacade(Document::Main& document);
    ~EngineFacade() override;
    EngineFacade(const EngineFacade&) = delete;
    EngineFacade& operator=(const EngineFacade&) = delete;

    // Looks the number up (under the graph lock), then queues it. An unknown
    // path or name queues 0, which the queue drops for an unknown path.
    void setParameterByName(const std::string& path, const std::string& valueName) override;
    // Queued for the audio thread, which applies it between pieces. A path
    // longer than the change queue's names is dropped, as the queue would.
    void setParameter(const std::string& path, float value) override;
    // No lock: meant for the audio thread (the read-backs after a block), or
    // for a caller that knows no block is running. 0 for an unknown path.
    float getParameter(const std::string& path) override;
    // The number of a named state of the parameter at path; 0 for a path or a
    // name the graph does not know, and nothing is created for either.
    float lookupNamedValue(const std::string& path, const std::string& valueName) override;

    // The cabinet's impedance-curve switch for an amp model: 1 for exactly
    // "V9E", 0 for anything else. The path is not used; no lock.
    float getImpedanceSwitch(const std::string& path, const std::string& ampModel) const;
    static float impedanceSwitch(const std::string& ampModel) noexcept;

    // Control thread. A rate that is not a positive finite number is refused.
    bool setSampleRate(float rate);

    // Audio thread: one mono input, two outputs (the output may be the input).
    // Empties the ring into the change queue first.
    void process(const float* const* inputs, float* const* outputs, std::uint32_t frames);

    // Changes in the ring, not yet handed to the change queue. Any thread.
    std::size_t getRingCount() const noexcept;
    // Moves what the ring holds into the change queue now, under the block
    // lock: for tests and tools that look at the queue without running a block.
    void flushRing();

    // For the engine's tests and tools: the host behind the door. Its
    // operations follow the locking rules above.
    AudioEngine::ModuleHostBase& getModuleHost() noexcept;
    Document::Main::EngineChannel* getEngineChannel() const noexcept { return engineChannel_; }

private:
    struct Change {
        std::array<char, AudioEngine::ModuleHostDetails::ParameterChanges::kMaxNameLength + 1> name;
        std::uint8_t length;
        float value;
    };

    // Writers' lock held. False when the ring is full.
    bool ringPush(std::string_view path, float value) noexcept;
    // Block lock held: the ring's one reader at a time.
    void ringDrain() noexcept;

    std::unique_ptr<ModuleHostBorvanQom> host_;
    std::mutex writeLock_;
    std::mutex blockLock_;
    std::mutex graphLock_;
    std::unique_ptr<Change[]> ring_;
    // Written by the writer (tail) and the reader (head) only; each reads the
    // other's with acquire.
    std::atomic<std::size_t> ringHead_{0};
    std::atomic<std::size_t> ringTail_{0};
    // Kept for the document's sake; the facade's own operations never use it.
    Document::Main::EngineChannel* engineChannel_;
};

} // namespace Zq::BorvanRAZ::Engine
