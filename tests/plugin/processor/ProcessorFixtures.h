#pragma once

#include "plugin/DUZ2.h"
#include "plugin/module/Process.h"
#include "tests/plugin/module/ModuleFixtures.h"
#include "tests/support/Signals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace test {

// One processor with its table, driven as a host drives it.
struct Processor {
    explicit Processor(Zq::DUZ2::HostTable* host = nullptr) : processor(host) {}

    Zq::DUZ2::ProcessTable* operator->() { return t; }

    std::string chunk()
    {
        void* data = nullptr;
        const std::int32_t size = t->getChunk(t, &data);
        std::string text(static_cast<const char*>(data), static_cast<std::size_t>(size));
        t->releaseChunk(t);
        return text;
    }
    void load(const std::string& text)
    {
        t->setChunk(t, text.data(), static_cast<std::int32_t>(text.size()));
    }
    // Blocks until every host write so far is in the document.
    void settle() { processor.getAutomation().waitUntilApplied(); }

    // Stereo in (both channels the same signal), stereo out.
    void run(const std::vector<float>& input, std::vector<float>& left, std::vector<float>& right,
             int block)
    {
        const int total = static_cast<int>(input.size());
        left.assign(input.size(), 0.0f);
        right.assign(input.size(), 0.0f);
        for (int offset = 0; offset < total; offset += block) {
            float* in = const_cast<float*>(input.data()) + offset;
            float* ins[2] = {in, in};
            float* outs[2] = {left.data() + offset, right.data() + offset};
            t->process(t, ins, outs, std::min(block, total - offset), nullptr);
        }
    }

    Zq::BorvanRAZ::Process processor;
    Zq::DUZ2::ProcessTable* t = processor.getTable();
};

inline bool allFinite(const std::vector<float>& signal)
{
    for (float x : signal)
        if (!std::isfinite(x))
            return false;
    return true;
}

inline double energy(const float* begin, const float* end)
{
    double sum = 0.0;
    for (const float* x = begin; x != end; ++x)
        sum += double(*x) * double(*x);
    return sum;
}

} // namespace test
