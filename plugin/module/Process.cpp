#include "plugin/module/Process.h"

#include "plugin/module/ThreadText.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace Zq::BorvanRAZ {

Process::Process(DUZ2::HostTable* host)
    : DUZ2::Process(host), document_(std::make_unique<Document::Rig>()),
      engine_(std::make_unique<Engine::Main>(*document_)),
      automation_(std::make_unique<Automation::Main>(*this, *document_)),
      monoInput_(std::make_unique<float[]>(kInitialBufferFrames)),
      secondOutput_(std::make_unique<float[]>(kInitialBufferFrames)),
      bufferFrames_(kInitialBufferFrames)
{
    reporting_.store(automation_.get());
    automation_->refreshAmpModels();
}

Process::~Process()
{
    chunk_.reset();
    // The worker applies what the host queued and ends before anything it
    // could reach goes; its last changes are no longer reported.
    reporting_.store(nullptr);
    automation_->stop();
    engine_.reset();
    automation_.reset();
    document_.reset();
    monoInput_.reset();
    secondOutput_.reset();
}

void Process::notifyHostParameter(std::int32_t index, float plain, float normalized)
{
    Automation::Main* automation = reporting_.load();
    if (!automation)
        return;
    automation->refreshRecord(index);
    DUZ2::Process::notifyHostParameter(index, plain, normalized);
}

void Process::setBlockSize(std::int32_t frames)
{
    if (frames <= 0)
        return;
    const std::int32_t length = std::min(frames, kMaxBufferFrames);
    // Both are allocated before either is replaced: a failure keeps the old pair.
    auto monoInput = std::make_unique_for_overwrite<float[]>(length);
    auto secondOutput = std::make_unique_for_overwrite<float[]>(length);
    monoInput_ = std::move(monoInput);
    secondOutput_ = std::move(secondOutput);
    bufferFrames_ = length;
}

void Process::setSampleRate(float hertz)
{
    // The engine refuses a rate that is not a finite positive number; the
    // processor then keeps its own as well.
    if (engine_->setSampleRate(hertz))
        sampleRate_ = hertz;
}

void Process::processInPlace(float** channels, std::int32_t frames, std::int32_t* flags)
{
    process(channels, channels, frames, flags);
}

void Process::process(float** inputs, float** outputs, std::int32_t frames, std::int32_t*)
{
    engine_->setTempo(askHostTempo());
    if (frames <= 0 || !inputs || !outputs || !inputs[0] || !outputs[0])
        return;
    // The work buffers bound one run of the engine; a longer host block runs
    // in pieces.
    for (std::int32_t offset = 0; offset < frames; offset += bufferFrames_)
        render(inputs, outputs, offset, std::min(bufferFrames_, frames - offset));
}

void Process::render(float** inputs, float** outputs, std::int32_t offset, std::int32_t frames)
{
    const float* monoInput = inputs[0] + offset;
    if (inputChannels_ != 1 && inputs[1]) {
        const float* left = inputs[0] + offset;
        const float* right = inputs[1] + offset;
        float* mono = monoInput_.get();
        for (std::int32_t i = 0; i < frames; ++i)
            mono[i] = (right[i] + left[i]) * 0.5f;
        monoInput = mono;
    }

    float* left = outputs[0] + offset;
    const bool monoOutput = outputChannels_ == 1 || !outputs[1];
    float* right = monoOutput ? secondOutput_.get() : outputs[1] + offset;

    const float* engineInputs[1] = {monoInput};
    float* engineOutputs[2] = {left, right};
    engine_->process(engineInputs, engineOutputs, frames);

    if (outputChannels_ == 1)
        for (std::int32_t i = 0; i < frames; ++i)
            left[i] = (right[i] + left[i]) * 0.5f;
}

std::int32_t Process::getNumParameters()
{
    return automation_->getNumParameters();
}

bool Process::isParameter(std::int32_t index)
{
    return index >= 0 && index < automation_->getNumParameters();
}

const char* Process::getParameterName(std::int32_t index)
{
    return isParameter(index) ? threadText<17>(automation_->getParameterName(index)) : "";
}

const char* Process::getParameterDisplay(std::int32_t index)
{
    return isParameter(index) ? threadText<18>(automation_->getParameterDisplay(index).view()) : "";
}

float Process::getParameterValue(std::int32_t index)
{
    return isParameter(index) ? automation_->getParameterValue(index) : 0.0f;
}

float Process::getParameterNormalized(std::int32_t index)
{
    return isParameter(index) ? automation_->getParameterNormalized(index) : 0.0f;
}

void Process::setParameterValue(std::int32_t index, float plain)
{
    if (isParameter(index))
        automation_->setParameterValue(index, plain);
}

void Process::setParameterNormalized(std::int32_t index, float normalized)
{
    if (isParameter(index))
        automation_->setParameterNormalized(index, normalized);
}

const char* Process::getParameterTextForNormalized(std::int32_t index, float normalized)
{
    return isParameter(index)
               ? threadText<23>(
                     automation_->getParameterTextForNormalized(index, normalized).view())
               : "";
}

float Process::convertNormalizedToPlain(std::int32_t index, float normalized)
{
    return isParameter(index) ? automation_->convertNormalizedToPlain(index, normalized) : 0.0f;
}

void Process::setChunk(const void* data, std::int32_t size)
{
    if (!data || size <= 0 || size > kMaxChunkBytes)
        return;
    // Host writes still queued would land on top of the loaded state.
    settleHostWrites();
    // The automation worker and the editor change the document under its
    // lock; a load replaces stomp documents they may be working on.
    platform::ScopedEnter guard(*document_->getLock());
    document_->loadChunk(static_cast<const char*>(data), size);
}

std::int32_t Process::getChunk(void** data)
{
    if (!data)
        return 0;
    // A host write made just before a program switch or a bank save belongs
    // in the chunk.
    settleHostWrites();
    std::string text;
    {
        platform::ScopedEnter guard(*document_->getLock());
        text = document_->saveChunk();
    }
    const auto size = static_cast<std::int32_t>(text.size());
    auto buffer = std::make_unique_for_overwrite<char[]>(text.size());
    std::memcpy(buffer.get(), text.data(), text.size());
    chunk_ = std::move(buffer);
    *data = chunk_.get();
    return size;
}

void Process::settleHostWrites()
{
    // Never under the document lock: the worker needs it to apply.
    if (automation_ && automation_->isRunning())
        automation_->waitUntilApplied();
}

void Process::waitForHostWrites()
{
    settleHostWrites();
}

void Process::releaseChunk()
{
    chunk_.reset();
}

} // namespace Zq::BorvanRAZ
