// Audio, parameters, the host's tempo and MIDI through the bridge: call
// orders over the recording stand-in, signal paths over the real module.

#include "VstTestHost.h"
#include "tests/support/CountingAllocator.h"

#include <cmath>
#include <limits>
#include <memory>
#include <set>

namespace {

using namespace test;

constexpr int kFrames = 256;

std::vector<float> sine(float step)
{
    std::vector<float> signal(kFrames);
    for (int i = 0; i < kFrames; ++i)
        signal[static_cast<std::size_t>(i)] = 0.25f * std::sin(step * static_cast<float>(i));
    return signal;
}

using AudioTest = BridgeTest;

TEST_F(AudioTest, mainsOnSetsTheChannelsFromTheConnectedPinsThenStarts)
{
    struct Case {
        bool secondInput;
        bool secondOutput;
        const char* inputs;
        const char* outputs;
    };
    RecordingStub& stub = useStub();
    for (const Case& c : {Case{false, true, "setNumInputChannels 1", "setNumOutputChannels 2"},
                          Case{true, false, "setNumInputChannels 2", "setNumOutputChannels 1"},
                          Case{true, true, "setNumInputChannels 2", "setNumOutputChannels 2"}}) {
        SCOPED_TRACE(std::string(c.inputs) + ", " + c.outputs);
        host.secondInputConnected = c.secondInput;
        host.secondOutputConnected = c.secondOutput;
        Effect effect(open());
        ASSERT_TRUE(effect);
        stub.clearJournal();
        host.clear();
        effect(effMainsChanged, 0, 1);
        effect(effMainsChanged, 0, 0);
        EXPECT_EQ(stub.journal(),
                  (std::vector<std::string>{c.inputs, c.outputs, "resume", "startProcess",
                                            "stopProcess", "suspend"}));
        EXPECT_EQ(host.calls(), (std::vector<std::string>{"4 1 0", "4 1 1"}))
            << "input pin 1, output pin 1";
    }
}

TEST_F(AudioTest, onlyInputPinZeroConnectedMakesTheModuleMonoIn)
{
    // Pin 0 alone, with garbage on the unconnected pin, sounds like a twin fed
    // the same signal on both pins (whose fold is that signal again).
    std::vector<float> outputsOf[2][2];
    for (int which = 0; which < 2; ++which) {
        host.secondInputConnected = which == 1;
        Effect effect(open());
        ASSERT_TRUE(effect);
        effect(effSetSampleRate, 0, 0, nullptr, 44100.0f);
        effect(effSetBlockSize, 0, kFrames);
        effect(effMainsChanged, 0, 1);

        std::vector<float> left = sine(0.05f);
        std::vector<float> second =
            which == 0 ? std::vector<float>(kFrames, std::numeric_limits<float>::quiet_NaN())
                       : left;
        for (auto& channel : outputsOf[which])
            channel.assign(4 * kFrames, 0.0f);
        for (int block = 0; block < 4; ++block) {
            float* inputs[2] = {left.data(), second.data()};
            float* outputs[2] = {outputsOf[which][0].data() + block * kFrames,
                                 outputsOf[which][1].data() + block * kFrames};
            effect->processReplacing(effect.get(), inputs, outputs, kFrames);
        }
    }
    for (int channel = 0; channel < 2; ++channel) {
        double energy = 0.0;
        for (float x : outputsOf[0][channel]) {
            ASSERT_TRUE(std::isfinite(x));
            energy += double(x) * x;
        }
        EXPECT_GT(energy, 1.0) << "channel " << channel;
        EXPECT_EQ(outputsOf[0][channel], outputsOf[1][channel]) << "channel " << channel;
    }
}

TEST_F(AudioTest, processAndProcessReplacingGiveTheSameOutput)
{
    // Two fresh instances, so state inside the rig cannot tell them apart.
    std::vector<float> outputsOf[2][2];
    for (int which = 0; which < 2; ++which) {
        Effect effect(open());
        ASSERT_TRUE(effect);
        effect(effSetSampleRate, 0, 0, nullptr, 48000.0f);
        effect(effSetBlockSize, 0, kFrames);
        effect(effMainsChanged, 0, 1);
        std::vector<float> left = sine(0.05f), right = sine(0.03f);
        for (auto& channel : outputsOf[which])
            channel.assign(kFrames, 1.0f); // an accumulating call would add to this
        float* inputs[2] = {left.data(), right.data()};
        float* outputs[2] = {outputsOf[which][0].data(), outputsOf[which][1].data()};
        for (int block = 0; block < 3; ++block)
            (which == 0 ? effect->process : effect->processReplacing)(effect.get(), inputs, outputs,
                                                                      kFrames);
        effect(effMainsChanged, 0, 0);
    }
    EXPECT_EQ(outputsOf[0][0], outputsOf[1][0]);
    EXPECT_EQ(outputsOf[0][1], outputsOf[1][1]);
    EXPECT_NE(outputsOf[0][0], std::vector<float>(kFrames, 1.0f));
}

TEST_F(AudioTest, hostBuffersGoStraightToTheProcessor)
{
    RecordingStub& stub = useStub();
    Effect effect(open());
    ASSERT_TRUE(effect);
    std::vector<float> left(64, 0.5f), right(64, -0.25f), outLeft(64), outRight(64);
    float* inputs[2] = {left.data(), right.data()};
    float* outputs[2] = {outLeft.data(), outRight.data()};
    stub.clearJournal();
    effect->processReplacing(effect.get(), inputs, outputs, 64);
    effect->process(effect.get(), inputs, outputs, 64);
    EXPECT_EQ(stub.journal(),
              (std::vector<std::string>{"process 64 flags 0", "process 64 flags 0"}));
    EXPECT_EQ(outLeft[63], 1.0f);
    EXPECT_EQ(outRight[0], -0.5f);
}

TEST_F(AudioTest, parametersMapToTheNormalisedEntriesAndChangesReachTheHostOnce)
{
    RecordingStub& stub = useStub();
    Effect effect(open());
    ASSERT_TRUE(effect);
    stub.clearJournal();
    effect->setParameter(effect.get(), 2, 0.25f);
    EXPECT_EQ(effect->getParameter(effect.get(), 2), 0.25f);
    EXPECT_EQ(stub.journal(), (std::vector<std::string>{"setParameterNormalized 2 0.25",
                                                        "getParameterNormalized 2"}));

    // A change the module reports goes to the host as automation with the
    // normalised value, and is not echoed back into the module.
    stub.clearJournal();
    stub.reportChange(3, 440.0f, 0.4f);
    const auto automations = host.automations();
    ASSERT_EQ(automations.size(), 1u);
    EXPECT_EQ(automations[0].index, 3);
    EXPECT_EQ(automations[0].value, 0.4f);
    EXPECT_TRUE(stub.journal().empty());

    // The real module keeps the value it is given.
    platform::writeRegistryString("Carapace", "DUZ2Path", BORVANRAZ_MODULE_PATH);
    Effect rig(open());
    ASSERT_TRUE(rig);
    rig->setParameter(rig.get(), 0, 0.75f);
    EXPECT_NEAR(rig->getParameter(rig.get(), 0), 0.75f, 1e-6f);
}

TEST_F(AudioTest, theTempoCountsOnlyWhenTheHostMarksItValid)
{
    RecordingStub& stub = useStub();
    Effect effect(open());
    ASSERT_TRUE(effect);
    struct Case {
        const char* name;
        bool giveTime;
        double tempo;
        std::int32_t flags;
        float expected;
    };
    const double inf = std::numeric_limits<double>::infinity();
    for (const Case& c :
         {Case{"valid", true, 120.0, kVstTempoValid, 120.0f},
          Case{"valid among other flags", true, 97.5, kVstTempoValid | kVstTransportPlaying, 97.5f},
          Case{"flag missing", true, 120.0, kVstTransportPlaying, 0.0f},
          Case{"no time information", false, 120.0, kVstTempoValid, 0.0f},
          Case{"not a number", true, std::nan(""), kVstTempoValid, 0.0f},
          Case{"infinite", true, inf, kVstTempoValid, 0.0f},
          Case{"beyond float", true, 1e300, kVstTempoValid, 0.0f},
          Case{"negative", true, -120.0, kVstTempoValid, 0.0f}}) {
        SCOPED_TRACE(c.name);
        host.giveTime = c.giveTime;
        host.time = VstHost::tempo(c.tempo, c.flags);
        EXPECT_EQ(stub.askTempo(), c.expected);
        EXPECT_EQ(host.lastTimeFilter(), kVstTempoValid);
    }
}

TEST_F(AudioTest, aSynchronisedDelayShowsTheDelayOfTheHostsTempo)
{
    Effect effect(open());
    ASSERT_TRUE(effect);
    effect(effSetSampleRate, 0, 0, nullptr, 44100.0f);
    effect(effSetBlockSize, 0, kFrames);
    effect(effMainsChanged, 0, 1);
    // A quarter note, synchronised, in the third slot.
    const std::string program = "<Preset PresetName=\"Echo\"><Stomp Stomp2=\"MemoryMan\">"
                                "<Stomp2 BPM=\"1\" DelayBPM=\"7\" /></Stomp></Preset>";
    host.clear();
    effect.setChunk(program, true);

    std::vector<float> in = sine(0.05f), outLeft(kFrames), outRight(kFrames);
    float* inputs[2] = {in.data(), in.data()};
    float* outputs[2] = {outLeft.data(), outRight.data()};
    struct Case {
        double tempo;
        const char* delay;
    };
    for (const Case& c : {Case{120.0, "500.0 ms"}, Case{240.0, "250.0 ms"}}) {
        host.time = VstHost::tempo(c.tempo, kVstTempoValid);
        effect->processReplacing(effect.get(), inputs, outputs, kFrames);
        EXPECT_EQ(effect.text(effGetParamDisplay, 18), c.delay) << c.tempo;
    }
    EXPECT_EQ(effect.text(effGetParamDisplay, 17), "Off");
    // The slot's switch bound the delay's eight parameters and told the host.
    std::set<int> automated;
    for (const auto& automation : host.automations())
        automated.insert(automation.index);
    for (int index = 17; index <= 24; ++index)
        EXPECT_EQ(automated.count(index), 1u) << index;
}

// A batch of events as a host hands it over: the count, then the pointers
// (VstEvents ends in an array that runs on past its declared size).
class EventBatch {
public:
    void add(void* event) { pointers_.push_back(static_cast<VstEvent*>(event)); }
    VstEvents* events()
    {
        storage_.assign(offsetof(VstEvents, events) + pointers_.size() * sizeof(VstEvent*), 0);
        auto* batch = reinterpret_cast<VstEvents*>(storage_.data());
        batch->numEvents = static_cast<std::int32_t>(pointers_.size());
        std::memcpy(storage_.data() + offsetof(VstEvents, events), pointers_.data(),
                    pointers_.size() * sizeof(VstEvent*));
        return batch;
    }

private:
    std::vector<VstEvent*> pointers_;
    std::vector<char> storage_;
};

TEST_F(AudioTest, midiEventsReachTheProcessorWithoutSysexUpToTheBuffersSize)
{
    RecordingStub& stub = useStub();
    Effect effect(open());
    ASSERT_TRUE(effect);

    // 600 notes with a sysex dump after every hundredth.
    std::vector<VstMidiEvent> notes(600);
    std::vector<VstMidiSysexEvent> dumps(6);
    char dump[4] = {'\xF0', 0x7E, 0x01, '\xF7'};
    EventBatch batch;
    for (int i = 0; i < 600; ++i) {
        VstMidiEvent& note = notes[static_cast<std::size_t>(i)];
        note = {};
        note.type = kVstMidiType;
        note.byteSize = sizeof(VstMidiEvent);
        note.deltaFrames = i;
        note.midiData[0] = '\x90';
        note.midiData[1] = static_cast<char>(i % 128);
        note.midiData[2] = 100;
        batch.add(&note);
        if (i % 100 == 99) {
            VstMidiSysexEvent& sysex = dumps[static_cast<std::size_t>(i / 100)];
            sysex = {};
            sysex.type = kVstSysExType;
            sysex.byteSize = sizeof(VstMidiSysexEvent);
            sysex.dumpBytes = sizeof dump;
            sysex.sysexDump = dump;
            batch.add(&sysex);
        }
    }
    VstEvents* events = batch.events();

    // The 512 records held from construction take the first 512 notes; the
    // rest are dropped, never a buffer grown on the audio thread.
    stub.clearJournal();
    EXPECT_EQ(effect(effProcessEvents, 0, 0, events), 1);
    EXPECT_EQ(stub.journal(), std::vector<std::string>{"processMidiEvents 512"});
    const auto received = stub.lastMidiEvents();
    ASSERT_EQ(received.size(), 512u);
    for (int i = 0; i < 512; ++i) {
        const auto& event = received[static_cast<std::size_t>(i)];
        ASSERT_EQ(event.deltaFrames, i);
        ASSERT_EQ(event.data[0], 0x90);
        ASSERT_EQ(event.data[1], i % 128);
        ASSERT_EQ(event.data[2], 100);
    }

    events->numEvents = 2;
    EXPECT_EQ(effect(effProcessEvents, 0, 0, events), 1);
    EXPECT_EQ(stub.lastMidiEvents().size(), 2u);
}

// Records too short for the MIDI bytes are skipped without a byte of them
// read (each lives in a heap block of exactly its size, so ASan sees any read
// past it).
TEST_F(AudioTest, shortMidiRecordsAreSkippedUnread)
{
    RecordingStub& stub = useStub();
    Effect effect(open());
    ASSERT_TRUE(effect);
    constexpr std::int32_t kHead = 2 * sizeof(std::int32_t); // type and byteSize
    const std::int32_t sizes[] = {0, 4, 16, 19, 20, 24};     // bytes behind the head
    std::vector<std::unique_ptr<char[]>> records;
    EventBatch batch;
    for (std::int32_t size : sizes) {
        records.push_back(std::make_unique<char[]>(static_cast<std::size_t>(kHead + size)));
        char* record = records.back().get();
        const std::int32_t head[2] = {kVstMidiType, size};
        std::memcpy(record, head, sizeof head);
        if (size >= 4) {
            const std::int32_t delta = size;
            std::memcpy(record + kHead, &delta, sizeof delta);
        }
        if (size >= 20)
            std::memcpy(record + offsetof(VstMidiEvent, midiData), "\x90\x28\x40", 3);
        batch.add(record);
    }
    stub.clearJournal();
    EXPECT_EQ(effect(effProcessEvents, 0, 0, batch.events()), 1);
    const auto received = stub.lastMidiEvents();
    ASSERT_EQ(received.size(), 2u); // the records of 20 and 24 bytes
    EXPECT_EQ(received[0].deltaFrames, 20);
    EXPECT_EQ(received[1].deltaFrames, 24);
    EXPECT_EQ(received[1].data[0], 0x90);
    EXPECT_EQ(received[1].data[1], 0x28);
}

// A hostile batch through the real module: 10,000 notes among records of
// every short size, handled with no allocation on the audio thread.
TEST_F(AudioTest, tenThousandEventsAllocateNothing)
{
    Effect effect(open());
    ASSERT_TRUE(effect);
    std::vector<VstMidiEvent> notes(10000);
    EventBatch batch;
    for (std::size_t i = 0; i < notes.size(); ++i) {
        notes[i] = {};
        notes[i].type = kVstMidiType;
        notes[i].byteSize = static_cast<std::int32_t>(i % 7 == 0 ? i % 20 : sizeof(VstMidiEvent));
        notes[i].midiData[0] = '\x90';
        batch.add(&notes[i]);
    }
    VstEvents* events = batch.events();
    effect(effProcessEvents, 0, 0, events); // the dispatcher's first call
    test::allocations::take();
    {
        test::allocations::Counting counting;
        for (int round = 0; round < 3; ++round)
            EXPECT_EQ(effect(effProcessEvents, 0, 0, events), 1);
    }
    EXPECT_EQ(test::allocations::take(), 0);
}

TEST_F(AudioTest, midiBeforeAnyResumeFindsABufferWhateverTheProcessorWants)
{
    VstMidiEvent note{};
    note.type = kVstMidiType;
    note.byteSize = sizeof note;
    note.midiData[0] = '\x90';
    VstEvents events{};
    events.numEvents = 1;
    events.events[0] = reinterpret_cast<VstEvent*>(&note);

    // The real module's processor wants no MIDI (flags 0).
    {
        Effect rig(open());
        ASSERT_TRUE(rig);
        EXPECT_EQ(rig(effProcessEvents, 0, 0, &events), 1);
    }

    RecordingStub& stub = useStub();
    for (std::int32_t flags : {0, 2, 3}) {
        SCOPED_TRACE(flags);
        stub.settings().flags = flags;
        host.clear();
        Effect effect(open());
        ASSERT_TRUE(effect);
        EXPECT_EQ(effect(effProcessEvents, 0, 0, &events), 1);
        EXPECT_EQ(stub.lastMidiEvents().size(), 1u);
        effect(effMainsChanged, 0, 1);
        // Bit 1 asks for MIDI at construction and at every resume; bit 0
        // makes an instrument.
        const auto calls = host.calls();
        EXPECT_EQ(std::count(calls.begin(), calls.end(), "6 0 1"), (flags & 2) ? 2 : 0);
        EXPECT_EQ((effect->flags & effFlagsIsSynth) != 0, (flags & 1) != 0);
    }
}

} // namespace
