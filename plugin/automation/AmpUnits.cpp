#include "plugin/automation/AmpUnits.h"

#include "plugin/rig/AmpControls.h"

namespace Zq::BorvanRAZ::Automation {

template <class Doc> void AmpModel<Doc>::addParameters()
{
    using Document::AmpControl;
    using Kind = Document::AmpControlHost::Kind;
    const auto rows = Document::ampControlsInOrder<Doc>(
        [](const AmpControl<Doc>& row) { return row.host.position; });
    for (const AmpControl<Doc>* row : rows) {
        const Document::AmpControlHost& host = row->host;
        AdapterAutomation* adapter = nullptr;
        switch (host.kind) {
        case Kind::Number:
            adapter = addParam(nullptr, host.name, host.precision, host.unit);
            break;
        case Kind::Decibel:
            adapter = addParamdB(nullptr, host.name, host.precision);
            break;
        case Kind::Enum:
            adapter = addParamEnum(nullptr, host.name, host.valueNames, host.valueCount);
            break;
        case Kind::None:
            continue;
        }
        bindings_.add(adapter,
                      [member = row->member](Doc& d) -> Parameter& { return member.of(d); });
    }
}

template class AmpModel<Document::AmpRE500>;
template class AmpModel<Document::AmpV9E>;
template class AmpModel<Document::AmpRKMClassic>;
template class AmpModel<Document::AmpRKM4PRO>;

} // namespace Zq::BorvanRAZ::Automation
