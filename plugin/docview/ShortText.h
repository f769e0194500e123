#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace Zq::Application::DocView {

// A display text in fixed storage. Host displays are made and copied on any
// thread, the audio thread among them (a change the DSP reports back is shown
// to the host from there), so they never touch the heap. Longer texts are cut;
// every text of the rig's parameters fits with room to spare.
class ShortText {
public:
    static constexpr std::size_t kCapacity = 63;

    ShortText() noexcept { text_[0] = '\0'; }
    ShortText(const char* text) noexcept { assign(text); } // NOLINT: texts convert freely

    void assign(const char* text) noexcept
    {
        std::size_t n = 0;
        if (text)
            for (; n < kCapacity && text[n] != '\0'; ++n)
                text_[n] = text[n];
        text_[n] = '\0';
        length_ = n;
    }

    const char* c_str() const noexcept { return text_; }
    std::string_view view() const noexcept { return {text_, length_}; }
    std::string str() const { return {text_, length_}; }

    friend bool operator==(const ShortText& a, const ShortText& b) noexcept
    {
        return a.view() == b.view();
    }

private:
    char text_[kCapacity + 1];
    std::size_t length_ = 0;
};

} // namespace Zq::Application::DocView
