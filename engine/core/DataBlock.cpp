#include "engine/core/DataBlock.h"

#include "engine/core/Handler.h"

namespace AudioEngine {

DataBlockLinked::DataBlockLinked(DataBlockHandler* module, std::string targetName, std::string name,
                                 std::string label)
    : module_(module), target_(&module->getDataBlock(targetName)),
      targetName_(std::move(targetName)), name_(std::move(name)), label_(std::move(label))
{
}

DataBlockLinked::DataBlockLinked(DataBlockHandler* module, std::string targetName)
    : module_(module), target_(&module->getDataBlock(targetName)),
      targetName_(std::move(targetName)), name_(target_->getName()), label_(target_->getLabel())
{
}

DataBlockLinked::DataBlockLinked(const DataBlockLinked& other)
    : DataBlockBase(), module_(other.module_), target_(other.target_),
      targetName_(other.targetName_), name_(other.name_), label_(other.label_)
{
}

void DataBlockLinked::set(Value value)
{
    module_->setDataBlock(targetName_, value);
}
DataBlockBase::Value DataBlockLinked::get() const
{
    return target_->get();
}

void DataBlockLinked::relink(DataBlockHandler* module)
{
    DataBlockBase* target = &module->getDataBlock(targetName_);
    module_ = module;
    target_ = target;
}

} // namespace AudioEngine
