#pragma once

#include <map>
#include <memory>
#include <string>

#include "editor/binding/WidgetAdapters.h"
#include "editor/resources/PlugInResourceProvider.h"
#include "editor/widgets/LayoutManager.h"
#include "plugin/docview/AdapterMenu.h"
#include "plugin/docview/UnitView.h"

namespace Zq::Application::DocView {

// The editor's view of one unit of the document: the unit's layout loaded
// below a parent widget, and adapters binding its named widgets to the
// document's parameters. Every editor panel is one.
//
// A layout the provider cannot find leaves the view without widgets, and no
// error: a panel without a layout of its own passes an empty name. A view
// without a layout must not look widgets up.
class UnitGUI : public UnitView {
public:
    UnitGUI(GUI::Widget* parent, Res::PlugInResourceProvider& provider,
            const std::string& layoutName);
    // The layout goes first (closing its widgets), then the adapters.
    ~UnitGUI() override;

    // Throws std::runtime_error "Widget not found" or "Wrong widget class".
    template <class T> void find(const std::string& name, T*& out)
    {
        if (!layout_) {
            out = nullptr;
            throw std::runtime_error("Widget not found");
        }
        layout_->find(name, out);
    }

    // Each looks the widget up, then binds it; a failed lookup throws before
    // any adapter exists. The view owns the adapter returned.
    AdapterKnob* addKnob(const std::string& name, Parameter* parameter);
    AdapterSlider* addSlider(const std::string& name, Parameter* parameter);
    AdapterCheckBox* addCheckBox(const std::string& name, Parameter* parameter);
    // Any button: push button, check box, radio button, multi-state button.
    AdapterButtonInc* addButtonInc(const std::string& name, Parameter* parameter, float step);
    AdapterStaticText* addStaticText(const std::string& name, Parameter* parameter,
                                     const std::map<int, std::string>& table);
    AdapterMenu* addMenu(const std::string& name, Parameter* parameter);
    AdapterMultiStateButton* addMultiStateButton(const std::string& name, Parameter* parameter);
    AdapterStaticTextValue* addStaticTextValue(Widgets::StaticText* text, Parameter* parameter,
                                               int decimals, const std::string& suffix);
    AdapterStaticTextValuedB* addStaticTextValuedB(Widgets::StaticText* text, Parameter* parameter,
                                                   int decimals);

    Res::PlugInResourceProvider& getProvider() const noexcept { return provider_; }
    Widgets::LayoutManager* getLayout() const noexcept { return layout_.get(); }

private:
    template <class A, class... Args> A* bind(Args&&... args)
    {
        auto adapter = std::make_unique<A>(std::forward<Args>(args)...);
        A* raw = adapter.get();
        addAdapter(std::move(adapter));
        return raw;
    }

    Res::PlugInResourceProvider& provider_;
    std::unique_ptr<Widgets::LayoutManager> layout_;
};

} // namespace Zq::Application::DocView
