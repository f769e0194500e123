#include "hostfw/app/epiMenu.h"

#include "hostfw/app/epiApplication.h"
#include "hostfw/app/epiWindowManager.h"
#include "hostfw/res/epiResources.h"
#include "hostfw/res/epiXmlChunk.h"
#include "platform/EventPump.h"

namespace {

bool hasChild(const epiXmlChunk& chunk, const char* name)
{
    epiXmlChunk content, tag;
    return chunk.findChild(name, content, tag);
}

long numberOf(const epiXmlChunk& chunk, const char* name)
{
    return chunk.getChild(name).getText().toLong();
}

} // namespace

bool epiMenu::loadMenuBar(const char* layoutName)
{
    auto* app = dynamic_cast<epiApplication*>(getApplication());
    epiResources* resources = app ? app->getResources() : nullptr;
    epiText document;
    if (!resources || !layoutName || !resources->loadText(layoutName, epiCode("menu"), document)) {
        bar_.clear();
        accelerators_.clear();
        commands_.clear();
        return false;
    }
    return buildFromText(document);
}

bool epiMenu::buildFromText(const epiText& document)
{
    bar_.clear();
    accelerators_.clear();
    commands_.clear();
    epiXmlChunk root;
    root.setText(document);
    epiXmlChunk content, tag;
    if (!root.getChild("epi").getChild("content").findChild("menulist", content, tag))
        return false;
    buildLevel(content, true, bar_);
    return true;
}

void epiMenu::buildLevel(const epiXmlChunk& menulist, bool topLevel,
                         std::vector<epiMenuItem>& items)
{
    epiXmlChunkEnumerator enumerator(menulist);
    enumerator.setName("item");
    epiXmlChunk item, tag;
    while (enumerator.next(item, tag)) {
        epiMenuItem entry;
        if (topLevel) {
            entry.label = item.getChild("text").getText();
            buildLevel(item.getChild("menulist"), false, entry.submenu);
        } else if (numberOf(item, "isseparator") != 0) {
            entry.separator = true;
        } else {
            buildCommand(item, entry);
        }
        items.push_back(std::move(entry));
    }
}

void epiMenu::buildCommand(const epiXmlChunk& item, epiMenuItem& entry)
{
    entry.commandId = kFirstCommandId + static_cast<int>(commands_.size());
    commands_.push_back({entry.commandId, item.getChild("name").getText().toFourCC()});
    entry.label = item.getChild("text").getText();

    const epiXmlChunk shortcut = item.getChild("shortcut");
    std::uint32_t key = 0;
    if (hasChild(shortcut, "ascii")) {
        key = static_cast<std::uint32_t>(numberOf(shortcut, "ascii"));
    } else {
        const epiText character = shortcut.getChild("char").getText();
        key = static_cast<unsigned char>(character.getCStr()[0]);
    }
    if (key >= 'a' && key <= 'z')
        key -= 'a' - 'A';
    if (key != 0) {
        epiAccelerator accelerator;
        accelerator.flags = epiAccelerator::kVirtualKey | epiAccelerator::kControl;
        accelerator.key = key;
        accelerator.commandId = entry.commandId;
        entry.label.append("\tCtrl+");
        const epiXmlChunk modifiers = shortcut.getChild("modifiers");
        if (numberOf(modifiers, "shift") != 0) {
            accelerator.flags |= epiAccelerator::kShift;
            entry.label.append("Shift+");
        }
        if (numberOf(modifiers, "option") != 0) {
            accelerator.flags |= epiAccelerator::kAlt;
            entry.label.append("Alt+");
        }
        entry.label.appendChar(static_cast<char>(key));
        accelerators_.push_back(accelerator);
    }
    if (hasChild(item, "menulist"))
        buildLevel(item.getChild("menulist"), false, entry.submenu);
}

void epiMenu::onMenuCommand(int commandId)
{
    for (const Command& command : commands_) {
        if (command.id != commandId)
            continue;
        auto* app = dynamic_cast<epiApplication*>(getApplication());
        if (epiWindowManager* manager = app ? app->getWindowManager() : nullptr)
            manager->onCommand(command.code);
        return;
    }
}

int epiMenu::matchAccelerator(std::uint32_t keysym, unsigned modifiers) const
{
    if (!(modifiers & platform::kModControl) || keysym == 0 || keysym > 0xff)
        return 0;
    std::uint32_t key = keysym;
    if (key >= 'a' && key <= 'z')
        key -= 'a' - 'A';
    const bool shift = (modifiers & platform::kModShift) != 0;
    const bool alt = (modifiers & platform::kModAlt) != 0;
    for (const epiAccelerator& accelerator : accelerators_) {
        if (accelerator.key == key &&
            ((accelerator.flags & epiAccelerator::kShift) != 0) == shift &&
            ((accelerator.flags & epiAccelerator::kAlt) != 0) == alt)
            return accelerator.commandId;
    }
    return 0;
}
