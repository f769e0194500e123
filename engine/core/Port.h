#pragma once

#include "engine/core/Buffer.h"

#include <atomic>
#include <cstdint>
#include <string>

namespace AudioEngine {

// A named connection point of a module. A port either has samples of its own
// (a buffered output, a host output) or stands for the samples of its source.
// getBuffer follows the chain of sources to the first port with samples. A chain
// that ends without samples (an input nobody connected) reads the process-wide
// silence: the stomp chain's dry input, for one, is legitimately left open.
class Port {
public:
    Port(std::string name, std::string description, Port* source = nullptr);
    Port(const Port&) = delete;
    Port& operator=(const Port&) = delete;
    virtual ~Port() = default;

    virtual const std::string& getName() const { return name_; }
    virtual const std::string& getDescription() const { return description_; }

    // Skips one transparent level of the source chain. Resolving sources before
    // their readers collapses any chain of transparent ports to its first opaque
    // port; a port resolved early still reads the right samples through the rest.
    virtual void resolve();
    virtual bool isTransparent() const { return true; }

    // First sample of the current piece.
    virtual float* getBuffer() const;
    virtual const AudioContainers::Buffer* getBufferObject() const;

    // Sets the source; returns it (see the overrides for their answers).
    virtual Port* connect(Port* source);
    virtual Port* disconnect() { return nullptr; }

    Port* getSource() const noexcept { return source_; }

protected:
    std::string description_;
    std::string name_;
    Port* source_ = nullptr;
};

class Input : public Port {
public:
    using Port::Port;
};

class Output : public Port {
public:
    using Port::Port;
};

// An output that stands for another port given at construction.
class OutputShared : public Output {
public:
    using Output::Output;
};

// An output of a composite standing for an output of one of its sub-modules.
class OutputHierarchic : public OutputShared {
public:
    using OutputShared::OutputShared;
};

// A composite's output that can be pointed elsewhere for a while and put back.
class OutputConnectable : public OutputHierarchic {
public:
    OutputConnectable(std::string name, std::string description, Port* source);

    bool isTransparent() const override { return false; }
    // Saves the current source, takes the new one, returns the previous source.
    Port* connect(Port* source) override;
    // Goes back to the saved source and returns it (one level of saving only).
    Port* disconnect() override;

private:
    Port* savedSource_ = nullptr;
};

// An output that shares the samples its module's input reads.
class OutputInPlace : public OutputShared {
public:
    using OutputShared::OutputShared;
};

// An output with a buffer of its own. Connected to a port it passes that port's
// samples on; connected to nothing it presents silence; disconnected it presents
// its own buffer again.
class OutputBuffered : public Output {
public:
    enum Mode : std::uint32_t { Own = 0, Source = 1, Silent = 2 };

    OutputBuffered(std::string name, std::string description, std::uint32_t capacity);
    ~OutputBuffered() override;

    bool isTransparent() const override { return false; }
    float* getBuffer() const override;
    const AudioContainers::Buffer* getBufferObject() const override { return &buffer_; }
    Port* connect(Port* source) override;
    Port* disconnect() override;

    std::uint32_t getMode() const noexcept { return mode_; }
    std::uint32_t getCapacity() const noexcept { return buffer_.size(); }

    static int getLiveCount() noexcept { return liveCount_.load(); }

private:
    AudioContainers::Buffer buffer_;
    std::uint32_t mode_ = Own;
    static std::atomic<int> liveCount_;
};

namespace EnvironmentHostDetails {

// Presents the current piece of one host input channel to the chain.
class HostOutput : public Output {
public:
    HostOutput() : Output("HostOutput", "") {}

    float* getBuffer() const override { return buffer_.data(); }
    const AudioContainers::Buffer* getBufferObject() const override { return &buffer_; }

    void setSamples(float* samples, std::uint32_t count) noexcept
    {
        buffer_.borrow(samples, count);
    }

private:
    HostBuffer<AudioContainers::BufferSampleTraits> buffer_;
};

} // namespace EnvironmentHostDetails

} // namespace AudioEngine
