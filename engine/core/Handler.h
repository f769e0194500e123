#pragma once

#include "engine/core/MapPointer.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace AudioEngine {

class Handler {
protected:
    Handler() = default;
    ~Handler() = default;
};

// The named parameters of a module. Lookups that must succeed (getParameter,
// setParameter) throw UnknownName for a name never registered; findParameter
// is the query that may miss.
class ParameterHandler : public Handler {
public:
    ParameterHandler() = default;
    ParameterHandler(const ParameterHandler&) = delete;
    ParameterHandler& operator=(const ParameterHandler&) = delete;
    virtual ~ParameterHandler() = default;

    virtual ParameterBase& getParameter(std::string_view name) const;
    virtual Parameters& getParameters() { return parameters_; }
    virtual void setParameter(std::string_view name, float value);
    virtual std::uint32_t getParameterCount() const
    {
        return static_cast<std::uint32_t>(parameters_.size());
    }

    ParameterBase* findParameter(std::string_view name) const noexcept
    {
        return parameters_.find(name);
    }
    const Parameters& getParameters() const { return parameters_; }

    const std::string& getInstanceName() const noexcept { return instanceName_; }
    void setInstanceName(std::string name) { instanceName_ = std::move(name); }

protected:
    std::string instanceName_;
    Parameters parameters_;
};

class DataBlockHandler : public Handler {
public:
    DataBlockHandler() = default;
    DataBlockHandler(const DataBlockHandler&) = delete;
    DataBlockHandler& operator=(const DataBlockHandler&) = delete;
    virtual ~DataBlockHandler() = default;

    virtual DataBlockBase& getDataBlock(std::string_view name) const;
    virtual DataBlocks& getDataBlocks() { return dataBlocks_; }
    virtual void setDataBlock(std::string_view name, DataBlockBase::Value value);
    virtual std::uint32_t getDataBlockCount() const
    {
        return static_cast<std::uint32_t>(dataBlocks_.size());
    }

    DataBlockBase* findDataBlock(std::string_view name) const noexcept
    {
        return dataBlocks_.find(name);
    }
    const DataBlocks& getDataBlocks() const { return dataBlocks_; }

protected:
    // For error messages: the name the owner gave this module.
    virtual std::string_view ownerName() const { return {}; }

    DataBlocks dataBlocks_;
};

} // namespace AudioEngine
