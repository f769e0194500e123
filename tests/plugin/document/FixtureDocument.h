#pragma once

#include "plugin/document/Main.h"

#include <map>
#include <string>

// A small rig-like tree under the document: "Amp" with a number, an enum and
// its model below it, and "Cab" with one number.
struct FixtureDocument : Zq::BorvanRAZ::Document::Main {
    using Parameter = Zq::Application::DocView::Parameter;
    using RangeFloat = Zq::Application::DocView::RangeFloat;
    using UnitDoc = Zq::Application::DocView::UnitDoc;

    static constexpr const char* kVoices[] = {"Warm", "Bright", "Dark"};

    Parameter gain, voice, bass, mix;
    UnitDoc amp, ampModel, cab;

    FixtureDocument()
    {
        amp.addParameter("Gain", gain, -12.0f, RangeFloat(-60.0f, 12.0f), true);
        amp.addParameter("Voice", voice, 1, 3, kVoices, true);
        ampModel.addParameter("Bass", bass, 5.0f, RangeFloat(0.0f, 10.0f), true);
        amp.addSubUnit("AmpModel", &ampModel);
        cab.addParameter("Mix", mix, 0.1f, RangeFloat(0.0f, 1.0f), true);
        // Registered out of order: the XML follows the names.
        addSubUnit("Cab", &cab);
        addSubUnit("Amp", &amp);
        connectCounter(presetNameChanged, "name");
        connectCounter(beforeLoad, "before");
        connectCounter(afterLoad, "after");
    }

    void setAll(float g, float v, float b, float m)
    {
        gain.setValue(g, true);
        voice.setValue(v, true);
        bass.setValue(b, true);
        mix.setValue(m, true);
    }

    std::map<std::string, float> values() const
    {
        return {{"gain", gain.getValue()},
                {"voice", voice.getValue()},
                {"bass", bass.getValue()},
                {"mix", mix.getValue()}};
    }

    std::map<std::string, int> fired;

private:
    void connectCounter(boost::signals2::signal<void()>& signal, const std::string& name)
    {
        signal.connect([this, name] { ++fired[name]; });
    }
};
