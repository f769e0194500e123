// ctest-label: tsan
#include "AutomationFixtures.h"

#include <string>

namespace {

using namespace Zq::Application::DocView;

// One host parameter: its name, its display kind ('d' decibels, 'p' plain,
// 'e' enumerated) and its decimals, unit or value names ("|"-separated).
struct Entry {
    const char* name;
    char kind;
    int decimals;
    const char* detail;
};

constexpr const char* OffOn = "Off|On";
constexpr const char* ChorusVibrato = "Chorus|Vibrato";

// Host indices 0 ... 106, fixed for good: hosts save them in sessions.
const Entry kEntries[] = {
    {"Master Level", 'd', 1, ""},
    {"Phase", 'p', 1, "ms"},
    {"Mix", 'p', 0, "%"},
    {"Stomp Bypass", 'e', 0, OffOn},
    {"Stomp Output Volume", 'd', 1, ""},
    {"Analog Chorus Bypass", 'e', 0, OffOn}, // 5
    {"Analog Chorus Level", 'd', 1, ""},
    {"Analog Chorus Chorus", 'p', 1, ""},
    {"Analog Chorus Vibrato Depth", 'p', 1, ""},
    {"Analog Chorus Vibrato Rate", 'p', 1, ""},
    {"Analog Chorus Mode", 'e', 0, ChorusVibrato}, // 10
    {"Borvan DLK-OD Bypass", 'e', 0, OffOn},
    {"Borvan DLK-OD Texture", 'p', 1, ""},
    {"Borvan DLK-OD Balance", 'p', 1, ""},
    {"Borvan DLK-OCT Bypass", 'e', 0, OffOn},
    {"Borvan DLK-OCT Direct", 'p', 1, ""}, // 15
    {"Borvan DLK-OCT Octave", 'p', 1, ""},
    {"Analog Delay Bypass", 'e', 0, OffOn},
    {"Analog Delay Delay", 'p', 1, "ms"},
    {"Analog Delay Feedback", 'p', 0, "%"},
    {"Analog Delay Blend", 'p', 0, "%"}, // 20
    {"Analog Delay Ch/Vib", 'p', 0, "%"},
    {"Analog Delay Mode", 'e', 0, ChorusVibrato},
    {"Analog Delay BPM Sync", 'e', 0, OffOn},
    {"Analog Delay BPM Meter", 'e', 0,
     "1/32|1/16|1/16t|1/16d|1/8|1/8t|1/8d|1/4|1/4t|1/4d|1/2|1/2t|1/2d|1/1"},
    {"Bass Wah Bypass", 'e', 0, OffOn}, // 25
    {"Bass Wah Mode", 'e', 0, "On|Auto"},
    {"Bass Wah Wah", 'p', 0, "%"},
    {"Compressor Bypass", 'e', 0, OffOn},
    {"Compressor Output", 'd', 2, ""},
    {"Compressor Sensitivity", 'p', 1, ""}, // 30
    {"Envelope Filter Bypass", 'e', 0, OffOn},
    {"Envelope Filter Freq", 'p', 1, "Hz"},
    {"Envelope Filter Reso", 'p', 1, ""},
    {"Envelope Filter Depth", 'p', 0, "%"},
    {"Envelope Filter Pole Mode", 'e', 0, "12|24"}, // 35
    {"Envelope Filter Band Mode", 'e', 0, "High Pass|Band Pass|Low Pass"},
    {"Volume Pedal Bypass", 'e', 0, OffOn},
    {"Volume Pedal Min Volume", 'p', 1, ""},
    {"Volume Pedal Volume", 'p', 0, "%"},
    {"Amp Bypass", 'e', 0, OffOn}, // 40
    {"Amp Output Volume", 'd', 1, ""},
    {"Amp GN-500 Pad", 'e', 0, OffOn},
    {"Amp GN-500 Gain", 'p', 1, ""},
    {"Amp GN-500 Bass", 'p', 1, ""},
    {"Amp GN-500 Ultra Mid", 'p', 1, ""}, // 45
    {"Amp GN-500 Treble", 'p', 1, ""},
    {"Amp GN-500 Master", 'p', 1, ""},
    {"Amp GN-500 Limit", 'e', 0, OffOn},
    {"Amp GN-500 EQ On", 'e', 0, OffOn},
    {"Amp GN-500 Band 40Hz", 'p', 0, "dB"}, // 50
    {"Amp GN-500 Band 80Hz", 'p', 0, "dB"},
    {"Amp GN-500 Band 150Hz", 'p', 0, "dB"},
    {"Amp GN-500 Band 300Hz", 'p', 0, "dB"},
    {"Amp GN-500 Band 600Hz", 'p', 0, "dB"},
    {"Amp GN-500 Band 900Hz", 'p', 0, "dB"}, // 55
    {"Amp GN-500 Band 2KHz", 'p', 0, "dB"},
    {"Amp GN-500 Band 5KHz", 'p', 0, "dB"},
    {"Amp GN-500 Band 9KHz", 'p', 0, "dB"},
    {"Amp Q-9R UltraHi", 'e', 0, OffOn},
    {"Amp Q-9R UltraLo", 'e', 0, OffOn}, // 60
    {"Amp Q-9R Gain", 'p', 1, ""},
    {"Amp Q-9R Bass", 'p', 1, ""},
    {"Amp Q-9R Mid", 'p', 1, ""},
    {"Amp Q-9R Frequency", 'p', 0, ""},
    {"Amp Q-9R Treble", 'p', 1, ""}, // 65
    {"Amp Q-9R Master", 'p', 1, ""},
    {"Amp Q-9R PowerMode", 'e', 0, "50W|100W"},
    {"Amp RKM-CL Gain", 'p', 1, ""},
    {"Amp RKM-CL UltraHi", 'e', 0, OffOn},
    {"Amp RKM-CL UltraLo", 'e', 0, OffOn}, // 70
    {"Amp RKM-CL Bass", 'p', 1, ""},
    {"Amp RKM-CL Midrange", 'p', 1, ""},
    {"Amp RKM-CL Frequency", 'p', 0, ""},
    {"Amp RKM-CL Treble", 'p', 1, ""},
    {"Amp RKM-CL Master", 'p', 1, ""}, // 75
    {"Amp RKM-4 PRO -15dB", 'e', 0, OffOn},
    {"Amp RKM-4 PRO Gain", 'p', 1, ""},
    {"Amp RKM-4 PRO Compression", 'p', 1, ""},
    {"Amp RKM-4 PRO UltraHi", 'e', 0, OffOn},
    {"Amp RKM-4 PRO UltraLo", 'e', 0, OffOn}, // 80
    {"Amp RKM-4 PRO Bass", 'p', 1, ""},
    {"Amp RKM-4 PRO Midrange", 'p', 1, ""},
    {"Amp RKM-4 PRO Frequency", 'p', 0, ""},
    {"Amp RKM-4 PRO Treble", 'p', 1, ""},
    {"Amp RKM-4 PRO Limit Defeat", 'e', 0, OffOn}, // 85
    {"Amp RKM-4 PRO Bright", 'e', 0, OffOn},
    {"Amp RKM-4 PRO Master", 'p', 1, ""},
    {"Amp RKM-4 PRO Eq Active", 'e', 0, OffOn},
    {"Amp RKM-4 PRO Band 33Hz", 'p', 0, "dB"},
    {"Amp RKM-4 PRO Band 80Hz", 'p', 0, "dB"}, // 90
    {"Amp RKM-4 PRO Band 150Hz", 'p', 0, "dB"},
    {"Amp RKM-4 PRO Band 300Hz", 'p', 0, "dB"},
    {"Amp RKM-4 PRO Band 600Hz", 'p', 0, "dB"},
    {"Amp RKM-4 PRO Band 900Hz", 'p', 0, "dB"},
    {"Amp RKM-4 PRO Band 2KHz", 'p', 0, "dB"}, // 95
    {"Amp RKM-4 PRO Band 5KHz", 'p', 0, "dB"},
    {"Amp RKM-4 PRO Band 8KHz", 'p', 0, "dB"},
    {"Amp RKM-4 PRO Eq Level", 'd', 0, ""},
    {"Cab Bypass", 'e', 0, OffOn},
    {"Cab Speaker Model", 'e', 0, "GN-500|Q-9R|JMR-410H|WF-212H|RKM-410H|RKM-810E"}, // 100
    {"Cab Mic Model", 'e', 0,
     "Dynamic 20|Dynamic 57|Dynamic 421|Vintage Dynamic 20|Condenser 87|Condenser 414"},
    {"Cab Mic Axis", 'e', 0, "On Axis|Off Axis"},
    {"Cab Mic Dist", 'e', 0, "Near|Far"},
    {"Cab Ambience", 'p', 1, ""},
    {"Cab High Level", 'p', 2, ""}, // 105
    {"Cab Output Volume", 'd', 1, ""},
};

std::string joined(const std::vector<std::string>& names)
{
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "" : "|") + name;
    return text;
}

using HostParameterListTest = test::AutomationTest;

TEST_F(HostParameterListTest, theHundredAndSevenParametersKeepTheirNamesKindsAndFormats)
{
    ASSERT_EQ(t->getNumParameters(t), 107);
    ASSERT_EQ(std::size(kEntries), 107u);
    for (int i = 0; i < 107; ++i) {
        const Entry& entry = kEntries[i];
        SCOPED_TRACE(i);
        EXPECT_STREQ(t->getParameterName(t, i), entry.name);
        AdapterAutomation* a = adapter(i);
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->getIndex(), i);
        switch (entry.kind) {
        case 'd': {
            auto* decibel = dynamic_cast<AdapterAutomationParamdB*>(a);
            ASSERT_NE(decibel, nullptr);
            EXPECT_EQ(decibel->getPrecision(), entry.decimals);
            break;
        }
        case 'p': {
            auto* plain = dynamic_cast<AdapterAutomationParam*>(a);
            ASSERT_NE(plain, nullptr);
            EXPECT_EQ(plain->getPrecision(), entry.decimals);
            EXPECT_EQ(plain->getUnit(), entry.detail);
            break;
        }
        default: {
            auto* named = dynamic_cast<AdapterAutomationParamEnum*>(a);
            ASSERT_NE(named, nullptr);
            EXPECT_EQ(joined(named->getValueNames()), entry.detail);
        }
        }
    }
}

TEST_F(HostParameterListTest, aFreshProcessorShowsTheDefaultsAndNothingForAbsentModels)
{
    struct Shown {
        int index;
        const char* text;
    };
    for (const Shown& s :
         {Shown{0, "0.0 dB"}, Shown{1, "0.0 ms"}, Shown{2, "100 %"}, Shown{3, "Off"},
          Shown{68, "5.2 "}, Shown{73, "3 "}, Shown{100, "RKM-410H"}, Shown{101, "Condenser 87"},
          Shown{102, "On Axis"}, Shown{103, "Near"}, Shown{105, "0.77 "}}) {
        EXPECT_STREQ(t->getParameterDisplay(t, s.index), s.text) << s.index;
    }
    EXPECT_EQ(t->getParameterValue(t, 2), 100.0f);
    EXPECT_EQ(t->getParameterNormalized(t, 2), 1.0f);
    for (int i = 0; i < 107; ++i) {
        const bool stompModel = i >= 5 && i <= 39;
        const bool absentAmp = (i >= 42 && i <= 67) || (i >= 76 && i <= 98);
        if (!stompModel && !absentAmp)
            continue;
        SCOPED_TRACE(i);
        EXPECT_STREQ(t->getParameterDisplay(t, i), "N/A");
        EXPECT_EQ(t->getParameterValue(t, i), 0.0f);
        EXPECT_EQ(t->getParameterNormalized(t, i), 0.0f);
    }
}

template <class Doc> std::vector<Parameter*> withBands(std::vector<Parameter*> front, Doc& document)
{
    for (Parameter& band : document.bands)
        front.push_back(&band);
    return front;
}

TEST_F(HostParameterListTest, everyIndexIsBoundToItsDocumentParameter)
{
    namespace D = Zq::BorvanRAZ::Document;
    auto expectRows = [&](int first, const std::vector<Parameter*>& parameters) {
        for (std::size_t i = 0; i < parameters.size(); ++i)
            EXPECT_EQ(adapter(first + static_cast<int>(i))->getParameter(), parameters[i])
                << first + i;
    };
    D::Output& output = rig.getOutput();
    D::StompModule& stomps = rig.getStompModule();
    D::AmpModule& amp = rig.getAmpModule();
    D::CabModule& cab = rig.getCabModule();
    expectRows(0,
               {&output.master, &output.phase, &output.mix, &stomps.bypass, &stomps.outputVolume});
    expectRows(40, {&amp.bypass, &amp.outputVolume});
    expectRows(99, {&cab.bypass, &cab.cabinetModel, &cab.micModel, &cab.micAxis, &cab.micDist,
                    &cab.ambience, &cab.highLevel, &cab.outputVolume});

    // Each stomp model in slot 0 in turn, by the document's model numbers.
    setSlot(0, 3);
    auto& chorus = dynamic_cast<D::StompRI1&>(*stomps.getStomp(0));
    expectRows(5, {&chorus.bypass, &chorus.level, &chorus.chorus, &chorus.vibratoDepth,
                   &chorus.vibratoRate, &chorus.mode});
    setSlot(0, 1);
    auto& overdrive = dynamic_cast<D::StompOverdrive&>(*stomps.getStomp(0));
    expectRows(11, {&overdrive.bypass, &overdrive.texture, &overdrive.balance});
    setSlot(0, 2);
    auto& octaver = dynamic_cast<D::StompOctaver&>(*stomps.getStomp(0));
    expectRows(14, {&octaver.bypass, &octaver.direct, &octaver.octave});
    setSlot(0, 4);
    auto& delay = dynamic_cast<D::StompMemoryMan&>(*stomps.getStomp(0));
    expectRows(17, {&delay.bypass, &delay.delay, &delay.feedback, &delay.blend, &delay.chVib,
                    &delay.mode, &delay.bpm, &delay.delayBpm});
    setSlot(0, 5);
    auto& wah = dynamic_cast<D::StompWah&>(*stomps.getStomp(0));
    expectRows(25, {&wah.bypass, &wah.mode, &wah.wah});
    setSlot(0, 6);
    auto& compressor = dynamic_cast<D::StompDynaComp&>(*stomps.getStomp(0));
    expectRows(28, {&compressor.bypass, &compressor.output, &compressor.sensitivity});
    setSlot(0, 7);
    auto& envelope = dynamic_cast<D::StompEnvelopeFilter&>(*stomps.getStomp(0));
    expectRows(31, {&envelope.bypass, &envelope.freq, &envelope.reso, &envelope.depth,
                    &envelope.poleMode, &envelope.bandMode});
    setSlot(0, 8);
    auto& volume = dynamic_cast<D::StompVolume&>(*stomps.getStomp(0));
    expectRows(37, {&volume.bypass, &volume.minLevel, &volume.volume});

    setAmp(0);
    auto& gn500 = dynamic_cast<D::AmpRE500&>(*amp.getAmpModel());
    expectRows(42, withBands({&gn500.pad, &gn500.gain, &gn500.bass, &gn500.mid, &gn500.treble,
                              &gn500.master, &gn500.limit, &gn500.eqBypass},
                             gn500));
    setAmp(1);
    auto& q9r = dynamic_cast<D::AmpV9E&>(*amp.getAmpModel());
    expectRows(59, {&q9r.ultraHi, &q9r.ultraLo, &q9r.gain, &q9r.bass, &q9r.mid, &q9r.freq,
                    &q9r.treble, &q9r.master, &q9r.watts});
    setAmp(2);
    auto& classic = dynamic_cast<D::AmpRKMClassic&>(*amp.getAmpModel());
    expectRows(68, {&classic.gain, &classic.ultraHi, &classic.ultraLo, &classic.bass, &classic.mid,
                    &classic.freq, &classic.treble, &classic.master});
    setAmp(3);
    auto& pro = dynamic_cast<D::AmpRKM4PRO&>(*amp.getAmpModel());
    std::vector<Parameter*> proRows = withBands(
        {&pro.minus15dB, &pro.gain, &pro.compression, &pro.ultraHi, &pro.ultraLo, &pro.bass,
         &pro.mid, &pro.freq, &pro.treble, &pro.limit, &pro.bright, &pro.master, &pro.eqBypass},
        pro);
    proRows.push_back(&pro.bandLevel);
    expectRows(76, proRows);
}

TEST_F(HostParameterListTest, equaliserBandsShowWholeDecibels)
{
    setAmp(0);
    auto& gn500 =
        dynamic_cast<Zq::BorvanRAZ::Document::AmpRE500&>(*rig.getAmpModule().getAmpModel());
    change(gn500.bands[0], 3.0f);
    change(gn500.bands[8], -9.6f);
    EXPECT_STREQ(t->getParameterDisplay(t, 50), "3 dB");
    EXPECT_STREQ(t->getParameterDisplay(t, 58), "-10 dB");
    EXPECT_STREQ(t->getParameterTextForNormalized(t, 50, 0.0f), "-10 dB");
}

} // namespace
