#include "engine/host/ModuleHost.h"

#include "engine/dsp/KernelDispatch.h"

#include <cmath>
#include <stdexcept>

namespace AudioEngine {

ModuleHostBase::ModuleHostBase(ModuleSetDescription description, std::unique_ptr<ModuleSetBase> set)
    : EnvironmentBorvanQom(std::move(description)), set_(std::move(set)),
      changes_(set_.get(), kSlewSeconds)
{
    set_->buildSet(this);
    // Masking bit 128 keeps the plain kernel set on every processor.
    utils::initKernels(128);
    setUp();
}

ModuleHostBase::~ModuleHostBase()
{
    // The host outputs feed the set's inputs: the set goes first.
    set_.reset();
}

void ModuleHostBase::setUp()
{
    const std::uint32_t inputs = getInputCount();
    const std::uint32_t outputs = getOutputCount();
    if (inputs > kMaxChannels || outputs > kMaxChannels)
        throw std::length_error("a chain faces the host with at most 4 inputs and 4 outputs, not " +
                                std::to_string(inputs) + " and " + std::to_string(outputs));
    while (hostOutputs_.size() < inputs)
        hostOutputs_.push_back(std::make_unique<EnvironmentHostDetails::HostOutput>());
    std::uint32_t k = 0;
    for (const auto& [name, input] : set_->getInputs())
        set_->connectInput(*set_, name, hostOutputs_[k++].get());
    set_->connect();
    set_->resolveConnections();
    set_->bindPorts();
    set_->resetParametersToDefaults();
}

std::uint32_t ModuleHostBase::getInputCount() const
{
    return static_cast<std::uint32_t>(set_->getInputs().size());
}

std::uint32_t ModuleHostBase::getOutputCount() const
{
    return static_cast<std::uint32_t>(set_->getOutputs().size());
}

const float* ModuleHostBase::getOutputBuffer(std::uint32_t index) const
{
    for (const auto& [name, output] : set_->getOutputs())
        if (index-- == 0)
            return output->getBuffer();
    return nullptr;
}

template <class Apply> bool ModuleHostBase::applyChanges(Apply&& apply)
{
    if (!changeLock_) {
        apply();
        return true;
    }
    std::unique_lock guard(*changeLock_, std::try_to_lock);
    if (!guard.owns_lock())
        return false;
    apply();
    return true;
}

void ModuleHostBase::processChunk()
{
    if (chunkSize_ == 0) // a call served from the output FIFO alone
        return;
    // A change left for the next piece only slews a piece later.
    applyChanges([&] { drainChanges(static_cast<float>(chunkSize_) / sampleRate_); });
    set_->process();
}

void ModuleHostBase::processHost(const float* const* inputs, float* const* outputs,
                                 std::uint32_t frames)
{
    beginCall(inputs, outputs);
    for (std::uint32_t done = 0; done < frames;) {
        const Piece piece = nextPiece(frames - done);
        const float pieceSeconds = static_cast<float>(piece.chunk) / sampleRate_;

        readInput(done, piece, state_ == Flushing);
        if (state_ == Flushing)
            flushTimer_ += pieceSeconds;
        if (state_ == FadingIn)
            scaleInput(piece.chunk, fadeInGain_);

        if (state_ == Applying && fadeOnChanges_) {
            // The graph stands still: the batch is applied in portions sized
            // so that it takes about kBatchSeconds of audio.
            if (changes_.isBatchActive()) {
                const double portion = std::ceil(double(changes_.getBatchCount()) * frames /
                                                 (double(sampleRate_) * kBatchSeconds));
                applyChanges([&] {
                    if (changes_.applyBatch(static_cast<std::uint32_t>(std::max(portion, 1.0))))
                        state_ = Flushing;
                });
            }
            flushTimer_ += pieceSeconds;
            dropInput(piece.chunk);
            emitOutput(done, piece, true);
        } else {
            if (state_ == Applying) { // without fades: all at once, then run on
                if (!changes_.isBatchActive() ||
                    applyChanges([&] { changes_.applyBatch(changes_.getBatchCount()); }))
                    state_ = Running;
            }
            processChunk();
            finishPiece(done, piece, state_ == Flushing);
        }

        // Never leave a batch half applied: the queue would stay closed to
        // single changes for good. A busy change lock keeps the graph still
        // for one more piece.
        if (flushTimer_ >= kFlushSeconds &&
            (state_ != Applying || !changes_.isBatchActive() ||
             applyChanges([&] { changes_.applyBatch(changes_.getBatchCount()); }))) {
            state_ = FadingIn;
            flushTimer_ = 0.0f;
        }
        done += piece.take;
    }

    const float step = 1.0f / (sampleRate_ * kFadeSeconds);
    if (state_ == FadingOut) {
        fadeOutStep_ = step;
        fade(outputs, frames, fadeOutGain_, -step);
        if (fadeOutGain_ <= 0.0f) {
            fadeOutGain_ = 1.0f;
            flushTimer_ = 0.0f;
            state_ = Applying;
        }
    } else if (state_ == FadingIn) {
        fade(outputs, frames, fadeInGain_, step);
        if (fadeInGain_ >= 1.0f) {
            fadeInGain_ = 0.0f;
            state_ = Running;
        }
    }
}

void ModuleHostBase::fade(float* const* outputs, std::uint32_t frames, float& gain, float step)
{
    const std::uint32_t channels = std::min<std::uint32_t>(getOutputCount(), kMaxChannels);
    for (std::uint32_t i = 0; i < frames; ++i) {
        for (std::uint32_t k = 0; k < channels; ++k)
            if (outputs && outputs[k])
                outputs[k][i] *= gain;
        gain = std::clamp(gain + step, 0.0f, 1.0f);
    }
}

const std::string& ModuleHostBase::findInput(std::string_view name) const
{
    return set_->getInput(name).getName();
}

const std::string& ModuleHostBase::findOutput(std::string_view name) const
{
    return set_->getOutput(name).getName();
}

const std::string& ModuleHostBase::findDataBlock(std::string_view name) const
{
    return set_->getDataBlock(name).getName();
}

const std::string& ModuleHostBase::findParameter(std::string_view name) const
{
    return set_->getParameter(name).getName();
}

bool ModuleHostBase::isBusy() const noexcept
{
    return changes_.isBatchActive() || state_ != Running;
}

bool ModuleHostBase::beginChangeBatch()
{
    if (changes_.isBatchActive() || state_ != Running)
        return false;
    return changes_.beginBatch();
}

bool ModuleHostBase::startApplyingChanges()
{
    if (!changes_.isBatchActive())
        return false;
    if (changes_.getBatchCount() == 0) {
        changes_.resetBatch();
        return true;
    }
    state_ = fadeOnChanges_ ? FadingOut : Applying;
    return true;
}

bool ModuleHostBase::finishApplyingChanges()
{
    state_ = fadeOnChanges_ ? FadingIn : Running;
    return changes_.resetBatch();
}

float ModuleHostBase::getParameterMin(std::string_view name) const
{
    return set_->getParameter(name).getMinimum();
}

float ModuleHostBase::getParameterMax(std::string_view name) const
{
    return set_->getParameter(name).getMaximum();
}

float ModuleHostBase::getParameterDefault(std::string_view name) const
{
    return set_->getParameter(name).getDefault();
}

std::map<std::string, float> ModuleHostBase::getParameterStates(std::string_view name) const
{
    std::map<std::string, float> states;
    if (const ParameterBase* parameter = set_->findParameter(name))
        for (const auto& [state, value] : parameter->getStates())
            states.emplace(state, value);
    return states;
}

void ModuleHostBase::describe(std::ostream& stream, const std::string& prefix) const
{
    set_->describe(stream, prefix);
}

bool ModuleHostBase::setSampleRate(float rate)
{
    if (!(rate > 0.0f) || !std::isfinite(rate))
        return false;
    sampleRate_ = rate;
    set_->update();
    return true;
}

float ModuleHostBase::readValue(std::string_view name) const
{
    ParameterBase* parameter = set_->findParameter(name);
    return parameter ? parameter->getValue() : 0.0f;
}

} // namespace AudioEngine
