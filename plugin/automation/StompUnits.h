#pragma once

#include "plugin/automation/UnitConnectable.h"
#include "plugin/rig/StompModels.h"

#include <string>

namespace Zq::BorvanRAZ::Automation {

// A stomp model's host parameters, led by its "Bypass". The prefix is the
// model's display name and a blank ("Compressor ").
class StompBox : public UnitConnectable {
public:
    StompBox(AutomationList& list, std::string prefix);
    ~StompBox() override;

    // Binds "Bypass" to the model document's, or unbinds it.
    void connect(UnitDoc* unit) override;
    bool isConnected() override;

private:
    AdapterAutomation* bypass_;
};

// A stomp model unit over the document class Doc: a document of any other
// class connects it to nothing.
template <class Doc> class StompModel : public StompBox {
public:
    using StompBox::StompBox;

    void connect(UnitDoc* unit) override
    {
        Doc* document = dynamic_cast<Doc*>(unit);
        StompBox::connect(document);
        if (document)
            bindings_.bind(*document);
        else
            bindings_.unbind();
    }

protected:
    ModelBindings<Doc> bindings_;
};

// "Analog Chorus".
class StompRI1 : public StompModel<Document::StompRI1> {
public:
    StompRI1(AutomationList& list, std::string prefix);
};

// "Borvan DLK-OD".
class StompOverdrive : public StompModel<Document::StompOverdrive> {
public:
    StompOverdrive(AutomationList& list, std::string prefix);
};

// "Borvan DLK-OCT".
class StompOctaver : public StompModel<Document::StompOctaver> {
public:
    StompOctaver(AutomationList& list, std::string prefix);
};

// "Analog Delay".
class StompMemoryMan : public StompModel<Document::StompMemoryMan> {
public:
    StompMemoryMan(AutomationList& list, std::string prefix);
};

// "Bass Wah".
class StompWah : public StompModel<Document::StompWah> {
public:
    StompWah(AutomationList& list, std::string prefix);
};

// "Compressor".
class StompDynaComp : public StompModel<Document::StompDynaComp> {
public:
    StompDynaComp(AutomationList& list, std::string prefix);
};

// "Envelope Filter".
class StompEnvelopeFilter : public StompModel<Document::StompEnvelopeFilter> {
public:
    StompEnvelopeFilter(AutomationList& list, std::string prefix);
};

// "Volume Pedal".
class StompVolume : public StompModel<Document::StompVolume> {
public:
    StompVolume(AutomationList& list, std::string prefix);
};

} // namespace Zq::BorvanRAZ::Automation
