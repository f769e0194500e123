#include "plugin/docview/AdapterMAF.h"

#include "plugin/docview/EnumIndex.h"

#include <new>

namespace Zq::Application::DocView {

namespace {

const Converter& identity()
{
    // Never destroyed: an adapter in a static view may outlive any static. It
    // lives in static storage rather than on the heap, so a module that is
    // unloaded leaves nothing behind that looks like a leak.
    alignas(ConverterNull) static unsigned char storage[sizeof(ConverterNull)];
    static const Converter* const converter = new (storage) ConverterNull;
    return *converter;
}

} // namespace

AdapterMAF::AdapterMAF(MAFInterface* dsp, std::string path, Parameter* parameter)
    : Adapter(parameter), dsp_(dsp), path_(std::move(path))
{
}

AdapterMAF::~AdapterMAF() = default;

AdapterMAFParam::AdapterMAFParam(MAFInterface* dsp, std::string path, Parameter* parameter)
    : AdapterMAF(dsp, std::move(path), parameter), converter_(&identity())
{
    if (parameter)
        connection_ = parameter->changed.connect([this](Parameter* changed) {
            if (changed)
                send(*changed);
        });
}

AdapterMAFParam::~AdapterMAFParam() = default;

void AdapterMAFParam::push()
{
    if (getParameter())
        send(*getParameter());
}

void AdapterMAFParam::setConverter(const Converter& converter)
{
    auto copy = converter.clone();
    ownConverter_ = std::move(copy);
    converter_ = ownConverter_.get();
}

void AdapterMAFParam::send(const Parameter& parameter)
{
    if (isDisabled() || !dsp())
        return;
    dsp()->setParameter(getPath(), converter_->toNormalized(parameter.getValue()));
}

AdapterMAFParamEnum::AdapterMAFParamEnum(MAFInterface* dsp, std::string path, Parameter* parameter,
                                         std::vector<float> table)
    : AdapterMAF(dsp, std::move(path), parameter), table_(std::move(table))
{
    if (parameter)
        connection_ = parameter->changed.connect([this](Parameter* changed) {
            if (changed)
                send(*changed);
        });
}

AdapterMAFParamEnum::~AdapterMAFParamEnum() = default;

void AdapterMAFParamEnum::push()
{
    if (getParameter())
        send(*getParameter());
}

void AdapterMAFParamEnum::send(const Parameter& parameter)
{
    if (isDisabled() || !dsp())
        return;
    // The range normally keeps the value inside the table; a NaN, or a range
    // wider than the table, must still never index past it.
    if (const auto i = enumIndex(parameter.getValue(), table_.size()))
        dsp()->setParameter(getPath(), table_[static_cast<std::size_t>(*i)]);
}

AdapterMAFParamStatus::~AdapterMAFParamStatus() = default;

void AdapterMAFParamStatus::push()
{
    if (isDisabled() || !dsp() || !getParameter())
        return;
    getParameter()->setValue(dsp()->getParameter(getPath()), true);
}

} // namespace Zq::Application::DocView
