#include "engine/core/Buffer.h"
#include "engine/core/Port.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace AudioEngine;
using AudioContainers::Buffer;

namespace {

bool silent(const Buffer& buffer)
{
    return std::all_of(buffer.data(), buffer.data() + buffer.size(),
                       [](float x) { return x == 0.0f; });
}

std::uintptr_t address(const void* pointer)
{
    return reinterpret_cast<std::uintptr_t>(pointer);
}

} // namespace

TEST(Buffers, AllocatorReturnsTheFirst16ByteBoundaryStrictlyAboveTheRawBlock)
{
    const struct {
        std::uintptr_t raw, aligned;
    } cases[] = {{0x1000, 0x1010}, {0x1004, 0x1010}, {0x100F, 0x1010}, {0x1001, 0x1010}};
    for (const auto& c : cases)
        EXPECT_EQ(AudioContainers::AllocatorAligned::alignAbove(c.raw), c.aligned)
            << std::hex << c.raw;

    for (std::uint32_t count : {1u, 3u, 64u, 128u, 1000u}) {
        Buffer buffer(count);
        const auto offset = address(buffer.data()) - address(buffer.getRawBlock());
        EXPECT_GE(offset, 1u);
        EXPECT_LE(offset, 16u);
        EXPECT_EQ(address(buffer.data()) % 16, 0u);
        EXPECT_TRUE(silent(buffer));
    }
}

TEST(Buffers, SizeChangesCopiesAndRelease)
{
    Buffer empty(0);
    EXPECT_EQ(empty.data(), nullptr);
    EXPECT_EQ(empty.size(), 0u);

    Buffer buffer(256);
    buffer.data()[5] = 1.0f;
    float* before = buffer.data();
    buffer.resize(0); // nothing changes
    EXPECT_EQ(buffer.data(), before);
    EXPECT_EQ(buffer.size(), 256u);
    EXPECT_EQ(buffer.data()[5], 1.0f);

    Buffer copy(buffer);
    EXPECT_EQ(copy.size(), 256u);
    EXPECT_NE(copy.data(), buffer.data());
    EXPECT_TRUE(silent(copy));

    Buffer small(64);
    small.data()[0] = 2.0f;
    small.reallocate(128);
    EXPECT_EQ(small.size(), 128u);
    EXPECT_TRUE(silent(small));

    buffer.release();
    buffer.release(); // a second release frees nothing
    EXPECT_EQ(buffer.data(), nullptr);
    EXPECT_EQ(buffer.size(), 0u);

    EnvironmentHostDetails::BufferPadType::Buffer pad;
    EXPECT_EQ(pad.size(), 128u);
    EXPECT_TRUE(silent(pad));
    EnvironmentHostDetails::BufferPadType::Buffer padCopy(pad);
    EXPECT_EQ(padCopy.size(), 128u);
    EXPECT_NE(padCopy.data(), pad.data());
}

TEST(Buffers, HostBufferOnlyBorrows)
{
    std::vector<float> samples(32, 0.5f);
    {
        EnvironmentHostDetails::HostBuffer<AudioContainers::BufferSampleTraits> host;
        host.borrow(samples.data(), 32);
        host.resize(64);
        host.release();
        EXPECT_EQ(host.data(), samples.data());
        EXPECT_EQ(host.size(), 32u);
    } // destroying it must not free the vector's storage
    EXPECT_EQ(samples[31], 0.5f);
}

TEST(Buffers, SilenceOnlyGrowsWithTheLongestBufferedOutput)
{
    const std::uint32_t start = AudioContainers::silenceBuffer().size();
    EXPECT_GE(start, 64u); // exists from load
    float* before = AudioContainers::silenceSamples();

    OutputBuffered same("A", "", start);
    EXPECT_EQ(AudioContainers::silenceBuffer().size(), start);
    OutputBuffered longer("B", "", start + 64);
    EXPECT_EQ(AudioContainers::silenceBuffer().size(), start + 64);
    OutputBuffered shorter("C", "", 32);
    EXPECT_EQ(AudioContainers::silenceBuffer().size(), start + 64);
    EXPECT_TRUE(silent(AudioContainers::silenceBuffer()));
    // Storage handed out before the growth stays readable.
    EXPECT_EQ(before[0], 0.0f);
    EXPECT_EQ(before[start - 1], 0.0f);
}
