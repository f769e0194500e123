#include "engine/core/Buffer.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <vector>

namespace AudioEngine::AudioContainers {

float* AllocatorAligned::allocate(std::uint32_t count, const void*)
{
    const std::size_t bytes = std::size_t(count) * sizeof(float) + 16;
    void* raw = std::calloc(bytes, 1);
    if (!raw)
        throw std::bad_alloc();
    raw_ = raw; // the owning buffer always releases before it allocates again
    return reinterpret_cast<float*>(alignAbove(reinterpret_cast<std::uintptr_t>(raw)));
}

void AllocatorAligned::deallocate(float* pointer, std::uint32_t)
{
    if (raw_ && pointer) {
        std::free(raw_);
        raw_ = nullptr;
    }
}

Buffer::Buffer(std::uint32_t samples)
{
    if (samples != 0) {
        data_ = allocator_.allocate(samples);
        size_ = samples;
    }
}

Buffer::Buffer(const Buffer& other) : Buffer(other.size_)
{
}

Buffer::~Buffer()
{
    freeStorage();
}

void Buffer::freeStorage() noexcept
{
    if (data_) {
        allocator_.deallocate(data_, 0);
        data_ = nullptr;
        size_ = 0;
    }
}

void Buffer::reallocate(std::uint32_t samples)
{
    if (samples == 0)
        return;
    if (data_)
        release();
    data_ = allocator_.allocate(samples);
    size_ = samples;
}

void Buffer::release()
{
    freeStorage();
}

namespace {

class Silence {
public:
    Silence() : current_(std::make_unique<Buffer>(64)) { samples_ = current_->data(); }

    const Buffer& buffer() const { return *current_; }
    float* samples() const noexcept { return samples_.load(std::memory_order_acquire); }

    void grow(std::uint32_t count)
    {
        std::lock_guard lock(mutex_);
        if (current_->size() >= count)
            return;
        auto grown = std::make_unique<Buffer>(count); // zeroed on allocation
        samples_.store(grown->data(), std::memory_order_release);
        retired_.push_back(std::move(current_));
        current_ = std::move(grown);
    }

private:
    std::mutex mutex_;
    std::unique_ptr<Buffer> current_;
    std::vector<std::unique_ptr<Buffer>> retired_;
    std::atomic<float*> samples_;
};

Silence& silence()
{
    static Silence instance;
    return instance;
}

// The silence exists from load, not from the first output that asks for it.
[[maybe_unused]] const bool silencePrimed = (silence(), true);

} // namespace

const Buffer& silenceBuffer()
{
    return silence().buffer();
}
float* silenceSamples() noexcept
{
    return silence().samples();
}
void growSilenceBuffer(std::uint32_t samples)
{
    silence().grow(samples);
}

} // namespace AudioEngine::AudioContainers
