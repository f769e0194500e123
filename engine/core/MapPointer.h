#pragma once

#include "engine/core/DataBlock.h"
#include "engine/core/Parameter.h"
#include "engine/core/Port.h"
#include "engine/core/UnknownName.h"

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>

namespace AudioEngine::AudioContainers {

// A name map that owns its pointees. It enumerates in name order, so that
// step-wise pairing of ports ("In"/"InDry", "OutL"/"OutR") and the host's
// channel assignment do not depend on hashing.
template <class Traits> class MapPointer {
public:
    using Value = typename Traits::Value;
    using Storage = std::map<std::string, std::unique_ptr<Value>, std::less<>>;

    MapPointer() = default;
    MapPointer(const MapPointer&) = delete;
    MapPointer& operator=(const MapPointer&) = delete;
    virtual ~MapPointer() = default;

    // Registers the object under the name. A name that is taken keeps its first
    // object; the refused one is destroyed and null returned.
    template <class T> T* insert(const std::string& name, std::unique_ptr<T> item)
    {
        T* raw = item.get();
        auto [it, inserted] = items_.try_emplace(name, std::move(item));
        (void)it;
        return inserted ? raw : nullptr;
    }

    Value* find(std::string_view name) const noexcept
    {
        auto it = items_.find(name);
        return it == items_.end() ? nullptr : it->second.get();
    }

    Value& get(std::string_view name, std::string_view owner = {}) const
    {
        if (Value* item = find(name))
            return *item;
        throw UnknownName(Traits::kind, name, owner);
    }

    bool contains(std::string_view name) const noexcept { return find(name) != nullptr; }
    bool erase(std::string_view name)
    {
        auto it = items_.find(name);
        if (it == items_.end())
            return false;
        items_.erase(it);
        return true;
    }
    template <class Predicate> void eraseIf(Predicate predicate)
    {
        std::erase_if(items_, [&](const auto& entry) { return predicate(*entry.second); });
    }
    void clear() { items_.clear(); }

    std::size_t size() const noexcept { return items_.size(); }
    bool empty() const noexcept { return items_.empty(); }
    auto begin() const noexcept { return items_.begin(); }
    auto end() const noexcept { return items_.end(); }

    // Port registration: each makes a new port with the prototype's name and
    // description and registers it under the given name.
    Input* addInput(const Port& prototype,
                    const std::string& name) requires std::is_same_v<Value, Input>
    {
        return insert(name,
                      std::make_unique<Input>(prototype.getName(), prototype.getDescription()));
    }
    OutputHierarchic*
    addHierarchicOutput(const Port& prototype,
                        const std::string& name) requires std::is_same_v<Value, Output>
    {
        return insert(name, std::make_unique<OutputHierarchic>(prototype.getName(),
                                                               prototype.getDescription(),
                                                               prototype.getSource()));
    }
    OutputConnectable*
    addConnectableOutput(const Port& prototype,
                         const std::string& name) requires std::is_same_v<Value, Output>
    {
        return insert(name, std::make_unique<OutputConnectable>(prototype.getName(),
                                                                prototype.getDescription(),
                                                                prototype.getSource()));
    }
    OutputBuffered*
    addBufferedOutput(const OutputBuffered& prototype,
                      const std::string& name) requires std::is_same_v<Value, Output>
    {
        return insert(name, std::make_unique<OutputBuffered>(prototype.getName(),
                                                             prototype.getDescription(),
                                                             prototype.getCapacity()));
    }

    // Registers a heap copy of the parameter, of its own type.
    template <class P>
    P* addParameter(const P& parameter, const std::string& name) requires
        std::is_same_v<Value, ParameterBase> && std::is_base_of_v<ParameterBase, P>
    {
        return insert(name, std::make_unique<P>(parameter));
    }
    DataBlockLinked*
    addLinkedDataBlock(const DataBlockLinked& link,
                       const std::string& name) requires std::is_same_v<Value, DataBlockBase>
    {
        return insert(name, std::make_unique<DataBlockLinked>(link));
    }

private:
    Storage items_;
};

} // namespace AudioEngine::AudioContainers

namespace AudioEngine::ParameterHandlerDetails {
struct ParametersTraits {
    using Value = ParameterBase;
    static constexpr const char* kind = "parameter";
};
} // namespace AudioEngine::ParameterHandlerDetails

namespace AudioEngine::DataBlockHandlerDetails {
struct DataBlocksTraits {
    using Value = DataBlockBase;
    static constexpr const char* kind = "data block";
};
} // namespace AudioEngine::DataBlockHandlerDetails

namespace AudioEngine::ModuleDetails {
struct InputsTraits {
    using Value = Input;
    static constexpr const char* kind = "input";
};
struct OutputsTraits {
    using Value = Output;
    static constexpr const char* kind = "output";
};
} // namespace AudioEngine::ModuleDetails

namespace AudioEngine {
using Parameters = AudioContainers::MapPointer<ParameterHandlerDetails::ParametersTraits>;
using DataBlocks = AudioContainers::MapPointer<DataBlockHandlerDetails::DataBlocksTraits>;
using Inputs = AudioContainers::MapPointer<ModuleDetails::InputsTraits>;
using Outputs = AudioContainers::MapPointer<ModuleDetails::OutputsTraits>;
} // namespace AudioEngine
