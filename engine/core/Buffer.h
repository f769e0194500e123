#pragma once

#include <cstdint>

namespace AudioEngine::AudioContainers {

// Hands out zeroed sample storage whose first sample lies on a 16-byte boundary
// strictly above the raw heap block. It keeps the raw block of its single
// current allocation so that deallocate can free it whatever pointer is passed.
class AllocatorAligned {
public:
    AllocatorAligned() = default;
    AllocatorAligned(const AllocatorAligned&) : AllocatorAligned() {}
    AllocatorAligned& operator=(const AllocatorAligned&) = delete;
    virtual ~AllocatorAligned() = default; // frees nothing: the owning buffer does

    // count samples behind the returned address; the hint is ignored.
    virtual float* allocate(std::uint32_t count, const void* hint = nullptr);
    virtual void deallocate(float* pointer, std::uint32_t count);

    const void* getRawBlock() const noexcept { return raw_; }

    // The first multiple of 16 strictly above raw: 1 to 16 bytes past it.
    static std::uintptr_t alignAbove(std::uintptr_t raw) noexcept { return (raw / 16 + 1) * 16; }

private:
    void* raw_ = nullptr;
};

// One channel of samples: either empty (null, 0) or owning exactly one zeroed,
// 16-byte aligned allocation of its size.
class Buffer {
public:
    explicit Buffer(std::uint32_t samples = 0);
    // The copy gets storage of its own, of the same size, silent: samples are not copied.
    Buffer(const Buffer& other);
    Buffer& operator=(const Buffer&) = delete;
    virtual ~Buffer();

    void allocate(std::uint32_t samples) { resize(samples); }
    // Drops the old samples and allocates n zeroed ones; n = 0 changes nothing.
    void resize(std::uint32_t samples) { reallocate(samples); }
    virtual void reallocate(std::uint32_t samples);
    virtual void release();

    std::uint32_t size() const noexcept { return size_; }
    std::uint32_t getSize() const noexcept { return size_; }
    float* data() const noexcept { return data_; }
    const void* getRawBlock() const noexcept { return allocator_.getRawBlock(); }

protected:
    void freeStorage() noexcept;

    AllocatorAligned allocator_;
    float* data_ = nullptr;
    std::uint32_t size_ = 0;
};

// The process-wide silence: a buffer of zeros at least as long as the longest
// buffered output ever created. It only grows; a grown buffer keeps its old
// storage alive too, so a pointer taken from it stays valid for the program's
// life, even while another engine is being built on another thread. Nothing may
// write into it.
const Buffer& silenceBuffer();
float* silenceSamples() noexcept;
void growSilenceBuffer(std::uint32_t samples);

} // namespace AudioEngine::AudioContainers

namespace AudioEngine::EnvironmentHostDetails {

// A buffer that borrows samples it does not own (the current piece of one host
// channel). Its owner sets pointer and size; resize and release do nothing and
// destroying it frees nothing.
template <class Traits> class HostBuffer : public AudioContainers::Buffer {
public:
    HostBuffer() = default;
    HostBuffer(const HostBuffer&) : HostBuffer() {}
    ~HostBuffer() override
    {
        data_ = nullptr;
        size_ = 0;
    }

    void reallocate(std::uint32_t) override {}
    void release() override {}

    void borrow(float* samples, std::uint32_t count) noexcept
    {
        data_ = samples;
        size_ = count;
    }
    void clear() noexcept { borrow(nullptr, 0); }
};

// The FIFO pad storage of the host environment: 128 zeroed samples from birth.
struct BufferPadType {
    class Buffer : public AudioContainers::Buffer {
    public:
        static constexpr std::uint32_t kSamples = 128;
        Buffer() : AudioContainers::Buffer(kSamples) {}
    };
};

} // namespace AudioEngine::EnvironmentHostDetails

namespace AudioEngine::AudioContainers {
struct BufferSampleTraits {};
} // namespace AudioEngine::AudioContainers
