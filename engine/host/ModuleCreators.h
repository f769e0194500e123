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

    // A new module of the type registered under the name; UnknownName when none is.
    std::unique_ptr<Module> create(std::string_view name) const { return get(name).create(); }
};

} // namespace AudioEngine::ModuleSelectorDetails
