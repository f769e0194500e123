#include "platform/MessageBox.h"

#include <cstdio>
#include <mutex>

namespace platform {
namespace {

bool printToStandardError(const std::string& text, const std::string& caption, int kind)
{
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    return kind == 0;
}

std::mutex& handlerMutex()
{
    static std::mutex mutex;
    return mutex;
}

MessageHandler& installed()
{
    static MessageHandler handler = printToStandardError;
    return handler;
}

} // namespace

MessageHandler setMessageHandler(MessageHandler handler)
{
    std::lock_guard lock(handlerMutex());
    MessageHandler previous = std::move(installed());
    installed() = handler ? std::move(handler) : MessageHandler(printToStandardError);
    return previous;
}

bool showMessageBox(const std::string& text, const std::string& caption, int kind)
{
    MessageHandler handler;
    {
        std::lock_guard lock(handlerMutex());
        handler = installed();
    }
    return handler(text, caption, kind);
}

void showInstallError()
{
    showMessageBox("Please ensure this product has been installed properly", "Registry error", 0);
}

void showInstallError(const std::string& valueName, const std::string& reason)
{
    std::fprintf(stderr, "settings: \"%s\" cannot be read: %s\n", valueName.c_str(),
                 reason.c_str());
    showInstallError();
}

} // namespace platform
