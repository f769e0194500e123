#pragma once

// The base of the effects of the pitch and time library: a source callback
// that delivers the file's samples at any position, numbered parameters, and
// blocks of output at an output position.

#include <cstdint>

// Fills one or two non-interleaved float arrays with frames position up to
// position + frames of the source and answers how many frames it delivered
// from the start of the arrays. Positions may lie before the first frame.
using zqEfxSourceCallback = int (*)(void* userData, float** channelBuffers, std::int64_t position,
                                    int frames);

namespace player {

class zqEfxBase {
public:
    virtual ~zqEfxBase() = default;
    virtual int getId() const = 0;
    virtual bool setParam(int id, float value) = 0;
    virtual bool getParam(int id, float* value) const = 0;
    // Writes frames output frames at outputPosition into channelBuffers; answers 1.
    // Audio thread; never allocates.
    virtual int process(void* reserved, float** channelBuffers, std::int64_t outputPosition,
                        int frames) = 0;
    virtual void setSource(void* userData, zqEfxSourceCallback callback);
    // Reads source frames into channelBuffers (two entries, the second may be
    // null); frames the callback does not deliver are zeros.
    virtual void readSource(float** channelBuffers, std::int64_t position, int frames);
    // Sizes every buffer; call after the format parameters, before process.
    virtual void prepare() = 0;

protected:
    void* userData_ = nullptr;
    zqEfxSourceCallback callback_ = nullptr;
};

// Effect 103: copies the source. Its process hands the caller's array of two
// channel pointers (the second may be null) to the source as it stands.
class zqEfxBypass : public zqEfxBase {
public:
    static constexpr int kId = 103;
    int getId() const override { return kId; }
    bool setParam(int, float) override { return false; }
    bool getParam(int, float*) const override { return false; }
    int process(void* reserved, float** channelBuffers, std::int64_t outputPosition,
                int frames) override;
    void prepare() override {}
};

} // namespace player
