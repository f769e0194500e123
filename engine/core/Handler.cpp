#include "engine/core/Handler.h"

namespace AudioEngine {

ParameterBase& ParameterHandler::getParameter(std::string_view name) const
{
    return parameters_.get(name, instanceName_);
}

void ParameterHandler::setParameter(std::string_view name, float value)
{
    getParameter(name).set(value);
}

DataBlockBase& DataBlockHandler::getDataBlock(std::string_view name) const
{
    return dataBlocks_.get(name, ownerName());
}

void DataBlockHandler::setDataBlock(std::string_view name, DataBlockBase::Value value)
{
    getDataBlock(name).set(value);
}

} // namespace AudioEngine
