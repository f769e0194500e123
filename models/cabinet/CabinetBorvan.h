#pragma once

#include "engine/core/ModuleBasic.h"
#include "engine/core/Parameter.h"
#include "engine/dsp/Convolver.h"
#include "models/cabinet/ImpulseSetBase.h"

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <vector>

namespace AudioEngine {

namespace CabinetBorvanDetails {

// "TweeterLevel" 1 adds the tweeter path about 10 dB up (20 log10 3.16).
constexpr float kTweeterScale = 3.16f;
// The engine unit only sends "ImpedOn" 0 or 1; anything from 0.5 on counts as on.
constexpr float kImpedanceThreshold = 0.5f;

// L = 2^floor(log2(points)): the largest power of two not above "Points" (at least 1).
std::uint32_t lengthFromPoints(float points) noexcept;
// The set's entry names as named states worth 0, 1, ... in set order.
ParameterBase::States entryStates(const BorvanQom::ImpulseSetBase& set);
// A sample that is not finite enters the convolvers as silence: one bad sample would otherwise
// fill a whole response length of output with NaN.
void copyFinite(const float* in, float* out, std::uint32_t n) noexcept;
// out = woofer + gain * tweeter, flushed.
void mix(const float* woofer, const float* tweeter, float gain, float* out,
         std::uint32_t n) noexcept;

} // namespace CabinetBorvanDetails

// The speaker cabinet: the input convolved with a woofer response (cabinet position, microphone
// and, with "ImpedOn", the cabinet's impedance curve) plus the tweeter path at "TweeterLevel"
// x 3.16. The responses come from two impulse sets (WooferSetTraits::ImpulseSet,
// TweeterSetTraits::ImpulseSet) prepared for the host's rate and the length "Points" chooses.
//
// Parameter changes run on the audio thread: the sets hold the responses of every length for the
// rate (made once per process and shared with every other cabinet), so a "Points" change only
// picks other responses, and both convolvers are allocated for their longest lengths when the
// cabinet is built, so nothing allocates afterwards. A new rate (prepare, update) may make the
// rate's responses the first time the process sees it: that runs where the host sets the rate.
template <class WooferSetTraits, class TweeterSetTraits> class CabinetBorvan : public ModuleBasic {
public:
    using Convolver = dsp::Domain::OldConvolvers::Convolver;
    using WooferSet = typename WooferSetTraits::ImpulseSet;
    using TweeterSet = typename TweeterSetTraits::ImpulseSet;
    static constexpr std::uint32_t kWorkLength = 8192;

    CabinetBorvan()
        : ModuleBasic(ModuleInfo{0x12, "CabinetBorvan", ""}), wooferWork_(kWorkLength),
          tweeterWork_(kWorkLength)
    {
        wooferConvolver_.reserve(
            static_cast<int>(std::max<std::uint32_t>(4, WooferSetTraits::kLength)));
        tweeterConvolver_.reserve(
            static_cast<int>(std::max<std::uint32_t>(4, TweeterSetTraits::kLength)));
    }

    void createParameters() override
    {
        points_ =
            parameters_.addParameter(Parameter("Points", "", 1.0f, 2048.0f, 2048.0f, 4), "Points");
        const ParameterBase::States states = CabinetBorvanDetails::entryStates(wooferSet_);
        cabModel_ =
            parameters_.addParameter(Parameter("CabModel", "", states, "Flat", 0), "CabModel");
        micModel_ =
            parameters_.addParameter(Parameter("MicModel", "", states, "Flat", 0), "MicModel");
        impedOn_ =
            parameters_.addParameter(Parameter("ImpedOn", "", 0.0f, 1.0f, 1.0f, 4), "ImpedOn");
        tweeterLevel_ = parameters_.addParameter(Parameter("TweeterLevel", "", 0.0f, 1.0f, 1.0f, 4),
                                                 "TweeterLevel");
    }

    void bindPorts() override
    {
        in_ = &getInput("In");
        out_ = &getOutput("Out");
        points_ = &getParameter("Points");
        cabModel_ = &getParameter("CabModel");
        micModel_ = &getParameter("MicModel");
        impedOn_ = &getParameter("ImpedOn");
        tweeterLevel_ = &getParameter("TweeterLevel");
    }

    // "CabModel", "MicModel" and "ImpedOn" choose other prepared responses (no transform work);
    // "Points" prepares the sets for its length and reloads when that made new responses;
    // "TweeterLevel" sets the gain. The stored (clamped) value counts, not the one passed.
    void setParameter(std::string_view name, float value) override
    {
        ModuleBasic::setParameter(name, value);
        if (name == "CabModel" || name == "MicModel" || name == "ImpedOn") {
            loadResponses();
        } else if (name == "TweeterLevel") {
            tweeterGain_ = tweeterLevel_->getValue() * CabinetBorvanDetails::kTweeterScale;
        } else if (name == "Points") {
            length_ = CabinetBorvanDetails::lengthFromPoints(points_->getValue());
            if (prepareSets())
                loadResponses();
        }
    }

    void prepare() override
    {
        ModuleBasic::prepare();
        length_ = CabinetBorvanDetails::lengthFromPoints(points_->getValue());
        prepareSets();
        loadResponses();
        wooferConvolver_.selectProcessRoutine(true);
        tweeterConvolver_.selectProcessRoutine(true);
    }

    // A new rate: both sets are made again for it and, when that did any work, the convolvers
    // take the new responses (the old ones no longer exist in the sets' storage).
    void update() override
    {
        if (prepareSets())
            loadResponses();
    }

    // Silences the tails: both convolvers start again from the responses in use.
    void reset() override { loadResponses(); }

    std::uint32_t processBlock() override
    {
        const std::uint32_t n = getChunkSize();
        const float* x = in_->getBuffer();
        float* y = out_->getBuffer();
        float* woofer = wooferWork_.data();
        float* tweeter = tweeterWork_.data();
        for (std::uint32_t done = 0; done < n;) {
            const std::uint32_t piece = std::min(n - done, kWorkLength);
            const int count = static_cast<int>(piece);
            CabinetBorvanDetails::copyFinite(x + done, woofer, piece);
            tweeterConvolver_.process(tweeter, woofer, count);
            wooferConvolver_.process(woofer, woofer, count);
            CabinetBorvanDetails::mix(woofer, tweeter, tweeterGain_, y + done, piece);
            done += piece;
        }
        return n;
    }

    // Pins one multiply-accumulate kernel in both convolvers (benchmarks compare them; prepare
    // selects the vector kernel again).
    void selectConvolverKernel(dsp::Domain::OldConvolvers::ConvolverKernel kernel)
    {
        wooferConvolver_.selectKernel(kernel);
        tweeterConvolver_.selectKernel(kernel);
    }

    std::uint32_t getWooferLength() const noexcept { return length_; }
    const WooferSet& getWooferSet() const noexcept { return wooferSet_; }
    const TweeterSet& getTweeterSet() const noexcept { return tweeterSet_; }
    const float* getWooferResponse() const noexcept { return wooferResponse_; }
    const float* getTweeterResponse() const noexcept { return tweeterResponse_; }
    bool isImpedanceOn() const noexcept { return impedanceOn_; }
    float getTweeterGain() const noexcept { return tweeterGain_; }

private:
    // Both sets for the current length and rate; true when either made new responses.
    bool prepareSets()
    {
        const double rate = getSampleRate();
        const bool woofer = wooferSet_.prepare(length_, rate);
        const bool tweeter = tweeterSet_.prepare(TweeterSetTraits::kLength, rate);
        return woofer || tweeter;
    }

    void loadResponses()
    {
        const auto cab = static_cast<std::uint32_t>(cabModel_->getValue());
        const auto mic = static_cast<std::uint32_t>(micModel_->getValue());
        impedanceOn_ = impedOn_->getValue() >= CabinetBorvanDetails::kImpedanceThreshold;
        tweeterGain_ = tweeterLevel_->getValue() * CabinetBorvanDetails::kTweeterScale;
        wooferResponse_ = wooferSet_.getResponse(cab, mic, impedanceOn_);
        // The tweeter path: flat microphone, no impedance curve.
        tweeterResponse_ = tweeterSet_.getResponse(cab, 1, false);
        // Zero-padded to a multiple of 4, which the convolvers' aligned kernels need for exact
        // wrapping; the padding adds nothing to the output.
        wooferConvolver_.setImpulse(wooferResponse_,
                                    static_cast<int>(wooferSet_.getResponseLength()));
        tweeterConvolver_.setImpulse(tweeterResponse_,
                                     static_cast<int>(tweeterSet_.getResponseLength()));
    }

    Port* in_ = nullptr;
    Port* out_ = nullptr;
    Convolver wooferConvolver_;
    Convolver tweeterConvolver_;
    const float* wooferResponse_ = nullptr;
    const float* tweeterResponse_ = nullptr;
    std::vector<float> wooferWork_;
    std::vector<float> tweeterWork_;
    std::uint32_t length_ = WooferSetTraits::kLength;
    WooferSet wooferSet_;
    TweeterSet tweeterSet_;
    bool impedanceOn_ = true;
    float tweeterGain_ = CabinetBorvanDetails::kTweeterScale;

    ParameterBase* points_ = nullptr;
    ParameterBase* cabModel_ = nullptr;
    ParameterBase* micModel_ = nullptr;
    ParameterBase* impedOn_ = nullptr;
    ParameterBase* tweeterLevel_ = nullptr;
};

} // namespace AudioEngine
