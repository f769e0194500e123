#pragma once

#include <string>

namespace platform {

// Loads the plug-in module named by the product's "DUZ2Path" setting, binds
// its exports and acquires its plug-in table (interface version 1). Serves
// both the hosts' loadPlugIn/unloadPlugIn and the plug-in core's
// PluginModuleLoader::load/release. The table is kept as an opaque pointer;
// the host object that knows its type owns the loader.
class PluginModuleLoader {
public:
    PluginModuleLoader() = default;
    PluginModuleLoader(const PluginModuleLoader&) = delete;
    PluginModuleLoader& operator=(const PluginModuleLoader&) = delete;
    ~PluginModuleLoader() { release(); }

    // Releases what is loaded first. Any failure (no "DUZ2Path", a file that
    // does not load, a missing "DUZ2Acquire", a null table) shows the install
    // error once, leaves nothing loaded and answers false.
    bool load(const std::string& productKey);
    // Calls "DUZ2Release" when the module has it and unloads the library.
    // Nonzero on success; 0 when nothing was loaded.
    int release();

    void* getPlugInTable() const noexcept { return table_; }
    bool isLoaded() const noexcept { return library_ != nullptr; }

private:
    void* library_ = nullptr;
    void* table_ = nullptr;
};

inline bool loadPlugIn(PluginModuleLoader& loader, const std::string& productKey)
{
    return loader.load(productKey);
}
inline int unloadPlugIn(PluginModuleLoader& loader)
{
    return loader.release();
}

// The file of the shared object (or program) this code was linked into: the
// counterpart of a module's instance handle.
std::string ownModuleFile();

} // namespace platform
