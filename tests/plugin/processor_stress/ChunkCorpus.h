#pragma once

// Hostile state chunks, made from a seed: what a host's corrupted project
// file, a truncated transfer or plain garbage hands to setChunk.

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace test {

struct HostileChunk {
    std::string text;
    std::int32_t size; // the size the host claims
};

// Mutations of each base chunk, every truncation of each up to 64 bytes,
// random bytes, extreme nesting, non-finite and huge numbers, unknown names
// and sizes of 0 and below.
inline std::vector<HostileChunk> hostileChunks(const std::vector<std::string>& bases,
                                               std::uint32_t seed, int mutationsPerBase)
{
    std::mt19937 random(seed);
    std::vector<HostileChunk> out;
    auto add = [&out](std::string text) {
        const auto size = static_cast<std::int32_t>(text.size());
        out.push_back({std::move(text), size});
    };
    auto pick = [&random](std::size_t count) {
        return static_cast<std::size_t>(random() % (count ? count : 1));
    };

    static const char* const kTokens[] = {"nan",
                                          "-nan",
                                          "NaN",
                                          "inf",
                                          "-inf",
                                          "INFINITY",
                                          "1e39",
                                          "-1e39",
                                          "3.4e38",
                                          "1e308",
                                          "99999999999999999999999999",
                                          "-0",
                                          "0x7f",
                                          "1e-45",
                                          "",
                                          " ",
                                          "\"",
                                          "<",
                                          ">",
                                          "/>",
                                          "</Preset>",
                                          "<Preset>",
                                          "&amp;",
                                          "&#0;",
                                          "&#xFFFFFFFF;",
                                          "=",
                                          "Stomp9",
                                          "Stomp-1",
                                          "AmpModel",
                                          "Unknown",
                                          "<Unknown a=\"1\"/>",
                                          "<Stomp0 Stomp0=\"Stomp0\"/>",
                                          "<!--",
                                          "-->",
                                          "<![CDATA[",
                                          "]]>",
                                          "<?xml ?>",
                                          "\xff\xfe",
                                          "\xc3\x28"};
    constexpr std::size_t kTokenCount = sizeof(kTokens) / sizeof(kTokens[0]);

    for (const std::string& base : bases) {
        // Every truncation up to 64 bytes, by size and by text.
        for (std::size_t length = 0; length <= 64 && length <= base.size(); ++length) {
            add(base.substr(0, length));
            out.push_back({base, static_cast<std::int32_t>(length)});
        }
        // Every attribute value replaced by each extreme number.
        for (const char* number :
             {"nan", "inf", "-inf", "1e39", "-1e39", "1e300", "-99999999999"}) {
            std::string text = base;
            for (std::size_t at = text.find("=\""); at != std::string::npos;
                 at = text.find("=\"", at + 2)) {
                const std::size_t end = text.find('"', at + 2);
                if (end == std::string::npos)
                    break;
                text.replace(at + 2, end - at - 2, number);
            }
            add(text);
        }
        // Unknown names for every element, attribute and enumerated value.
        {
            std::string text = base;
            for (const char* from : {"Stomp", "Amp", "Cab", "Output", "Tuner", "Input"})
                for (std::size_t at = text.find(from); at != std::string::npos;
                     at = text.find(from, at + 1))
                    text[at] = static_cast<char>(text[at] ^ 0x20); // case flipped
            add(text);
        }
        // Random edits: flips, inserted tokens, deletions, repeated slices.
        for (int m = 0; m < mutationsPerBase; ++m) {
            std::string text = base;
            const int edits = 1 + static_cast<int>(random() % 8);
            for (int e = 0; e < edits && !text.empty(); ++e) {
                const std::size_t at = pick(text.size());
                switch (random() % 6) {
                case 0:
                    text[at] = static_cast<char>(text[at] ^ (1u << (random() % 8)));
                    break;
                case 1:
                    text.insert(at, kTokens[pick(kTokenCount)]);
                    break;
                case 2:
                    text.erase(at, 1 + pick(32));
                    break;
                case 3:
                    text.insert(at, text.substr(pick(text.size()), 1 + pick(200)));
                    break;
                case 4:
                    text.insert(at, 1, '\0');
                    break;
                default: {
                    // A value replaced inside its quotes.
                    const std::size_t open = text.find("=\"", at);
                    if (open != std::string::npos) {
                        const std::size_t close = text.find('"', open + 2);
                        if (close != std::string::npos)
                            text.replace(open + 2, close - open - 2, kTokens[pick(kTokenCount)]);
                    }
                }
                }
            }
            add(std::move(text));
        }
    }

    // Random bytes, and random bytes behind a valid opening.
    for (int r = 0; r < 64; ++r) {
        std::string text(1 + pick(600), '\0');
        for (char& ch : text)
            ch = static_cast<char>(random());
        add(r % 2 ? "<Preset>" + text : text);
    }

    // Extreme nesting, in the root and inside a known unit.
    std::string open, close;
    for (int i = 0; i < 100000; ++i) {
        open += "<a>";
        close += "</a>";
    }
    add(open + close);
    add("<Preset><Stomp Stomp0=\"Compressor\">" + open + close +
        "<Stomp0 Sensitivity=\"3\"/></Stomp></Preset>");
    add(open); // never closed

    // Sizes of 0 and below, and sizes beyond a zero byte.
    const std::string& first = bases.front();
    for (std::int32_t size : {0, -1, -5, INT32_MIN})
        out.push_back({first, size});
    out.push_back(
        {first.substr(0, first.size() / 2) + std::string(1, '\0') + first.substr(first.size() / 2),
         static_cast<std::int32_t>(first.size() + 1)});
    return out;
}

} // namespace test
