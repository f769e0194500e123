#pragma once

#include "plugin/DUZ2.h"
#include "plugin/docview/AdapterGUI.h"
#include "plugin/docview/MAFInterface.h"
#include "plugin/docview/ShortText.h"

#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace Zq::Application::DocView {
inline void PrintTo(const ShortText& text, std::ostream* out)
{
    *out << '"' << text.view() << '"';
}
} // namespace Zq::Application::DocView

namespace test {

using Zq::Application::DocView::Parameter;

// A DSP interface that keeps every value sent to it, answers reads from a
// table (0 for a path it does not know) and gives each value name a number.
class RecordingMAF : public Zq::Application::DocView::MAFInterface {
public:
    struct Call {
        std::string path;
        float value;
        bool operator==(const Call&) const = default;
    };

    void setParameterByName(const std::string& path, const std::string& valueName) override
    {
        calls.push_back({path, lookupNamedValue(path, valueName)});
    }
    void setParameter(const std::string& path, float value) override
    {
        calls.push_back({path, value});
    }
    float getParameter(const std::string& path) override
    {
        reads.push_back(path);
        const auto found = values.find(path);
        return found == values.end() ? 0.0f : found->second;
    }
    float lookupNamedValue(const std::string& path, const std::string& valueName) override
    {
        lookups.push_back(path + ":" + valueName);
        const auto found = namedValues.find(valueName);
        return found == namedValues.end() ? 0.0f : found->second;
    }

    std::vector<Call> calls;
    std::vector<std::string> reads;
    std::vector<std::string> lookups;
    std::map<std::string, float> values;
    std::map<std::string, float> namedValues;
};

// A processor that keeps what the automation list reports and may act from
// inside a report (as a host that answers a report with a write would).
class RecordingProcess : public Zq::DUZ2::Process {
public:
    struct Report {
        std::int32_t index;
        float plain;
        float normalized;
        bool operator==(const Report&) const = default;
    };

    RecordingProcess() : Zq::DUZ2::Process(nullptr) {}

    void notifyHostParameter(std::int32_t index, float plain, float normalized) override
    {
        reports.push_back({index, plain, normalized});
        if (onReport)
            onReport(index);
    }

    std::vector<Report> reports;
    std::function<void(std::int32_t)> onReport;

    const char* getName() override { return ""; }
    const char* getVendor() override { return ""; }
    std::int32_t getFlags() override { return 0; }
    std::int32_t getNumInputs() override { return 0; }
    std::int32_t getNumOutputs() override { return 0; }
    void setNumInputChannels(std::int32_t) override {}
    void setNumOutputChannels(std::int32_t) override {}
    void resume() override {}
    void suspend() override {}
    void setBlockSize(std::int32_t) override {}
    void setSampleRate(float) override {}
    void startProcess() override {}
    void stopProcess() override {}
    void processMidiEvents(Zq::DUZ2::MidiEvent*, std::int32_t) override {}
    void processInPlace(float**, std::int32_t, std::int32_t*) override {}
    void process(float**, float**, std::int32_t, std::int32_t*) override {}
    std::int32_t getNumParameters() override { return 0; }
    const char* getParameterName(std::int32_t) override { return ""; }
    const char* getParameterDisplay(std::int32_t) override { return ""; }
    float getParameterValue(std::int32_t) override { return 0.0f; }
    float getParameterNormalized(std::int32_t) override { return 0.0f; }
    void setParameterValue(std::int32_t, float) override {}
    void setParameterNormalized(std::int32_t, float) override {}
    const char* getParameterTextForNormalized(std::int32_t, float) override { return ""; }
    float convertNormalizedToPlain(std::int32_t, float) override { return 0.0f; }
    void setChunk(const void*, std::int32_t) override {}
    std::int32_t getChunk(void**) override { return 0; }
    void releaseChunk() override {}
};

// A widget-style view: records every value it is shown and can be moved.
class RecordingWidget : public Zq::Application::DocView::AdapterGUI {
public:
    using AdapterGUI::AdapterGUI;

    void move(float normalized) { widgetChanged(normalized); }

    std::vector<float> shown;

protected:
    void show(const Parameter& parameter) override { shown.push_back(parameter.getNormalized()); }
};

} // namespace test
