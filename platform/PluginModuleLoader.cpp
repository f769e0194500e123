#include "platform/PluginModuleLoader.h"

#include "platform/MessageBox.h"
#include "platform/Settings.h"

#include <cstdio>
#include <dlfcn.h>

namespace platform {
namespace {

using AcquireFunction = void* (*)(int interfaceVersion, int* out);
using ReleaseFunction = int (*)();

void reportLoaderError(const char* what)
{
    const char* detail = dlerror();
    std::fprintf(stderr, "plug-in loader: %s%s%s\n", what, detail ? ": " : "",
                 detail ? detail : "");
}

} // namespace

bool PluginModuleLoader::load(const std::string& productKey)
{
    if (table_ || library_)
        release();

    std::string path;
    std::string problem;
    if (!readRegistryString(productKey, "DUZ2Path", path, &problem)) {
        if (!problem.empty()) {
            showInstallError("DUZ2Path", problem);
            return false;
        }
        std::fprintf(stderr, "plug-in loader: no \"DUZ2Path\" for \"%s\"\n", productKey.c_str());
        showInstallError();
        return false;
    }
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        reportLoaderError("cannot load the module");
        showInstallError();
        return false;
    }
    auto acquire = reinterpret_cast<AcquireFunction>(dlsym(library, "DUZ2Acquire"));
    if (!acquire) {
        reportLoaderError("no DUZ2Acquire");
        dlclose(library);
        showInstallError();
        return false;
    }
    int version = 0;
    void* table = acquire(1, &version);
    if (!table) {
        std::fprintf(stderr, "plug-in loader: DUZ2Acquire gave no table\n");
        dlclose(library);
        showInstallError();
        return false;
    }
    library_ = library;
    table_ = table;
    return true;
}

int PluginModuleLoader::release()
{
    if (!table_ && !library_)
        return 0;
    if (auto releaseModule = reinterpret_cast<ReleaseFunction>(dlsym(library_, "DUZ2Release")))
        releaseModule();
    const int closed = dlclose(library_) == 0 ? 1 : 0;
    library_ = nullptr;
    table_ = nullptr;
    return closed;
}

std::string ownModuleFile()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<const void*>(&ownModuleFile), &info) == 0 || !info.dli_fname)
        return {};
    return info.dli_fname;
}

} // namespace platform
