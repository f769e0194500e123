#include "host/audio/MPAudioFake.h"

#include <chrono>
#include <cstring>

MPAudioFake::MPAudioFake() = default;

MPAudioFake::~MPAudioFake()
{
    close();
}

void MPAudioFake::deviceEnumerate()
{
    ++enumerations_;
    inputs_ = fakeInputs;
    outputs_ = fakeOutputs;
}

void MPAudioFake::step(int frames, const float* const* inputs)
{
    if (inputs) {
        for (int g = 0; g < inputGroupCount(); ++g)
            if (inputs[g])
                std::memcpy(inputGroupBuffer(g), inputs[g],
                            static_cast<std::size_t>(frames) * sizeof(float));
    }
    runCallback(frames);
}

bool MPAudioFake::deviceStart()
{
    if (threaded) {
        stopping_.store(false);
        thread_ = std::thread([this] { run(); });
    }
    return true;
}

void MPAudioFake::deviceStop()
{
    ++deviceStops_;
    stopping_.store(true);
    if (thread_.joinable())
        thread_.join();
}

void MPAudioFake::run()
{
    const int rate = config_.sampleRate > 0 ? config_.sampleRate : 48000;
    const auto period = std::chrono::microseconds(int64_t{1000000} * framesPerBuffer_ / rate);
    auto next = std::chrono::steady_clock::now();
    while (!stopping_.load()) {
        runCallback(framesPerBuffer_);
        next += period;
        std::this_thread::sleep_until(next);
    }
}
