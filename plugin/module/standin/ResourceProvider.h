#pragma once

#include <string>

namespace Zq::BorvanRAZ::StandIn {

// Stands in for the editor's resource provider until the editor exists: it
// keeps the one location it is opened on and reads nothing.
class ResourceProvider {
public:
    void open(const std::string& location) { location_ = location; }
    const std::string& getLocation() const noexcept { return location_; }

private:
    std::string location_;
};

} // namespace Zq::BorvanRAZ::StandIn
