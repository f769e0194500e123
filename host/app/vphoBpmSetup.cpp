#include "host/app/vphoBpmSetup.h"

#include "host/app/vphoPluginWindow.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

// Numbers are read and written without the locale: a host that runs under a
// comma-decimal locale still shows and reads "120.50".
float vphoBpmSetup::parseTempo(const std::string& text)
{
    float value = 0.0f;
    const auto result =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    if (result.ec != std::errc() || !std::isfinite(value) || !(value > 0.0f))
        return 0.0f;
    return value;
}

std::string vphoBpmSetup::tempoText(float bpm)
{
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, bpm, std::chars_format::fixed, 2);
    return result.ec == std::errc() ? std::string(text, result.ptr) : std::string();
}

void vphoBpmSetup::open()
{
    field = tempoText(window_.settings().getTempo());
    autoSession = window_.settings().autoSession;
}

bool vphoBpmSetup::typeCharacter(char c)
{
    if (c == '\0' || std::strchr(kCharacterFilter, c) == nullptr)
        return false;
    field += c;
    return true;
}

void vphoBpmSetup::okay()
{
    const float bpm = parseTempo(field);
    if (bpm > 0.0f)
        window_.setTempo(bpm, false);
    window_.settings().autoSession = autoSession;
    window_.saveSettingsNow();
    closed_ = true;
}

void vphoBpmSetup::tap()
{
    window_.tapTempo();
    field = tempoText(window_.settings().getTempo());
}

void vphoGainInput::setValue(int db)
{
    value_ = std::clamp(db, 0, kMaxDb);
}

void vphoGainInput::press(int y)
{
    if (!enabled_)
        return;
    startValue_ = value_;
    startY_ = y;
}

void vphoGainInput::drag(int y)
{
    if (!enabled_)
        return;
    const int value = std::clamp(startValue_ - (y - startY_) / kPixelsPerDb, 0, kMaxDb);
    if (value == value_)
        return;
    value_ = value;
    window_.onGainChanged(value);
}
