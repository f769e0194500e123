// The effect's programs, banks and chunks. The module keeps one state per
// processor; the 100 programs are copies of that state the bridge keeps, and
// switching saves the processor's state into the current program before the
// new one's is loaded. UI thread only.

#include "vstbridge/VST.h"

#include <cstring>

namespace Zq::Carapace {

std::int32_t VST::saveCurrentProgram()
{
    Program& program = programs_[curProgram];
    program.chunk = {};
    void* data = nullptr;
    const std::int32_t size = process_->getChunk(process_, &data);
    if (size <= 0 || !data)
        return 0;
    const auto* bytes = static_cast<const char*>(data);
    program.chunk.assign(bytes, bytes + size);
    process_->releaseChunk(process_);
    return size;
}

void VST::setProgram(std::int32_t program)
{
    if (!ProgramBank::isIndex(program) || program == curProgram)
        return;
    saveCurrentProgram();
    curProgram = program;
    const Program& next = programs_[curProgram];
    // A program without chunk leaves the processor as it is.
    if (!next.chunk.empty())
        process_->setChunk(process_, next.chunk.data(),
                           static_cast<std::int32_t>(next.chunk.size()));
}

void VST::setProgramName(char* name)
{
    // The host's buffer holds kProgramNameLength characters and a
    // terminator; nothing past them is read.
    if (name)
        programs_[curProgram].name.assign(name, strnlen(name, kProgramNameLength));
}

void VST::getProgramName(char* name)
{
    copyText(name, programs_[curProgram].name.c_str(), kProgramNameLength);
}

bool VST::getProgramNameIndexed(std::int32_t, std::int32_t index, char* text)
{
    if (!ProgramBank::isIndex(index))
        return false;
    copyText(text, programs_[index].name.c_str(), kProgramNameLength);
    return true;
}

bool VST::copyProgram(std::int32_t destination)
{
    if (!ProgramBank::isIndex(destination))
        return false;
    // The stored chunk, not the processor's present state.
    const Program& source = programs_[curProgram];
    Program& target = programs_[destination];
    if (&source != &target)
        target = source;
    return true;
}

std::int32_t VST::getChunk(void** data, bool isPreset)
{
    if (!data)
        return 0;
    // The processor's buffer stays valid until its next getChunk.
    if (isPreset)
        return process_->getChunk(process_, data);
    saveCurrentProgram();
    if (!programs_.write(bankBuffer_)) {
        *data = nullptr;
        return 0;
    }
    *data = bankBuffer_.data();
    return static_cast<std::int32_t>(bankBuffer_.size());
}

std::int32_t VST::setChunk(void* data, std::int32_t byteSize, bool isPreset)
{
    if (!data || byteSize <= 0)
        return 0;
    // A bank begins with its count, never with the XML declaration a
    // program's chunk begins with.
    if (isPreset || (byteSize >= 4 && std::memcmp(data, "<?xm", 4) == 0)) {
        process_->setChunk(process_, data, byteSize);
        return 0;
    }
    if (!programs_.read(static_cast<const char*>(data), byteSize))
        return 0;
    const Program& current = programs_[curProgram];
    if (!current.chunk.empty())
        process_->setChunk(process_, current.chunk.data(),
                           static_cast<std::int32_t>(current.chunk.size()));
    return 0;
}

} // namespace Zq::Carapace
