#include "plugin/docview/UnitMAF.h"

#include <memory>

namespace Zq::Application::DocView {

UnitMAF::UnitMAF(MAFInterface* dsp, std::string basePath)
    : dsp_(dsp), basePath_(std::move(basePath))
{
}

UnitMAF::~UnitMAF() = default;

std::string UnitMAF::makePath(const std::string& component) const
{
    return component + "_" + basePath_;
}

AdapterMAFParam* UnitMAF::addParam(const std::string& path, Parameter* parameter)
{
    auto adapter = std::make_unique<AdapterMAFParam>(dsp_, path, parameter);
    AdapterMAFParam* added = adapter.get();
    addAdapter(std::move(adapter));
    added->push();
    return added;
}

AdapterMAFParam* UnitMAF::addParam(const std::string& path, Parameter* parameter,
                                   const Converter& converter)
{
    auto adapter = std::make_unique<AdapterMAFParam>(dsp_, path, parameter);
    adapter->setConverter(converter);
    AdapterMAFParam* added = adapter.get();
    addAdapter(std::move(adapter));
    added->push();
    return added;
}

AdapterMAFParamEnum* UnitMAF::addParamEnum(const std::string& path, Parameter* parameter,
                                           const char* const* valueNames, int count)
{
    std::vector<float> table;
    if (valueNames && count > 0) {
        table.reserve(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i)
            table.push_back(dsp_ && valueNames[i] ? dsp_->lookupNamedValue(path, valueNames[i])
                                                  : 0.0f);
    }
    auto adapter = std::make_unique<AdapterMAFParamEnum>(dsp_, path, parameter, std::move(table));
    AdapterMAFParamEnum* added = adapter.get();
    addAdapter(std::move(adapter));
    added->push();
    return added;
}

AdapterMAFParamEnum* UnitMAF::addParamEnum(const std::string& path, Parameter* parameter,
                                           const float* values, int count)
{
    std::vector<float> table;
    if (values && count > 0)
        table.assign(values, values + count);
    auto adapter = std::make_unique<AdapterMAFParamEnum>(dsp_, path, parameter, std::move(table));
    AdapterMAFParamEnum* added = adapter.get();
    addAdapter(std::move(adapter));
    added->push();
    return added;
}

AdapterMAFParamStatus* UnitMAF::addStatus(const std::string& path, Parameter* parameter)
{
    auto adapter = std::make_unique<AdapterMAFParamStatus>(dsp_, path, parameter);
    AdapterMAFParamStatus* added = adapter.get();
    statuses_.reserve(statuses_.size() + 1);
    addAdapter(std::move(adapter));
    statuses_.push_back(added);
    return added;
}

void UnitMAF::update()
{
    for (AdapterMAFParamStatus* status : statuses_)
        status->push();
}

void UnitMAF::releaseBindings() noexcept
{
    statuses_.clear();
    clearAdapters();
}

} // namespace Zq::Application::DocView
