#include "plugin/docview/Parameter.h"

#include <new>

namespace Zq::Application::DocView {

namespace {

// Every parameter starts on one [0, 1] range and one identity converter. They
// are never destroyed, so no parameter (a static one included) can outlive
// them, and the first parameter created after all others died finds them
// ready. They live in static storage rather than on the heap: a module that
// is unloaded leaves nothing behind that looks like a leak.
template <class T, class... Args> const T& immortal(Args... args)
{
    alignas(T) static unsigned char storage[sizeof(T)];
    static const T* const object = new (storage) T(args...);
    return *object;
}

const Range& sharedRange()
{
    return immortal<RangeFloat>(0.0f, 1.0f);
}

const Converter& sharedConverter()
{
    return immortal<ConverterNull>();
}

float clampUnit(float n)
{
    if (!(n > 0.0f)) // NaN included
        return 0.0f;
    if (n >= 1.0f)
        return 1.0f;
    return n;
}

} // namespace

Parameter::Parameter() : range_(&sharedRange()), converter_(&sharedConverter())
{
}

Parameter::~Parameter() = default;

void Parameter::setValue(float v, bool notify)
{
    const float c = range_->constrain(v);
    if (c == value_)
        return;
    value_ = c;
    if (notify)
        changed(this);
}

float Parameter::getNormalized() const
{
    return clampUnit(converter_->toNormalized(value_));
}

void Parameter::setNormalized(float n, bool notify)
{
    setValue(converter_->fromNormalized(clampUnit(n)), notify);
}

float Parameter::getDefaultNormalized() const
{
    return converter_->toNormalized(default_);
}

void Parameter::setRange(const Range& range)
{
    // Clone before letting go: the argument may be this parameter's own range.
    auto copy = range.clone();
    ownRange_ = std::move(copy);
    range_ = ownRange_.get();
}

void Parameter::setConverter(const Converter& converter)
{
    auto copy = converter.clone();
    ownConverter_ = std::move(copy);
    converter_ = ownConverter_.get();
}

void Parameter::notifyChanged()
{
    changed(this);
}

} // namespace Zq::Application::DocView
