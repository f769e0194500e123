#pragma once

#include "plugin/docview/AdapterMAF.h"
#include "plugin/docview/UnitView.h"

#include <string>
#include <vector>

namespace Zq::Application::DocView {

// The DSP side's view of a document unit: adapters from its parameters to DSP
// parameters below one base path. Engine units derive from it.
class UnitMAF : public UnitView {
public:
    UnitMAF(MAFInterface* dsp, std::string basePath);
    ~UnitMAF() override;

    // component + "_" + base path: "Gain" below "Master_Output" is "Gain_Master_Output".
    std::string makePath(const std::string& component) const;

    // A document-to-DSP binding, pushed at once.
    AdapterMAFParam* addParam(const std::string& path, Parameter* parameter);
    AdapterMAFParam* addParam(const std::string& path, Parameter* parameter,
                              const Converter& converter);
    // An enumerated binding whose table holds the DSP's value for each of the
    // count names, looked up through the DSP interface; pushed at once.
    AdapterMAFParamEnum* addParamEnum(const std::string& path, Parameter* parameter,
                                      const char* const* valueNames, int count);
    // The same with the DSP values given.
    AdapterMAFParamEnum* addParamEnum(const std::string& path, Parameter* parameter,
                                      const float* values, int count);
    // A DSP-to-document read-back, first transferred by the next update.
    AdapterMAFParamStatus* addStatus(const std::string& path, Parameter* parameter);

    // Reads every read-back into the document, in the order they were added.
    // Audio thread, once a block, with the document lock held.
    virtual void update();

    // Drops every binding and read-back: the unit pushes and reads nothing
    // any more.
    void releaseBindings() noexcept;

    MAFInterface* getMAFInterface() const noexcept { return dsp_; }
    const std::string& getBasePath() const noexcept { return basePath_; }

private:
    MAFInterface* dsp_;
    std::string basePath_;
    std::vector<AdapterMAFParamStatus*> statuses_; // also in the owned list
};

} // namespace Zq::Application::DocView
