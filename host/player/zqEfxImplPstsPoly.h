#pragma once

// Effect 102: granular pitch shift and time stretch of the source.
//
// Parameters (floats): 10000 source channels (1 or 2), 10001 output channels
// (1, anything else 2), 10002 sample rate, 10004 time factor s (output
// duration / source duration), 10005 pitch factor p (output period / source
// period: 2 lowers by an octave); s and p are clamped to 0.001 .. 10. With both
// within 0.9999 .. 1.0001 the effect copies the source. 10003 and unknown ids
// are ignored and answer false.

#include "host/player/CRAPSTS.h"
#include "host/player/EfxPstsRAPCMSourcePoly.h"
#include "host/player/zqEfxBase.h"

#include <memory>
#include <vector>

namespace player {

class zqEfxImplPstsPoly : public zqEfxBase {
public:
    static constexpr int kId = 102;
    enum Param {
        kSourceChannels = 10000,
        kOutputChannels = 10001,
        kSampleRate = 10002,
        kUnused = 10003,
        kTimeFactor = 10004,
        kPitchFactor = 10005,
    };

    int getId() const override { return kId; }
    bool setParam(int id, float value) override;
    bool getParam(int id, float* value) const override;
    // channelBuffers holds one array for one output channel, two for two.
    int process(void* reserved, float** channelBuffers, std::int64_t outputPosition,
                int frames) override;
    void prepare() override;

    bool prepared() const { return prepared_; }
    // The engine, once prepared (for inspection).
    CRAPSTS* engine() { return engine_.get(); }

private:
    static bool unity(double v) { return v >= 0.9999 && v <= 1.0001; }
    void copySource(float** channelBuffers, std::int64_t position, int frames);
    void applyFactors();

    int sourceChannels_ = 1;
    int outputChannels_ = 1;
    int sampleRate_ = 44100;
    double s_ = 1.0, p_ = 1.0;
    std::unique_ptr<EfxPstsRAPCMSourcePoly> adapter_;
    std::unique_ptr<CRANewPolyPSTS> engine_;
    // The copy path reads through these, whatever the caller's channel count.
    std::vector<float> left_, right_;
    std::int64_t expected_ = -1;
    bool prepared_ = false;
};

} // namespace player
