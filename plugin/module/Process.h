#pragma once

#include "plugin/DUZ2.h"
#include "plugin/automation/Main.h"
#include "plugin/engine/Main.h"
#include "plugin/rig/Rig.h"

#include <atomic>
#include <cstdint>
#include <memory>

namespace Zq::BorvanRAZ {

inline constexpr const char* kProductName = "BorvanQom";
inline constexpr const char* kVendorName = "Zq Sonware Production";

// One running instance of the rig for one host: what a ProcessTable leads to.
// It owns its document (the rig), the engine built on it and the
// host-automation manager, folds the host's channels to the engine's one input
// and two outputs, and carries the whole state as a chunk.
//
// Built in this order: document, engine (whose units bind the document), the
// automation manager (whose units bind the document too), then the manager's
// one connection of the current amp head. Torn down so that nothing can reach
// what is already gone: the chunk buffer, then the automation worker is
// stopped (it drains what the host queued and is joined), then the engine,
// the manager, the document and last the work buffers.
class Process final : public DUZ2::Process {
public:
    // Work buffers exist from construction, so a block before any
    // setBlockSize has room; setBlockSize resizes them.
    static constexpr std::int32_t kInitialBufferFrames = 1024;
    // A host's block size beyond this gets buffers of this size: longer blocks
    // run in pieces anyway, and a nonsense size must not take the memory.
    static constexpr std::int32_t kMaxBufferFrames = 65536;

    explicit Process(DUZ2::HostTable* host);
    ~Process() override;

    const char* getName() override { return kProductName; }
    const char* getVendor() override { return kVendorName; }
    std::int32_t getFlags() override { return 0; }
    std::int32_t getNumInputs() override { return 2; }
    std::int32_t getNumOutputs() override { return 2; }
    void setNumInputChannels(std::int32_t count) override { inputChannels_ = count; }
    void setNumOutputChannels(std::int32_t count) override { outputChannels_ = count; }
    void resume() override {}
    void suspend() override {}
    // Control thread, never during process. Sizes of 0 or less keep the buffers.
    void setBlockSize(std::int32_t frames) override;
    // Control thread. A rate that is not a finite positive number is ignored.
    void setSampleRate(float hertz) override;
    void startProcess() override {}
    void stopProcess() override {}
    void processMidiEvents(DUZ2::MidiEvent*, std::int32_t) override {}
    // Audio thread; any number of frames, no allocation.
    void processInPlace(float** channels, std::int32_t frames, std::int32_t* flags) override;
    void process(float** inputs, float** outputs, std::int32_t frames,
                 std::int32_t* flags) override;

    // Either thread. An index outside 0 .. getNumParameters() - 1 reads "" or
    // 0 and writes nothing.
    std::int32_t getNumParameters() override;
    const char* getParameterName(std::int32_t index) override;
    const char* getParameterDisplay(std::int32_t index) override;
    float getParameterValue(std::int32_t index) override;
    float getParameterNormalized(std::int32_t index) override;
    void setParameterValue(std::int32_t index, float plain) override;
    void setParameterNormalized(std::int32_t index, float normalized) override;
    const char* getParameterTextForNormalized(std::int32_t index, float normalized) override;
    float convertNormalizedToPlain(std::int32_t index, float normalized) override;

    // The largest state chunk loaded; a state is a few kilobytes.
    static constexpr std::int32_t kMaxChunkBytes = 1 << 20;

    // Control thread. Reads at most size bytes (a chunk has no terminating
    // zero); null, a size of 0 or less, or one over kMaxChunkBytes changes
    // nothing. The whole load runs
    // under the document lock: it replaces stomp and amp model documents, and
    // through the engine's slot handlers engine units and their adapters,
    // which the audio thread's read-backs and the automation worker use.
    void setChunk(const void* data, std::int32_t size) override;
    // The size counts no terminating zero; the buffer is the processor's until
    // releaseChunk, the next getChunk or the processor's deletion. The whole
    // save runs under the document lock, so it never reads a model document
    // while another thread replaces it.
    std::int32_t getChunk(void** data) override;
    void releaseChunk() override;
    // Waits (bounded) until the automation worker has applied every host
    // write made before the call, so that an offline render hears a write
    // from the next block on, every time.
    void waitForHostWrites() override;

    // Has the automation manager refresh the parameter's record, then tells
    // the host. Reports that arrive while the manager is still being built
    // (or is being destroyed) are ignored: there is no record for them yet.
    void notifyHostParameter(std::int32_t index, float plain, float normalized) override;

    Document::Rig& getDocument() noexcept { return *document_; }
    Engine::Main& getEngine() noexcept { return *engine_; }
    Automation::Main& getAutomation() noexcept { return *automation_; }
    float getSampleRate() const noexcept { return sampleRate_; }
    std::int32_t getBufferFrames() const noexcept { return bufferFrames_; }

private:
    // Waits (bounded) until the automation worker has applied every host
    // write queued before the call.
    void settleHostWrites();

    bool isParameter(std::int32_t index);
    void render(float** inputs, float** outputs, std::int32_t offset, std::int32_t frames);

    std::unique_ptr<Document::Rig> document_;
    std::unique_ptr<Engine::Main> engine_;
    std::unique_ptr<Automation::Main> automation_;
    // The manager once it is complete; null before and while it goes.
    std::atomic<Automation::Main*> reporting_{nullptr};
    std::unique_ptr<char[]> chunk_;
    std::unique_ptr<float[]> monoInput_;
    std::unique_ptr<float[]> secondOutput_;
    std::int32_t bufferFrames_ = 0;
    std::int32_t inputChannels_ = 2;
    std::int32_t outputChannels_ = 2;
    float sampleRate_ = 44100.0f;
};

} // namespace Zq::BorvanRAZ
