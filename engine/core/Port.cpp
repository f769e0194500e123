#include "engine/core/Port.h"

namespace AudioEngine {

Port::Port(std::string name, std::string description, Port* source)
    : description_(std::move(description)), name_(std::move(name)), source_(source)
{
}

void Port::resolve()
{
    if (source_ && source_->source_ && source_->isTransparent())
        source_ = source_->source_;
}

float* Port::getBuffer() const
{
    return source_ ? source_->getBuffer() : AudioContainers::silenceSamples();
}

const AudioContainers::Buffer* Port::getBufferObject() const
{
    return source_ ? source_->getBufferObject() : &AudioContainers::silenceBuffer();
}

Port* Port::connect(Port* source)
{
    source_ = source;
    return source_;
}

OutputConnectable::OutputConnectable(std::string name, std::string description, Port* source)
    : OutputHierarchic(std::move(name), std::move(description), source), savedSource_(source)
{
}

Port* OutputConnectable::connect(Port* source)
{
    Port* previous = source_;
    savedSource_ = source_;
    source_ = source;
    return previous;
}

Port* OutputConnectable::disconnect()
{
    source_ = savedSource_;
    return source_;
}

std::atomic<int> OutputBuffered::liveCount_{0};

OutputBuffered::OutputBuffered(std::string name, std::string description, std::uint32_t capacity)
    : Output(std::move(name), std::move(description)), buffer_(capacity)
{
    ++liveCount_;
    AudioContainers::growSilenceBuffer(capacity);
}

OutputBuffered::~OutputBuffered()
{
    --liveCount_;
}

float* OutputBuffered::getBuffer() const
{
    switch (mode_) {
    case Own:
        return buffer_.data();
    case Source:
        return source_->getBuffer();
    case Silent:
        return AudioContainers::silenceSamples();
    default:
        return nullptr;
    }
}

Port* OutputBuffered::connect(Port* source)
{
    source_ = source;
    mode_ = source ? Source : Silent;
    return source_;
}

Port* OutputBuffered::disconnect()
{
    source_ = nullptr;
    mode_ = Own;
    return nullptr;
}

} // namespace AudioEngine
