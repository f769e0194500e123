#include "hostfw/widgets/epiColourText.h"

#include <algorithm>
#include <cstdio>

bool epiColourFromText(const epiText& text, epiColor& colour)
{
    int channels[4] = {0, 0, 0, 255};
    const int read = std::sscanf(text.getCStr(), "%d , %d , %d , %d", &channels[0], &channels[1],
                                 &channels[2], &channels[3]);
    if (read < 3)
        return false;
    auto byte = [](int v) { return static_cast<std::uint8_t>(std::clamp(v, 0, 255)); };
    colour.red = byte(channels[0]);
    colour.green = byte(channels[1]);
    colour.blue = byte(channels[2]);
    colour.alpha = byte(channels[3]);
    return true;
}

epiFourCC epiCodeFromText(const epiText& text)
{
    char code[5] = {' ', ' ', ' ', ' ', 0};
    const char* source = text.getCStr();
    for (int i = 0; i < 4 && source[i]; ++i)
        code[i] = source[i];
    return epiCode(code);
}
