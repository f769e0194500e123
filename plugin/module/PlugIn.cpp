#include "plugin/module/PlugIn.h"

#include "platform/MessageBox.h"
#include "plugin/module/PlugGUI.h"
#include "plugin/module/Process.h"

namespace Zq::BorvanRAZ {

PlugIn::PlugIn() : settings_(kProductName)
{
    std::string location;
    std::string problem;
    if (!settings_.readString("ResPath", location, &problem)) {
        if (problem.empty())
            platform::showInstallError();
        else
            platform::showInstallError("ResPath", problem);
        location.clear();
    }
    resources_.addLocation(location);
}

PlugIn::~PlugIn()
{
    for (auto& [key, instance] : processes_) {
        instance.gui.reset();
        instance.process.reset();
    }
    processes_.clear();
}

DUZ2::Process* PlugIn::createProcess(DUZ2::HostTable* host, std::int32_t flags)
{
    if (flags != 0)
        return nullptr;
    auto process = std::make_unique<Process>(host);
    Process* created = process.get();
    processes_.emplace(created, Instance{std::move(process), nullptr});
    return created;
}

void PlugIn::destroyProcess(DUZ2::Process* process)
{
    auto found = processes_.find(process);
    if (found == processes_.end())
        return;
    found->second.gui.reset();
    found->second.process.reset();
    processes_.erase(found);
}

DUZ2::GUI* PlugIn::getGUI(DUZ2::Process* process)
{
    auto found = processes_.find(process);
    if (found == processes_.end())
        return nullptr;
    Instance& instance = found->second;
    if (!instance.gui)
        instance.gui = std::make_unique<PlugGUI>(*instance.process, resources_);
    return instance.gui.get();
}

std::string PlugIn::getPresetPath() const
{
    std::string path;
    if (!settings_.readString("PresetPath", path)) {
        platform::showInstallError();
        path.clear();
    }
    return path;
}

} // namespace Zq::BorvanRAZ
