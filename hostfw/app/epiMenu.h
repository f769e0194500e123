#pragma once

#include "hostfw/core/epiApplicationObject.h"
#include "hostfw/core/epiText.h"

#include <cstdint>
#include <vector>

class epiXmlChunk;

// One entry of the menu model: a drop-down of the bar, a command or a
// separator; a command with a sub-menu opens it.
struct epiMenuItem {
    epiText label;
    int commandId = 0; // 0 for drop-downs and separators
    bool separator = false;
    std::vector<epiMenuItem> submenu;
};

// A keyboard shortcut: the flags say which modifiers go with the key (the
// upper-case character); every shortcut here needs Control.
struct epiAccelerator {
    static constexpr unsigned kVirtualKey = 1;
    static constexpr unsigned kShift = 4;
    static constexpr unsigned kControl = 8;
    static constexpr unsigned kAlt = 16;

    unsigned flags = 0;
    std::uint32_t key = 0;
    int commandId = 0;
};

// The menu service: builds the menu bar and its shortcuts from an XML menu
// document, numbering the commands 10000, 10001 ... across all menus, and
// turns a chosen command id into its four-character command code.
class epiMenu : public epiApplicationObject {
public:
    static constexpr int kFirstCommandId = 10000;

    struct Command {
        int id = 0;
        epiFourCC code = 0;
    };

    epiFourCC getKind() const override { return epiCode("Menu"); }

    // Reads the menu document of that name from the resources ('menu') and
    // builds from it; false when there is no such document.
    bool loadMenuBar(const char* layoutName);
    // Builds from a document's text, replacing what was built before; false
    // when it has no "epi"/"content"/"menulist".
    bool buildFromText(const epiText& document);
    // Hands the command's code to the window manager's routing; unknown ids
    // do nothing.
    void onMenuCommand(int commandId);
    // The last step of command routing; nothing is handled here.
    virtual bool onCommand(epiFourCC) { return false; }

    // The command id of the shortcut a key press gives, 0 for none: Control
    // and exactly the shortcut's Shift and Alt with its key.
    int matchAccelerator(std::uint32_t keysym, unsigned modifiers) const;

    const std::vector<epiAccelerator>& getAcceleratorTable() const { return accelerators_; }
    const std::vector<epiMenuItem>& menuBar() const { return bar_; }
    const std::vector<Command>& commands() const { return commands_; }

private:
    void buildLevel(const epiXmlChunk& menulist, bool topLevel, std::vector<epiMenuItem>& items);
    void buildCommand(const epiXmlChunk& item, epiMenuItem& entry);

    std::vector<epiMenuItem> bar_;
    std::vector<epiAccelerator> accelerators_;
    std::vector<Command> commands_;
};
