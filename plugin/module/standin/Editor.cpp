#include "plugin/module/standin/Editor.h"

#include <mutex>

namespace Zq::BorvanRAZ::StandIn {
namespace {

struct Journal {
    std::mutex mutex;
    std::vector<std::string> calls;
};

Journal& theJournal()
{
    static Journal journal;
    return journal;
}

std::string numbers(std::initializer_list<std::int32_t> values)
{
    std::string text;
    for (std::int32_t value : values)
        text += ' ' + std::to_string(value);
    return text;
}

} // namespace

Editor::Editor(ResourceProvider& resources, Document& document)
    : resources_(resources), document_(document)
{
    note("created");
}

Editor::~Editor()
{
    note("deleted");
}

void Editor::getSize(std::int32_t& width, std::int32_t& height)
{
    width = kWidth;
    height = kHeight;
}

void Editor::setPosition(std::int32_t x, std::int32_t y)
{
    x_ = x;
    y_ = y;
    note("setPosition" + numbers({x, y}));
}

bool Editor::setHostMouseEvents(bool hostDelivers)
{
    ownMouse_ = !hostDelivers;
    note("setHostMouseEvents" + numbers({hostDelivers}));
    return ownMouse_;
}

bool Editor::setHostKeyEvents(bool hostDelivers)
{
    ownKeys_ = !hostDelivers;
    note("setHostKeyEvents" + numbers({hostDelivers}));
    return ownKeys_;
}

void Editor::open(void*)
{
    windowOpen_ = true;
    note("open" + numbers({x_, y_}));
}

void Editor::close()
{
    windowOpen_ = false;
    note("close");
}

void Editor::idle()
{
    note("idle");
}

void Editor::invalidate(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height)
{
    note("invalidate" + numbers({x, y, width, height}));
}

void Editor::onMouseDown(std::int32_t x, std::int32_t y, std::int32_t button,
                         std::int32_t modifiers)
{
    note("onMouseDown" + numbers({x, y, button, modifiers}));
}

void Editor::onMouseUp(std::int32_t x, std::int32_t y, std::int32_t button, std::int32_t modifiers)
{
    note("onMouseUp" + numbers({x, y, button, modifiers}));
}

void Editor::onMouseMove(std::int32_t x, std::int32_t y, std::int32_t modifiers)
{
    note("onMouseMove" + numbers({x, y, modifiers}));
}

bool Editor::onKey(std::int32_t key, std::int32_t character, std::int32_t modifiers)
{
    note("onKey" + numbers({key, character, modifiers}));
    return ownKeys_ ? false : keyAnswer_;
}

std::vector<std::string> Editor::journal()
{
    Journal& journal = theJournal();
    std::lock_guard lock(journal.mutex);
    return journal.calls;
}

void Editor::clearJournal()
{
    Journal& journal = theJournal();
    std::lock_guard lock(journal.mutex);
    journal.calls.clear();
}

void Editor::note(const std::string& call)
{
    Journal& journal = theJournal();
    std::lock_guard lock(journal.mutex);
    journal.calls.push_back(call);
}

} // namespace Zq::BorvanRAZ::StandIn
