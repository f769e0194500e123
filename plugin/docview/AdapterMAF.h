#pragma once

#include "plugin/docview/Adapter.h"
#include "plugin/docview/Converter.h"
#include "plugin/docview/MAFInterface.h"

#include <boost/signals2/connection.hpp>

#include <memory>
#include <string>
#include <vector>

namespace Zq::Application::DocView {

// Binds a document parameter to a DSP parameter named by its path.
class AdapterMAF : public Adapter {
public:
    AdapterMAF(MAFInterface* dsp, std::string path, Parameter* parameter);
    ~AdapterMAF() override;

    // Brings the bound parameter and the DSP into line; what that means
    // depends on the direction the adapter carries.
    virtual void push() = 0;

    const std::string& getPath() const noexcept { return path_; }

protected:
    MAFInterface* dsp() const noexcept { return dsp_; }

private:
    MAFInterface* dsp_;
    std::string path_;
};

// Document to DSP: every change of the parameter sends its value, through the
// converter, to the DSP; so does push. Runs on the thread that changed the
// parameter.
class AdapterMAFParam : public AdapterMAF {
public:
    AdapterMAFParam(MAFInterface* dsp, std::string path, Parameter* parameter);
    ~AdapterMAFParam() override;

    void push() override;
    // Keeps a clone; the identity until then.
    void setConverter(const Converter& converter);

private:
    void send(const Parameter& parameter);

    std::unique_ptr<Converter> ownConverter_;
    const Converter* converter_;
    boost::signals2::scoped_connection connection_;
};

// Document to DSP for an enumerated parameter: the parameter's whole value i
// sends entry i of a table of DSP values. A value that is not finite or names
// no entry sends nothing.
class AdapterMAFParamEnum : public AdapterMAF {
public:
    AdapterMAFParamEnum(MAFInterface* dsp, std::string path, Parameter* parameter,
                        std::vector<float> table);
    ~AdapterMAFParamEnum() override;

    void push() override;

    const std::vector<float>& getTable() const noexcept { return table_; }

private:
    void send(const Parameter& parameter);

    std::vector<float> table_;
    boost::signals2::scoped_connection connection_;
};

// DSP to document: push reads the DSP value into the parameter, with
// notification. Only UnitMAF::update calls it, once a block on the audio
// thread while it holds the document lock.
class AdapterMAFParamStatus : public AdapterMAF {
public:
    using AdapterMAF::AdapterMAF;
    ~AdapterMAFParamStatus() override;

    void push() override;
};

} // namespace Zq::Application::DocView
