#include "editor/panels/SelectedValue.h"

#include "editor/widgets/StaticText.h"
#include "plugin/rig/Rig.h"

namespace Zq::BorvanRAZ::GUI {

SelectedValue::SelectedValue(Main& root, Application::GUI::Widget* parent)
    : Panel(root, parent, "SelectedValue.xml")
{
    find("Text", text_);
    // Connected before the editor's own after-load rebuild, so a rebuilt
    // panel that writes its value again does so after the clear.
    static const std::string empty;
    auto clear = [this] { text_->setText(empty); };
    Document::Rig& document = getDocument();
    connect(document.afterLoad, clear);
    connect(document.getStompModule().afterLoad, clear);
    connect(document.getAmpModule().afterLoad, clear);
    connect(document.getCabModule().afterLoad, clear);
}

} // namespace Zq::BorvanRAZ::GUI
