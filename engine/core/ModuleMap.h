#pragma once

#include "engine/core/UnknownName.h"

#include <algorithm>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace AudioEngine::ModuleStructuredDetails {

// An ordered list of named, owned entries (sub-modules of a composite, creators
// of a creator table). Order is creation order; adding a name that is present
// destroys the old entry and appends the new one at the end.
template <class Traits> class ModuleMap {
public:
    using Value = typename Traits::Value;
    struct Entry {
        std::string name;
        std::unique_ptr<Value> module;
    };

    ModuleMap() = default;
    ModuleMap(const ModuleMap&) = delete;
    ModuleMap& operator=(const ModuleMap&) = delete;
    virtual ~ModuleMap() = default;

    template <class T> T* add(std::string name, std::unique_ptr<T> item)
    {
        erase(name);
        T* raw = item.get();
        entries_.push_back({std::move(name), std::move(item)});
        return raw;
    }

    bool erase(std::string_view name)
    {
        auto it = std::find_if(entries_.begin(), entries_.end(),
                               [&](const Entry& entry) { return entry.name == name; });
        if (it == entries_.end())
            return false;
        entries_.erase(it);
        return true;
    }

    Value* find(std::string_view name) const noexcept
    {
        for (const Entry& entry : entries_)
            if (entry.name == name)
                return entry.module.get();
        return nullptr;
    }

    Value& get(std::string_view name, std::string_view owner = {}) const
    {
        if (Value* item = find(name))
            return *item;
        throw UnknownName(Traits::kind, name, owner);
    }

    std::size_t size() const noexcept { return entries_.size(); }
    bool empty() const noexcept { return entries_.empty(); }
    const Entry& operator[](std::size_t index) const { return entries_[index]; }
    const Entry& front() const { return entries_.front(); }
    const Entry& back() const { return entries_.back(); }
    auto begin() const noexcept { return entries_.begin(); }
    auto end() const noexcept { return entries_.end(); }

private:
    std::vector<Entry> entries_;
};

} // namespace AudioEngine::ModuleStructuredDetails
