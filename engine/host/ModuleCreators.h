#pragma once

#include "engine/core/Module.h"
#include "engine/core/ModuleMap.h"

#include <memory>
#include <string>
#include <string_view>

namespace AudioEngine::ModuleSelectorDetails {

// Makes a new module of one type; the caller owns it.
class ModuleCreatorBase {
public:
    virtual ~ModuleCreatorBase() = default;
    virtual std::unique_ptr<Module> create() const = 0;
};

template <class T> class ModuleCreator : public ModuleCreatorBase {
public:
    std::unique_ptr<Module> create() const override { return std::make_unique<T>(); }
};

// A creator of T for a table: make it where T's code should be compiled.
template <class T> std::unique_ptr<ModuleCreatorBase> makeCreator()
{
    return std::make_unique<ModuleCreator<T>>();
}

struct ModuleCreatorsTraits {
    using Value = ModuleCreatorBase;
    static constexpr const char* kind = "module type";
};

// Creators under names, in registration order. Registering a name again
// replaces its creator and moves the entry to the end.
class ModuleCreators : public ModuleStructuredDetails::ModuleMap<ModuleCreatorsTraits> {
public:
    template <class T> void add(std::string name)
    {
        ModuleMap::add(std::move(name), std::make_unique<ModuleCreator<T>>());
    }
    // A creator made in another file: a table of large models compiles each
    // model's code once, in a file of its own, not in every user of the table.
    void add(std::string name, std::unique_ptr<ModuleCreatorBase> creator)
    {
        ModuleMap::add(std::move(name), std::move(creator));
    }

    // A new module of the type registered under the name; UnknownName when none is.
    std::unique_ptr<Module> create(std::string_view name) const { return get(name).create(); }
};

} // namespace AudioEngine::ModuleSelectorDetails
