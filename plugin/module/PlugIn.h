#pragma once

#include "editor/resources/PlugInResourceProvider.h"
#include "platform/Settings.h"
#include "plugin/DUZ2.h"
#include "plugin/module/Singleton.h"

#include <map>
#include <memory>
#include <string>

namespace Zq::BorvanRAZ {

class PlugGUI;
class Process;

// The module's single plug-in object: what DUZ2Acquire hands out. It creates
// and deletes the processors and their editor objects and holds what they
// share: the resource provider and the product's settings key. All operations
// run on the host's control thread.
class PlugIn final : public DUZ2::PlugIn, public Application::Utils::Singleton<PlugIn> {
public:
    // Gives the resource provider the "ResPath" setting as its one location;
    // without one it shows the install error and the provider stays without
    // locations (every resource is then missing).
    PlugIn();
    // Deletes every processor still alive, each after its editor object.
    ~PlugIn() override;

    std::int32_t getVersion() override { return 1; }
    // Null whenever flags is not 0.
    DUZ2::Process* createProcess(DUZ2::HostTable* host, std::int32_t flags) override;
    // A processor this object does not own is left alone.
    void destroyProcess(DUZ2::Process* process) override;
    // Null for a processor this object does not own.
    DUZ2::GUI* getGUI(DUZ2::Process* process) override;

    Application::Res::PlugInResourceProvider& getResourceProvider() noexcept { return resources_; }
    // Read on every call; without a value: the install error and "".
    std::string getPresetPath() const;
    std::size_t getProcessCount() const noexcept { return processes_.size(); }

private:
    struct Instance {
        std::unique_ptr<Process> process;
        std::unique_ptr<PlugGUI> gui;
    };

    Application::Res::PlugInResourceProvider resources_;
    platform::RegistrySettings settings_;
    std::map<DUZ2::Process*, Instance> processes_;
};

} // namespace Zq::BorvanRAZ
