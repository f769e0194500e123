#pragma once

#include "host/audio/MPAudioBase.h"

#include <atomic>
#include <thread>

// A back end without hardware, driven by its user: step() fills the input
// device buffers from the given samples and runs one callback; a thread can
// instead run callbacks at the block rate. Made for tests; not a kind of
// MPAudio's table (MPAudio takes it through its device factory).
class MPAudioFake : public MPAudioBase {
public:
    MPAudioFake();
    ~MPAudioFake() override;

    // The device lists enumeration delivers.
    std::vector<MPAudioDeviceInfo> fakeInputs;
    std::vector<MPAudioDeviceInfo> fakeOutputs;
    // Whether deviceOpen succeeds.
    bool openSucceeds = true;
    // Whether start runs callbacks on a thread of its own at the block rate.
    bool threaded = false;

    // One callback of frames after copying inputs[g] (frames samples, or
    // nothing when null) into input device group g. Not while threaded.
    void step(int frames, const float* const* inputs = nullptr);

    int inputGroups() const { return inputGroupCount(); }
    int outputGroups() const { return outputGroupCount(); }
    int inputDeviceChannel(int group) const { return inputGroupChannel(group); }
    int outputDeviceChannel(int group) const { return outputGroupChannel(group); }
    const float* outputDeviceBuffer(int group) const { return outputGroupBuffer(group); }
    void setFramesProcessed(int64_t frames) { framesProcessed_.store(frames); }
    int enumerations() const { return enumerations_; }
    int deviceCloses() const { return deviceCloses_; }
    int deviceStops() const { return deviceStops_; }

protected:
    bool deviceOpen() override { return openSucceeds; }
    void deviceClose() override { ++deviceCloses_; }
    bool deviceStart() override;
    void deviceStop() override;
    void deviceEnumerate() override;

private:
    void run();

    std::thread thread_;
    std::atomic<bool> stopping_{false};
    int enumerations_ = 0;
    int deviceCloses_ = 0;
    int deviceStops_ = 0;
};
