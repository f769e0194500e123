// Text from a host or a preset folder may be anything: whatever it holds, a
// load either applies a well-formed document or changes nothing.
#include "FixtureDocument.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <sstream>
#include <string>

namespace {

std::string repeated(const std::string& piece, int count)
{
    std::string text;
    text.reserve(piece.size() * count);
    for (int i = 0; i < count; ++i)
        text += piece;
    return text;
}

// A Preset whose Amp sets Gain to 1 and that nests `depth` elements in all.
std::string nested(int depth)
{
    return "<Preset><Amp Gain=\"1\" />" + repeated("<a>", depth - 1) + repeated("</a>", depth - 1) +
           "</Preset>";
}

const std::string kValid = R"(<Preset PresetName="New"><Amp Gain="1" /></Preset>)";

struct Case {
    std::string name;
    std::string text;
    std::int32_t size; // the size the host claims; -1: the text's own
};

} // namespace

TEST(DocumentHostileText, LeavesTheStateUnchanged)
{
    const Case cases[] = {
        {"malformed", R"(<Preset><Amp Gain="1"></Preset>)", -1},
        {"an element left open", R"(<Preset><Amp Gain="1" />)", -1},
        {"an unterminated attribute", R"(<Preset><Amp Gain="1 /></Preset>)", -1},
        {"only a declaration", R"(<?xml version="1.0" ?>)", -1},
        {"only blanks", " \n\t ", -1},
        {"no markup", "Gain=1", -1},
        {"nested 100 000 deep", nested(100000), -1},
        {"nested 100 000 deep inside a comment's neighbour", "<!-- x -->" + nested(100000), -1},
        {"one level too deep", nested(65), -1},
        {"a size that ends before the closing tag", kValid,
         static_cast<std::int32_t>(kValid.size() - 3)},
        {"a zero byte before the closing tag",
         R"(<Preset><Amp Gain="1" />)" + std::string(1, '\0') + "</Preset>", -1},
        {"a null size", kValid, 0},
        {"a negative size", kValid, -5},
    };
    for (const auto& c : cases) {
        FixtureDocument chunkTarget;
        chunkTarget.setPresetName("Before");
        chunkTarget.fired.clear();
        chunkTarget.loadChunk(c.text.data(),
                              c.size == -1 ? static_cast<std::int32_t>(c.text.size()) : c.size);
        EXPECT_EQ(chunkTarget.gain.getValue(), -12.0f) << c.name;
        EXPECT_EQ(chunkTarget.getPresetName(), "Before") << c.name;
        EXPECT_TRUE(chunkTarget.fired.empty()) << c.name;

        if (c.size != -1)
            continue;
        FixtureDocument streamTarget;
        streamTarget.fired.clear();
        std::istringstream in(c.text);
        streamTarget.load(in);
        EXPECT_EQ(streamTarget.gain.getValue(), -12.0f) << c.name << " (stream)";
        EXPECT_TRUE(streamTarget.fired.empty()) << c.name << " (stream)";
    }

    FixtureDocument document;
    document.fired.clear();
    document.loadChunk(nullptr, 100);
    EXPECT_TRUE(document.fired.empty()) << "a null chunk";
}

TEST(DocumentHostileText, TheNestingLimitStillAdmitsDeepButSaneText)
{
    FixtureDocument document;
    const std::string text = nested(64);
    document.loadChunk(text.data(), static_cast<std::int32_t>(text.size()));
    EXPECT_EQ(document.gain.getValue(), 1.0f);
}

TEST(DocumentHostileText, ReadsOnlyTheBytesTheHostGave)
{
    // Exactly the chunk's bytes on the heap, no terminating zero: any read
    // beyond them is a sanitizer report.
    const auto buffer = std::make_unique<char[]>(kValid.size());
    std::memcpy(buffer.get(), kValid.data(), kValid.size());
    FixtureDocument document;
    document.loadChunk(buffer.get(), static_cast<std::int32_t>(kValid.size()));
    EXPECT_EQ(document.gain.getValue(), 1.0f);
    EXPECT_EQ(document.getPresetName(), "New");

    // A zero byte ends the text early; what follows it is never parsed.
    const std::string padded = kValid + std::string(1, '\0') + "<Broken";
    FixtureDocument paddedTarget;
    paddedTarget.loadChunk(padded.data(), static_cast<std::int32_t>(padded.size()));
    EXPECT_EQ(paddedTarget.gain.getValue(), 1.0f);
}

TEST(DocumentHostileText, ABomIsNoObstacle)
{
    FixtureDocument document;
    std::istringstream in("\xEF\xBB\xBF" + kValid);
    document.load(in);
    EXPECT_EQ(document.gain.getValue(), 1.0f);
}
