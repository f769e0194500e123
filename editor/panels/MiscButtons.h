#pragma once

#include <memory>

#include "editor/panels/Info.h"
#include "editor/panels/Preferences.h"

namespace Zq::BorvanRAZ::GUI {

// The lower bar's buttons opening the information panel ("IButton") and the
// preferences ("PrefButton") over the editor. While one is open its button
// does nothing; a panel closes itself through its closed signal and is
// deleted once the click that closed it is over.
class MiscButtons : public Panel {
public:
    MiscButtons(Main& root, Application::GUI::Widget* parent);
    ~MiscButtons() override;

    Info* getInfo() const noexcept { return info_.get(); }
    Preferences* getPreferences() const noexcept { return preferences_.get(); }

private:
    template <class P> void open(std::unique_ptr<P>& slot);

    std::unique_ptr<Info> info_;
    std::unique_ptr<Preferences> preferences_;
};

} // namespace Zq::BorvanRAZ::GUI
