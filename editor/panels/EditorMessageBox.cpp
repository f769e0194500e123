#include "editor/panels/EditorMessageBox.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>

#include "platform/MessageBox.h"
#include "platform/x11/X11MessageBox.h"

namespace Zq::BorvanRAZ::GUI {

namespace {

struct Shared {
    std::mutex mutex;
    int count = 0;
    platform::MessageHandler previous;
};

Shared& shared()
{
    static Shared instance;
    return instance;
}

bool useStandardError()
{
    const char* choice = std::getenv("ZQ_MESSAGE_BOX");
    return choice && std::strcmp(choice, "stderr") == 0;
}

} // namespace

EditorMessageBox::EditorMessageBox()
{
    Shared& state = shared();
    std::lock_guard lock(state.mutex);
    if (state.count++ > 0)
        return;
    auto fallback = std::make_shared<platform::MessageHandler>();
    *fallback = platform::setMessageHandler(
        [fallback](const std::string& text, const std::string& caption, int kind) {
            if (!useStandardError())
                if (const std::optional<bool> answer =
                        platform::ui::x11::runMessageBox(text, caption, kind))
                    return *answer;
            return (*fallback)(text, caption, kind);
        });
    state.previous = *fallback;
}

EditorMessageBox::~EditorMessageBox()
{
    Shared& state = shared();
    std::lock_guard lock(state.mutex);
    if (--state.count > 0)
        return;
    platform::setMessageHandler(std::move(state.previous));
    state.previous = nullptr;
}

int EditorMessageBox::count()
{
    Shared& state = shared();
    std::lock_guard lock(state.mutex);
    return state.count;
}

} // namespace Zq::BorvanRAZ::GUI
