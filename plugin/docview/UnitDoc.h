#pragma once

#include "plugin/docview/Converter.h"
#include "plugin/docview/Parameter.h"
#include "plugin/docview/Range.h"

#include <boost/signals2/trackable.hpp>

#include <map>
#include <string>

class TiXmlElement;

namespace Zq::Application::DocView {

// A unit of the document: named parameters and named sub-units, written to and
// read from one XML element. Each saved parameter is an attribute of the
// unit's element, each sub-unit a child element named after its key. Both
// tables run in byte-wise name order ("C" before "a"), which fixes the order of
// attributes and children in every preset.
//
// The tables own nothing: concrete units keep their parameters as members and
// the value names of enumerated parameters as static data.
class UnitDoc : public boost::signals2::trackable {
public:
    UnitDoc() = default;
    UnitDoc(const UnitDoc&) = delete;
    UnitDoc& operator=(const UnitDoc&) = delete;
    virtual ~UnitDoc();

    virtual void load(const TiXmlElement& element);
    virtual void save(TiXmlElement& element) const;
    virtual void loadParameters(const TiXmlElement& element);
    virtual void loadSubUnits(const TiXmlElement& element);
    virtual void saveParameters(TiXmlElement& element) const;
    virtual void saveSubUnits(TiXmlElement& element) const;

    // Sets the parameter up with clones of range and converter, sets it to the
    // default with notification and, when persistent, enters it under the name
    // (replacing a parameter of that name); then fires its change signal once
    // more so that every view shows the initial value.
    void addParameter(const std::string& name, Parameter& parameter, float defaultValue,
                      const Range& range, const Converter& converter, bool persistent);
    // As above with a linear converter over the range.
    void addParameter(const std::string& name, Parameter& parameter, float defaultValue,
                      const Range& range, bool persistent);
    // An enumerated parameter: whole values 0 ... count - 1, saved and loaded
    // by the names in valueNames (count entries).
    void addParameter(const std::string& name, Parameter& parameter, int defaultValue, int count,
                      const char* const* valueNames, bool persistent);

    // Replaces any sub-unit of that name; a null unit only removes.
    void addSubUnit(const std::string& name, UnitDoc* unit);
    void removeSubUnit(const std::string& name);

private:
    struct Entry {
        Parameter* parameter;
        const char* const* valueNames; // null for a numeric parameter
        int valueCount;
    };

    void enter(const std::string& name, Parameter& parameter, const char* const* valueNames,
               int valueCount);

    std::map<std::string, Entry> parameters_;
    std::map<std::string, UnitDoc*> subUnits_;
};

} // namespace Zq::Application::DocView
