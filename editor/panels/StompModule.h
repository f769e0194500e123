#pragma once

#include <array>
#include <memory>

#include "editor/panels/Panel.h"

namespace Zq::BorvanRAZ::Document {
class Module;
}

namespace Zq::BorvanRAZ::GUI {

// Base of every pedal panel: the pedal of one slot of the stomp chain, with
// its bypass switch and lamp bound.
class StompBox : public Panel {
public:
    StompBox(unsigned slot, Main& root, Application::GUI::Widget* parent,
             const std::string& layoutName);
    unsigned getSlot() const noexcept { return slot_; }

protected:
    // The slot's pedal document as the panel's own class; another class (or
    // an empty slot) throws like a missing widget.
    template <class Model> Model& pedal() const
    {
        auto* model = dynamic_cast<Model*>(slotDocument());
        if (!model)
            throw std::runtime_error("Wrong model class");
        return *model;
    }

private:
    Document::Module* slotDocument() const;
    unsigned slot_;
};

// The six-slot stomp chain: per slot the pedal's name, a menu of the pedals
// behind a button, up and down buttons stepping through them, and the pedal's
// panel in the slot's area, rebuilt whenever the slot's selector changes.
class StompModule : public Module {
public:
    static constexpr int kSlots = 6;

    StompModule(Main& root, Application::GUI::Widget* parent);
    ~StompModule() override;

    // The pedal panel of the slot; null for an empty slot or one whose
    // layout failed.
    StompBox* getPedal(int slot) const { return pedals_.at(static_cast<std::size_t>(slot)).get(); }

private:
    void slotChanged(int slot);

    std::array<std::unique_ptr<StompBox>, kSlots> pedals_;
    std::array<Application::GUI::Widget*, kSlots> areas_{};
};

} // namespace Zq::BorvanRAZ::GUI
