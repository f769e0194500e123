#include "plugin/rig/Module.h"

#include "plugin/document/XmlText.h"

#include <tinyxml.h>

#include <ostream>

namespace Zq::BorvanRAZ::Document {

using Application::DocView::ConverterdBNorm;
using Application::DocView::ConverterNull;
using Application::DocView::RangeFloat;
using Application::DocView::RangeInt;

namespace {

constexpr const char* kModulePresetTemplate =
    "<?xml version=\"1.0\" standalone='no'>\n<Preset>\n</Preset>";

} // namespace

Module::Module(bool switchesSaved)
{
    addParameter("Mute", mute, 0.0f, RangeInt(0, 1), switchesSaved);
    addParameter("Bypass", bypass, 0.0f, RangeInt(0, 1), switchesSaved);
}

Module::~Module() = default;

void Module::load(std::istream& in)
{
    beforeLoad();
    TiXmlDocument document;
    if (parseText(document, readAll(in)))
        load(*document.RootElement());
    afterLoad();
}

void Module::save(std::ostream& out) const
{
    TiXmlDocument document;
    document.Parse(kModulePresetTemplate);
    save(*document.RootElement());
    out << printText(document);
}

// The level knob spans -20 ... +20 dB with unity gain at its centre.
MacroModule::MacroModule(bool switchesSaved) : Module(switchesSaved)
{
    addParameter("OutputVolume", outputVolume, 1.0f, RangeFloat(0.1f, 10.0f),
                 ConverterdBNorm(-20.0f, 20.0f), true);
}

MacroModule::~MacroModule() = default;

StereoMacroModule::StereoMacroModule()
{
    addParameter("OutputPan", outputPan, 0.5f, RangeFloat(0.0f, 1.0f), ConverterNull(), true);
}

StereoMacroModule::~StereoMacroModule() = default;

} // namespace Zq::BorvanRAZ::Document
