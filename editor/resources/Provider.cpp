#include "editor/resources/Provider.h"

#include <algorithm>
#include <fstream>

namespace Zq::Application::Res {

namespace {

bool isPackLocation(const std::string& location)
{
    const auto dot = location.rfind('.');
    return dot != std::string::npos && location.compare(dot + 1, std::string::npos, "pak") == 0;
}

} // namespace

Provider::~Provider() = default;

void Provider::addLocation(const std::string& location)
{
    if (location.empty())
        return;
    platform::ScopedEnter lock(access_);
    if (std::find(locations_.begin(), locations_.end(), location) == locations_.end())
        locations_.push_back(location);
    if (isPackLocation(location))
        packs_[location] = std::make_unique<ResourcePack>(location);
}

bool Provider::find(const std::string& name, std::string& path, ResourcePack*& pack)
{
    platform::ScopedEnter lock(access_);
    for (const std::string& location : locations_) {
        const auto found = packs_.find(location);
        if (found != packs_.end()) {
            pack = found->second.get();
            return true;
        }
        std::string candidate = location + "/" + name;
        if (std::ifstream(candidate, std::ios::binary).is_open()) {
            path = std::move(candidate);
            pack = nullptr;
            return true;
        }
    }
    return false;
}

} // namespace Zq::Application::Res
