#include "engine/modules/Splitter.h"

#include <cstring>

namespace AudioEngine {

void Splitter::bindPorts()
{
    in_ = &getInput("In");
    out1_ = &getOutput("Out1");
    out2_ = &getOutput("Out2");
}

void Splitter::createOutputsBuffered()
{
    addOutputBuffered(OutputBuffered("Out1", "", blockCapacity_));
    addOutputBuffered(OutputBuffered("Out2", "", blockCapacity_));
}

std::uint32_t Splitter::processBlock()
{
    const std::uint32_t n = getChunkSize();
    const float* x = in_->getBuffer();
    const std::size_t bytes = std::size_t(n) * sizeof(float);
    std::memmove(out1_->getBuffer(), x, bytes);
    std::memmove(out2_->getBuffer(), x, bytes);
    return n;
}

} // namespace AudioEngine
