// The state chunk as a host keeps it: what a processor wrote, a fresh one
// restores to the same sound and writes back unchanged; a tempo-synchronised
// delay loaded from a chunk follows the host's tempo after one block.

#include "ProcessorFixtures.h"

#include "plugin/rig/Rig.h"
#include "plugin/rig/StompModels.h"

#include <random>
#include <set>

namespace {

using test::Processor;

TEST(ProcessorRestore, aRestoredProcessorSoundsAndSavesLikeTheOneThatWroteTheChunk)
{
    // The chunk keeps six decimals, so every write below lands on a value it
    // holds exactly: a restore is then complete only if it is bit-exact.
    struct Write {
        int index;
        float value;
        bool normalized;
    };
    test::RecordingHost host;
    Processor original(host.getHostTable());
    // Master, mix, the RKM-CL's bass and treble, ambience, speaker model and
    // cabinet volume.
    for (const Write& w : {Write{0, 0.5f, true}, Write{2, 50.0f, false}, Write{71, 0.25f, true},
                           Write{74, 0.9f, true}, Write{104, 0.4f, true}, Write{100, 0.6f, true},
                           Write{106, 1.0f, true}})
        w.normalized ? original->setParameterNormalized(original.t, w.index, w.value)
                     : original->setParameterValue(original.t, w.index, w.value);
    original.settle();
    // Then two stomps from a chunk of the stomp unit alone, which leaves the
    // other units as they are, and the stomps' own controls by the host.
    original.load("<Preset PresetName=\"Two stomps\"><Stomp Stomp1=\"Overdrive\" "
                  "Stomp4=\"CE-1\" /></Preset>");
    for (const Write& w : {Write{12, 0.8f, true}, Write{6, 0.5f, true}, Write{10, 1.0f, true}})
        w.normalized ? original->setParameterNormalized(original.t, w.index, w.value)
                     : original->setParameterValue(original.t, w.index, w.value);
    original.settle();
    const std::string chunk = original.chunk();
    ASSERT_NE(chunk.find("PresetName=\"Two stomps\""), std::string::npos);

    Processor restored(host.getHostTable());
    restored.load(chunk);
    EXPECT_EQ(restored.chunk(), chunk);
    for (int index = 0; index < 107; ++index)
        ASSERT_STREQ(restored->getParameterDisplay(restored.t, index),
                     original->getParameterDisplay(original.t, index))
            << index;

    // Neither has rendered anything yet: the same input gives the same output.
    test::Sine sine{110.0, 44100.0, 0.5f};
    const std::vector<float> input = sine.next(22050);
    std::vector<float> left, right, restoredLeft, restoredRight;
    original.run(input, left, right, 256);
    restored.run(input, restoredLeft, restoredRight, 256);
    EXPECT_EQ(restoredLeft, left);
    EXPECT_EQ(restoredRight, right);
    EXPECT_GT(test::energy(left.data(), left.data() + left.size()), 1.0);
}

TEST(ProcessorRestore, aTempoSynchronisedDelayFromAChunkFollowsTheHostAfterOneBlock)
{
    Zq::BorvanRAZ::Document::Rig rig;
    rig.getStompModule().stomps[2].setValue(4.0f, true); // MemoryMan
    auto* delay =
        dynamic_cast<Zq::BorvanRAZ::Document::StompMemoryMan*>(rig.getStompModule().getStomp(2));
    ASSERT_NE(delay, nullptr);
    delay->bpm.setValue(1.0f, true);
    delay->delayBpm.setValue(7.0f, true); // a quarter note
    const std::string chunk = rig.saveChunk();
    ASSERT_NE(chunk.find("Stomp2=\"MemoryMan\""), std::string::npos);

    test::RecordingHost host;
    host.tempo = 120.0f;
    Processor p(host.getHostTable());
    host.changes.clear();
    p.load(chunk);
    std::vector<float> in(256, 0.0f), left, right;
    p.run(in, left, right, 256);

    EXPECT_STREQ(p->getParameterDisplay(p.t, 17), "Off");
    EXPECT_STREQ(p->getParameterDisplay(p.t, 18), "500.0 ms");
    EXPECT_STREQ(p->getParameterDisplay(p.t, 23), "On");
    std::set<int> told;
    for (const auto& change : host.changes)
        told.insert(change.index);
    for (int index = 17; index <= 24; ++index)
        EXPECT_EQ(told.count(index), 1u) << index;

    // Another tempo moves the delay again.
    host.tempo = 240.0f;
    p.run(in, left, right, 256);
    EXPECT_STREQ(p->getParameterDisplay(p.t, 18), "250.0 ms");
}

} // namespace

namespace {

// Every value a host can write comes back exactly: 200 rounds of all 107
// parameters set at random, saved, loaded into a second processor and saved
// again give the same values and the same text.
TEST(ProcessorRestore, randomValuesComeBackExactlyRoundAfterRound)
{
    test::RecordingHost host;
    Processor writer(host.getHostTable());
    Processor reader(host.getHostTable());
    std::mt19937 random(34);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    for (int round = 0; round < 200; ++round) {
        SCOPED_TRACE(round);
        for (int index = 0; index < 107; ++index)
            writer->setParameterNormalized(writer.t, index, unit(random));
        writer.settle();
        const std::string saved = writer.chunk();
        reader.load(saved);
        ASSERT_EQ(reader.chunk(), saved);
        for (int index = 0; index < 107; ++index)
            ASSERT_EQ(reader->getParameterValue(reader.t, index),
                      writer->getParameterValue(writer.t, index))
                << index;
    }
}

// Oversized input is refused or cut at entry, in bounded time, and nothing
// else changes: a chunk over 1 MiB is not loaded at all; a preset name is cut
// to 255 bytes, never inside a UTF-8 sequence.
TEST(ProcessorRestore, oversizedChunksAreRefusedAndLongPresetNamesCut)
{
    Processor processor;
    processor.load("<Preset PresetName=\"Kept\"><Output Mix=\"25.000000\" /></Preset>");
    const std::string before = processor.chunk();

    std::string padded = "<Preset PresetName=\"Big\"><Output Mix=\"75.000000\" /></Preset>";
    padded.resize(Zq::BorvanRAZ::Process::kMaxChunkBytes + 1, ' ');
    processor.load(padded);
    EXPECT_EQ(processor.chunk(), before);
    padded.resize(Zq::BorvanRAZ::Process::kMaxChunkBytes); // the largest one taken
    processor.load(padded);
    EXPECT_NE(processor.chunk().find("PresetName=\"Big\""), std::string::npos);

    std::string name;
    for (int i = 0; i < 300; ++i)
        name += "\xC3\xA9"; // two bytes each
    processor.load("<Preset PresetName=\"" + name + "\" />");
    const std::string& kept = processor.processor.getDocument().getPresetName();
    EXPECT_EQ(kept, name.substr(0, 254));
}

} // namespace
