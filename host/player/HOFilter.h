#pragma once

// High-order Butterworth filters as cascades of second-order sections.
//
// Only even orders are built: a cascade of pole pairs has no place for the
// real pole of an odd order, and leaving it out would put the cutoff at 0 dB
// instead of -3 dB. Creating an odd order is refused (create answers null).

#include "host/player/BiquadFilter.h"
#include "host/player/Object.h"

#include <array>
#include <memory>
#include <vector>

namespace player {

// Coefficients of one section: y = b0 x + b1 x1 + b2 x2 - a1 y1 - a2 y2.
struct SectionCoefficients {
    double b0 = 1.0, b1 = 0.0, b2 = 0.0, a1 = 0.0, a2 = 0.0;
};

// The sections of a Butterworth low-pass of even order with its cutoff at x
// times the Nyquist frequency (0 < x < 1), each with unity gain at 0 Hz.
std::vector<SectionCoefficients> butterworthLowPass(int order, double x);
// The sections of a Butterworth band-pass of even order between f1 and f2 Hz
// at rate fs, each with zeros at 0 Hz and at Nyquist and unity gain at the
// centre frequency (f1 + f2) / 2.
std::vector<SectionCoefficients> butterworthBandPass(int order, double f1, double f2, double fs);

class IHOFilter : public virtual IObject {
public:
    virtual int order() const = 0;
    virtual void setFormat(int channels, float sampleRate) = 0;
    // Cutoff as a fraction of the Nyquist frequency.
    virtual void setLowPass(double x) = 0;
    virtual void setLowPassHz(double hz) = 0;
    virtual void reset() = 0;
    // Interleaved frames in place, or from in to out.
    virtual void process(float* data, int frames) = 0;
    virtual void process(float* out, const float* in, int frames) = 0;
};

// The general filter: sections are BiquadFilter objects; low-pass and band-pass.
class CHOFilter : public CObject, public IHOFilter {
public:
    // Null for an odd order or one outside 2 .. 64.
    static std::unique_ptr<CHOFilter> create(int order);

    int order() const override { return order_; }
    void setFormat(int channels, float sampleRate) override;
    void setLowPass(double x) override;
    void setLowPassHz(double hz) override;
    void setBandPass(double f1, double f2);
    void reset() override;
    void process(float* data, int frames) override;
    void process(float* out, const float* in, int frames) override;

    const BiquadFilter& section(int i) const { return sections_[static_cast<std::size_t>(i)]; }

private:
    explicit CHOFilter(int order);
    void assign(const std::vector<SectionCoefficients>& sections);

    int order_;
    int channels_ = 1;
    float sampleRate_ = 44100.0f;
    std::vector<BiquadFilter> sections_;
};

// The lean filter of the pitch and time engine's output stage: plain inline
// sections, low-pass only, one or two interleaved channels.
class CHOFilterASO : public CObject, public IHOFilter {
public:
    static std::unique_ptr<CHOFilterASO> create(int order);

    int order() const override { return order_; }
    void setFormat(int channels, float sampleRate) override;
    void setLowPass(double x) override;
    void setLowPassHz(double hz) override;
    void reset() override;
    void process(float* data, int frames) override;
    void process(float* out, const float* in, int frames) override;

private:
    struct Section {
        SectionCoefficients c;
        std::array<float, 8> state{}; // x1, x2, y1, y2 per channel
    };
    explicit CHOFilterASO(int order);

    int order_;
    int channels_ = 1;
    float sampleRate_ = 44100.0f;
    std::vector<Section> sections_;
};

} // namespace player
