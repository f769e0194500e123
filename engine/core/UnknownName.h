#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace AudioEngine {

// Thrown when building, wiring or linking looks up a sub-module, port,
// parameter, data block, state or creator that was never registered. A graph
// with such a hole cannot run correctly, so it is refused while it is built,
// never silently ignored.
class UnknownName : public std::out_of_range {
public:
    UnknownName(std::string_view kind, std::string_view name, std::string_view owner = {})
        : std::out_of_range(compose(kind, name, owner)), name_(name)
    {
    }

    const std::string& name() const noexcept { return name_; }

private:
    static std::string compose(std::string_view kind, std::string_view name, std::string_view owner)
    {
        std::string text;
        text.append(kind).append(" \"").append(name).append("\" is not registered");
        if (!owner.empty())
            text.append(" in \"").append(owner).append("\"");
        return text;
    }

    std::string name_;
};

} // namespace AudioEngine
