#include "engine/core/Module.h"

#include <ostream>

namespace AudioEngine {

void Module::describePort(std::ostream& stream, const std::string& prefix, const Port& port)
{
    const auto address = reinterpret_cast<std::uintptr_t>(port.getBuffer());
    const auto flags = stream.flags();
    stream << prefix << '_' << port.getName() << ",0x" << std::hex << address << std::endl;
    stream.flags(flags);
}

} // namespace AudioEngine
