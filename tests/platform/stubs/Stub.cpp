// One source, four stand-ins for a plug-in module (chosen by a definition).
// Each writes what happens to it (loaded, acquired, released, unloaded) as one
// line to the file named by $STUB_LOG, so a test sees it after the unload too.

#include "platform/PluginModuleLoader.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#define EXPORT extern "C" __attribute__((visibility("default")))

namespace {

void note(const char* event, int value = 0)
{
    const char* path = std::getenv("STUB_LOG");
    if (!path)
        return;
    if (FILE* file = std::fopen(path, "a")) {
        std::fprintf(file, "%s %d\n", event, value);
        std::fclose(file);
    }
}

#if !defined(STUB_NO_ACQUIRE) && !defined(STUB_NULL_TABLE)
int table[4];
#endif

__attribute__((constructor)) void loaded()
{
    note("load");
}
__attribute__((destructor)) void unloaded()
{
    note("unload");
}

} // namespace

#if !defined(STUB_NO_ACQUIRE)
EXPORT void* DUZ2Acquire(int interfaceVersion, int* out)
{
    note("acquire", interfaceVersion);
    if (out)
        *out = 1;
#if defined(STUB_NULL_TABLE)
    return nullptr;
#else
    return table;
#endif
}
#endif

#if !defined(STUB_NO_RELEASE)
EXPORT int DUZ2Release()
{
    note("release");
    return 1;
}
#endif

// Not exported by the version script: must stay out of the symbol table.
EXPORT int StubHidden()
{
    return 7;
}

#if defined(STUB_COUNTING)
EXPORT int StubOwnFile(char* buffer, int size)
{
    const std::string path = platform::ownModuleFile();
    std::snprintf(buffer, static_cast<std::size_t>(size), "%s", path.c_str());
    return static_cast<int>(path.size());
}
#endif
