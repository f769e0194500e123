#pragma once

#include <cstdint>
#include <string>

namespace AudioEngine {

class DataBlockHandler;

// A named untyped pointer-sized value that composites forward to their
// sub-modules like parameters. The framework never interprets the value.
class DataBlockBase {
public:
    using Value = std::uintptr_t;

    DataBlockBase() = default;
    DataBlockBase(const DataBlockBase&) = delete;
    DataBlockBase& operator=(const DataBlockBase&) = delete;
    virtual ~DataBlockBase() = default;

    virtual void set(Value value) = 0;
    virtual Value get() const = 0;
    virtual const std::string& getName() const = 0;
    virtual const std::string& getLabel() const = 0;
};

// Stands for a data block of a sub-module; setting goes through the
// sub-module's setDataBlock.
class DataBlockLinked : public DataBlockBase {
public:
    DataBlockLinked(DataBlockHandler* module, std::string targetName, std::string name,
                    std::string label);
    DataBlockLinked(DataBlockHandler* module, std::string targetName);
    DataBlockLinked(const DataBlockLinked& other);

    void set(Value value) override;
    Value get() const override;
    const std::string& getName() const override { return name_; }
    const std::string& getLabel() const override { return label_; }

    virtual void relink(DataBlockHandler* module);

    const std::string& getTargetName() const noexcept { return targetName_; }
    DataBlockHandler* getModule() const noexcept { return module_; }

private:
    DataBlockHandler* module_;
    DataBlockBase* target_;
    std::string targetName_;
    std::string name_;
    std::string label_;
};

} // namespace AudioEngine
