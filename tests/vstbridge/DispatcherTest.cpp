// The effect record and the dispatcher's answers, over the real module, and
// the bounds every text and index opcode keeps, over the recording stand-in
// where the module's own texts are too short to test them.

#include "VstTestHost.h"

#include <climits>

namespace {

using namespace test;

// Runs a text opcode into a buffer of exactly `bytes` bytes followed by a
// canary, and answers the text; the canary must stay whole.
std::string boundedText(const Effect& effect, std::int32_t opcode, std::int32_t index,
                        std::size_t bytes, std::intptr_t value = 0)
{
    std::vector<char> buffer(bytes + 16, '\x7F');
    effect(opcode, index, value, buffer.data());
    for (std::size_t i = bytes; i < buffer.size(); ++i)
        EXPECT_EQ(buffer[i], '\x7F') << "opcode " << opcode << " wrote byte " << i;
    const auto end =
        std::find(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(bytes), '\0');
    EXPECT_NE(end, buffer.begin() + static_cast<std::ptrdiff_t>(bytes))
        << "no terminator, opcode " << opcode;
    return std::string(buffer.begin(), end);
}

using DispatcherTest = BridgeTest;

TEST_F(DispatcherTest, theRecordDescribesTheRig)
{
    Effect effect(open());
    ASSERT_TRUE(effect);
    EXPECT_EQ(effect->magic, 0x56737450);
    EXPECT_EQ(effect->numPrograms, 100);
    EXPECT_EQ(effect->numParams, 107);
    EXPECT_EQ(effect->numInputs, 2);
    EXPECT_EQ(effect->numOutputs, 2);
    EXPECT_EQ(effect->flags, 0x31) << "editor, replacing, programs as chunks; never double";
    EXPECT_EQ(effect->version, 1);
    EXPECT_EQ(effect->initialDelay, 0);
    EXPECT_EQ(effect->uniqueID, 0x42763031);
    EXPECT_NE(effect->process, nullptr);
    EXPECT_NE(effect->processReplacing, nullptr);
    EXPECT_EQ(std::count(std::begin(effect->future), std::end(effect->future), 0), 56);
}

TEST_F(DispatcherTest, theDispatcherAnswersAsAVst24Effect)
{
    Effect effect(open());
    ASSERT_TRUE(effect);
    struct Case {
        std::int32_t opcode;
        std::intptr_t answer;
    };
    for (const Case& c :
         {Case{effIdentify, 0x4E764566}, Case{effGetPlugCategory, 1},
          Case{effGetNumProgramCategories, 1}, Case{effGetVendorVersion, 1000},
          Case{effGetVstVersion, 2400}, Case{effKeysRequired, 0}, Case{effGetProgram, 0}})
        EXPECT_EQ(effect(c.opcode), c.answer) << "opcode " << c.opcode;

    EXPECT_EQ(boundedText(effect, effGetEffectName, 0, 33), "BorvanQom");
    EXPECT_EQ(boundedText(effect, effGetVendorString, 0, 33), "Zq Sonware Production");
    EXPECT_EQ(boundedText(effect, effGetProductString, 0, 65), "BorvanQom");
    EXPECT_EQ(effect(effGetEffectName, 0, 0, nullptr), 0) << "no buffer";

    struct CanDo {
        const char* text;
        std::intptr_t answer;
    };
    for (const CanDo& c :
         {CanDo{"plugAsChannelInsert", 1}, CanDo{"receiveVstMidiEvent", -1},
          CanDo{"sendVstEvents", -1}, CanDo{"metapass", -1}, CanDo{"bypass", 0},
          CanDo{"2in2out", 0}, CanDo{"somethingNew", 0}, CanDo{"somethingNew", 0}, CanDo{"", 0}})
        EXPECT_EQ(effect(effCanDo, 0, 0, const_cast<char*>(c.text)), c.answer) << c.text;
    EXPECT_EQ(effect(effCanDo, 0, 0, nullptr), 0);

    // Opcodes the bridge does not serve answer 0, editor key and knob
    // opcodes included.
    for (std::int32_t opcode :
         {9,  16, 17, 18, 20, 21, 27, 31, 32, 33, 34, 36, 40,   44, 46,        50,
          52, 53, 56, 59, 60, 61, 62, 70, 71, 72, 77, 78, 1000, -1, INT32_MIN, INT32_MAX}) {
        char scratch[256] = {};
        EXPECT_EQ(effect(opcode, 1, 1, scratch, 1.0f), 0) << "opcode " << opcode;
    }
}

TEST_F(DispatcherTest, everyParameterNameAndDisplayFitsInThirtyTwoBytes)
{
    Effect effect(open());
    ASSERT_TRUE(effect);
    for (std::int32_t index = 0; index < effect->numParams; ++index) {
        SCOPED_TRACE(index);
        const std::string name = boundedText(effect, effGetParamName, index, 32);
        EXPECT_FALSE(name.empty());
        boundedText(effect, effGetParamDisplay, index, 32);
        EXPECT_EQ(boundedText(effect, effGetParamLabel, index, 1), "");
        EXPECT_EQ(effect(effCanBeAutomated, index), 1);
    }
    EXPECT_EQ(boundedText(effect, effGetParamName, 0, 32), "Master Level");
}

TEST_F(DispatcherTest, longTextsAreCutAtTheirLimits)
{
    RecordingStub& stub = useStub();
    stub.settings().name = std::string(70, 'N');
    stub.settings().vendor = std::string(40, 'V');
    stub.settings().parameterText = std::string(40, 'P');
    Effect effect(open());
    ASSERT_TRUE(effect);

    EXPECT_EQ(boundedText(effect, effGetParamName, 0, 32), std::string(31, 'P'));
    EXPECT_EQ(boundedText(effect, effGetParamDisplay, 0, 32), std::string(31, 'P'));
    EXPECT_EQ(boundedText(effect, effGetEffectName, 0, 33), std::string(32, 'N'));
    EXPECT_EQ(boundedText(effect, effGetVendorString, 0, 33), std::string(32, 'V'));
    EXPECT_EQ(boundedText(effect, effGetProductString, 0, 65), std::string(64, 'N'));

    std::string longName(30, 'x');
    effect(effSetProgramName, 0, 0, longName.data());
    EXPECT_EQ(boundedText(effect, effGetProgramName, 0, 25), std::string(24, 'x'));
    EXPECT_EQ(boundedText(effect, effGetProgramNameIndexed, 0, 25), std::string(24, 'x'));
    EXPECT_EQ(boundedText(effect, effGetProgramNameIndexed, 99, 25), "Program 99");
}

TEST_F(DispatcherTest, indicesOutsideTheProgramsAndParametersAreIgnoredOrFalse)
{
    RecordingStub& stub = useStub();
    stub.settings().numParameters = 4;
    Effect effect(open());
    ASSERT_TRUE(effect);
    EXPECT_EQ(effect->numParams, 4) << "what the processor reports";
    effect(effSetProgram, 0, 3);
    ASSERT_EQ(effect(effGetProgram), 3);
    const std::string bank = effect.chunk(false);
    stub.clearJournal();

    // Pointer-sized values: one that only truncation would bring into range.
    for (std::intptr_t value : {std::intptr_t{-1}, std::intptr_t{100}, std::intptr_t{INT32_MIN},
                                std::intptr_t{INT32_MAX}, (std::intptr_t{1} << 32) + 5}) {
        effect(effSetProgram, 0, value);
        EXPECT_EQ(effect(effGetProgram), 3) << value;
    }
    EXPECT_TRUE(stub.journal().empty()) << "nothing saved or loaded";

    for (std::int32_t index : {-1, 100, INT32_MIN, INT32_MAX}) {
        SCOPED_TRACE(index);
        char name[64];
        std::memset(name, '\x7F', sizeof name);
        EXPECT_EQ(effect(effGetProgramNameIndexed, index, 0, name), 0);
        EXPECT_EQ(name[0], '\x7F') << "nothing written";
        EXPECT_EQ(effect(effCopyProgram, index), 0);
    }
    EXPECT_EQ(effect.chunk(false), bank) << "no program changed";

    struct Automatable {
        std::int32_t index;
        std::intptr_t answer;
    };
    for (const Automatable& c : {Automatable{-1, 0}, Automatable{INT32_MIN, 0}, Automatable{0, 1},
                                 Automatable{3, 1}, Automatable{4, 0}, Automatable{INT32_MAX, 0}})
        EXPECT_EQ(effect(effCanBeAutomated, c.index), c.answer) << c.index;
}

TEST_F(DispatcherTest, textOpcodesWithoutABufferDoNothing)
{
    Effect effect(open());
    ASSERT_TRUE(effect);
    for (std::int32_t opcode :
         {effSetProgramName, effGetProgramName, effGetParamLabel, effGetParamDisplay,
          effGetParamName, effGetProgramNameIndexed, effGetVendorString, effGetProductString,
          effGetChunk, effSetChunk, effEditGetRect})
        EXPECT_EQ(effect(opcode, 0, 0, nullptr), 0) << "opcode " << opcode;
}

} // namespace
