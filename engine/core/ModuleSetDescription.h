#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace AudioEngine {

// The plain record a module set builds the top-level chain from: which modules
// to create (type name, instance name), how their pins are wired, and which
// pins face the host. Host maps are multimaps: one host channel may feed
// several module inputs (the input meter and the tuner both take "In"); equal
// keys keep their insertion order.
struct ModuleSetDescription {
    struct Connection {
        std::string sourceModule;
        std::string sourceOutput;
        std::string destinationModule;
        std::string destinationInput;
    };
    struct HostPort {
        std::string module;
        std::string port;
    };
    struct ModuleEntry {
        std::string type;
        std::string instance;
    };

    std::vector<ModuleEntry> modules;
    std::vector<Connection> connections;
    std::multimap<std::string, HostPort> hostInputs;
    std::multimap<std::string, HostPort> hostOutputs;
};

} // namespace AudioEngine
