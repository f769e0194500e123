#include "engine/dsp/TunerEngine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <string>
#include <vector>

using namespace dsp::Domain::Pitch;

namespace {

// A periodic tone of harmonics (partial k at amplitude amplitudes[k - 1]), phase kept in double.
class Tone {
public:
    Tone(double hertz, double sampleRate, std::vector<double> amplitudes, double level)
        : step_(2.0 * std::numbers::pi * hertz / sampleRate), amplitudes_(std::move(amplitudes)),
          level_(level)
    {
        double peak = 0.0; // scale so that the sum of the partials peaks near `level`
        for (double a : amplitudes_)
            peak += a;
        scale_ = level_ / peak;
    }
    void fill(float* x, int n)
    {
        for (int i = 0; i < n; ++i) {
            double v = 0.0;
            for (std::size_t k = 0; k < amplitudes_.size(); ++k)
                v += amplitudes_[k] * std::sin(double(k + 1) * phase_);
            x[i] = static_cast<float>(scale_ * v);
            phase_ += step_;
            if (phase_ > 2.0 * std::numbers::pi)
                phase_ -= 2.0 * std::numbers::pi;
        }
    }

private:
    double step_;
    std::vector<double> amplitudes_;
    double level_;
    double scale_ = 1.0;
    double phase_ = 0.0;
};

double semitonesFromA(double hertz, double cents)
{
    return hertz * std::pow(2.0, cents / 1200.0);
}

// Chunk lengths the host may hand over: multiples of 4 up to 64, irregular.
constexpr int kChunks[] = {64, 4, 36, 64, 60, 8, 64, 28, 64, 16};

struct Readings {
    long firstValid = -1;
    int count = 0;
    int wrongNote = 0;
    int minCents = 1000;
    int maxCents = -1000;
};

// Feeds the tone until `after` samples past the first valid reading (or `limit` samples) and
// collects every reading, counting those whose note or octave differ from the truth.
Readings listen(TunerEngine& engine, Tone& tone, const NoteReading& truth, long after, long limit)
{
    Readings r;
    float in[64], out[64];
    long t = 0;
    for (int c = 0; t < limit; ++c) {
        const int n = kChunks[c % std::size(kChunks)];
        tone.fill(in, n);
        engine.process(in, out, n);
        t += n;
        if (engine.isValid()) {
            if (r.firstValid < 0)
                r.firstValid = t;
            ++r.count;
            if (engine.getNoteIndex() != truth.noteIndex || engine.getOctave() != truth.octave)
                ++r.wrongNote;
            r.minCents = std::min(r.minCents, engine.getCents());
            r.maxCents = std::max(r.maxCents, engine.getCents());
        }
        if (r.firstValid >= 0 && t >= r.firstValid + after)
            break;
    }
    return r;
}

} // namespace

TEST(NoteConversion, ExactFrequenciesGiveTheirNotes)
{
    struct Case {
        const char* name;
        double hertz;
        float reference;
        int note, octave, cents;
    };
    const double quarter = std::pow(2.0, 0.5 / 12.0);
    const Case cases[] = {
        {"the reference is A of octave 3", 440.0, 440.0f, 9, 3, 0},
        {"a quarter tone sharp rounds up to the next note", 440.0 * quarter, 440.0f, 10, 3, -50},
        {"slightly less stays on the note", 440.0 * std::pow(2.0, 0.4999 / 12.0), 440.0f, 9, 3, 49},
        {"below the reference half a semitone rounds down too: F# +50",
         440.0 * std::pow(2.0, -2.5 / 12.0), 440.0f, 6, 3, 50},
        {"E1 is E of octave 0", 41.2034446, 440.0f, 4, 0, 0},
        {"C below A", 440.0 * std::pow(2.0, -9.0 / 12.0), 440.0f, 0, 3, 0},
        {"B below that C is octave 2", 440.0 * std::pow(2.0, -10.0 / 12.0), 440.0f, 11, 2, 0},
        {"reference 425 is A itself", 425.0, 425.0f, 9, 3, 0},
        {"440 against 425 is 60 cents up: A# -39", 440.0, 425.0f, 10, 3, -39},
        {"440 against 455 is 58 cents down: G# +41", 440.0, 455.0f, 8, 3, 41},
        {"0.5 Hz counts as 1 Hz", 0.5, 440.0f, 0, -5, -37},
        {"1 Hz", 1.0, 440.0f, 0, -5, -37},
        {"0 Hz counts as 1 Hz", 0.0, 440.0f, 0, -5, -37},
        {"a reference far above the range still gives an index 0 .. 11", 440.0, 1.0e30f, 10, -88,
         48},
    };
    for (const Case& c : cases) {
        const NoteReading r = convertNote(static_cast<float>(c.hertz), c.reference);
        EXPECT_EQ(r.noteIndex, c.note) << c.name;
        EXPECT_EQ(r.octave, c.octave) << c.name;
        EXPECT_EQ(r.cents, c.cents) << c.name;
    }
    const NoteReading nan = convertNote(std::numeric_limits<float>::quiet_NaN(), 440.0f);
    EXPECT_EQ(nan.noteIndex, 0) << "a NaN frequency counts as 1 Hz";
    EXPECT_EQ(nan.octave, -5);
}

// Every valid reading of a steady sine names the note and octave of the true pitch, with cents
// within one of the true offset, at the common host rates.
TEST(TunerEngine, ReadsSinesAcrossTheBassRangeAtEveryRate)
{
    const double pitches[] = {41.2034, 55.0, 73.4162, 97.9989, 130.813, 195.998, 293.665, 391.995};
    const double offsets[] = {-25.0, -10.0, 0.0, 10.0, 25.0};
    const float rates[] = {44100.0f, 48000.0f, 96000.0f};
    const float level = 0.1f; // -20 dBFS
    for (float rate : rates) {
        for (double pitch : pitches) {
            for (double offset : offsets) {
                const double hertz = semitonesFromA(pitch, offset);
                const std::string name =
                    std::to_string(hertz) + " Hz at " + std::to_string(int(rate));
                TunerEngine engine;
                engine.setSampleRate(rate);
                Tone tone(hertz, rate, {1.0}, level);
                const int N = engine.getDetector().getACF().getSize();
                const NoteReading truth = convertNote(static_cast<float>(hertz), 440.0f);
                const Readings r = listen(engine, tone, truth, 2048, 3 * N + 5000 + 4096);
                ASSERT_GE(r.firstValid, 0) << name;
                EXPECT_LE(r.firstValid, 3 * N + 5000 + 64) << name;
                EXPECT_EQ(r.wrongNote, 0) << name;
                EXPECT_GE(r.minCents, truth.cents - 1) << name;
                EXPECT_LE(r.maxCents, truth.cents + 1) << name;
            }
        }
    }
}

// Eight partials at 1/k, and the same with the fundamental at a tenth: the lag function and the
// crossing trackers must lock on the fundamental's period, not on a partial's.
TEST(TunerEngine, ReadsHarmonicRichTonesOnTheirFundamental)
{
    const std::vector<double> full = {1.0,     1.0 / 2, 1.0 / 3, 1.0 / 4,
                                      1.0 / 5, 1.0 / 6, 1.0 / 7, 1.0 / 8};
    std::vector<double> weak = full;
    weak[0] = 0.1;
    struct Case {
        const char* name;
        double hertz;
        const std::vector<double>* partials;
    };
    const Case cases[] = {
        {"E1, eight partials", 41.2034, &full},
        {"E1, weak fundamental", 41.2034, &weak},
        {"A1, eight partials", 55.0, &full},
        {"A1, weak fundamental", 55.0, &weak},
        {"A1 10 cents sharp, weak fundamental", semitonesFromA(55.0, 10.0), &weak}};
    for (const Case& c : cases) {
        TunerEngine engine;
        Tone tone(c.hertz, 44100.0, *c.partials, 0.1);
        const NoteReading truth = convertNote(static_cast<float>(c.hertz), 440.0f);
        const Readings r = listen(engine, tone, truth, 4096, 3 * 4096 + 5000 + 4096);
        ASSERT_GE(r.firstValid, 0) << c.name;
        EXPECT_EQ(r.wrongNote, 0) << c.name;
        EXPECT_GE(r.minCents, truth.cents - 1) << c.name;
        EXPECT_LE(r.maxCents, truth.cents + 1) << c.name;
    }
}

TEST(MutingFader, FadesOverATenthOfASecondOnTheSquareRootLaw)
{
    MutingFader fader;
    fader.setSampleRate(48000.0f);
    ASSERT_EQ(fader.getFadeLength(), 4800);
    const std::vector<float> ones(64, 1.0f);
    auto run = [&](int samples) {
        std::vector<float> y;
        float out[64];
        for (int done = 0; done < samples; done += 64) {
            fader.process(ones.data(), out, 64);
            y.insert(y.end(), out, out + 64);
        }
        return y;
    };

    fader.mute();
    std::vector<float> y = run(4800 + 640);
    for (int i = 0; i < 4800; i += 97)
        ASSERT_NEAR(y[i], std::sqrt(1.0 - i / 4800.0), 1e-5) << "fading out, sample " << i;
    for (int i = 4800; i < int(y.size()); ++i)
        ASSERT_EQ(y[i], 0.0f) << "muted, sample " << i;
    EXPECT_EQ(fader.getState(), MutingFader::Muted);

    fader.unmute();
    y = run(4800 + 640);
    for (int i = 0; i < 4800; i += 97)
        ASSERT_NEAR(y[i], std::sqrt(i / 4800.0), 1e-5) << "fading in, sample " << i;
    for (int i = 4800; i < int(y.size()); ++i)
        ASSERT_EQ(y[i], 1.0f) << "passing, sample " << i;
    EXPECT_EQ(fader.getState(), MutingFader::Pass);

    // Turning round mid-fade continues from the gain reached: no step.
    fader.mute();
    y = run(1216);
    const float reached = y.back();
    fader.unmute();
    y = run(64);
    EXPECT_NEAR(y.front(), reached, 1e-3f);
}

TEST(TunerEngine, BypassedEngineNeverMutes)
{
    TunerEngine engine;
    const std::vector<float> ones(64, 1.0f);
    float out[64];
    auto lastOf = [&](int samples) {
        for (int done = 0; done < samples; done += 64)
            engine.process(ones.data(), out, 64);
        return out[63];
    };
    engine.setBypass(true);
    engine.setMute(true);
    EXPECT_EQ(lastOf(8820), 1.0f) << "muted while bypassed: passes";
    engine.setBypass(false);
    EXPECT_EQ(lastOf(4480), 0.0f) << "no longer bypassed: fades out within 100 ms";
    engine.setBypass(true);
    EXPECT_EQ(lastOf(4480), 1.0f) << "bypassed again: fades back in";
    EXPECT_FALSE(engine.isValid()) << "a bypassed engine reads nothing";
}

// Two engines in one process: a note starting on one must not restart the other's hold.
TEST(TunerEngine, EachEngineCountsItsOwnNoteOnset)
{
    TunerEngine first, second;
    Tone e1(41.2034, 44100.0, {1.0}, 0.1);
    Tone a2(110.0, 44100.0, {1.0}, 0.1);
    float x[64], y[64], silence[64] = {}, out[64];
    long t = 0;
    while (!first.isValid() && t < 40000) {
        e1.fill(x, 64);
        first.process(x, out, 64);
        second.process(silence, out, 64);
        t += 64;
    }
    ASSERT_TRUE(first.isValid());
    int firstDropped = 0;
    bool secondOn = false;
    for (long s = 0; s < 3 * 4096 + 6000; s += 64) {
        e1.fill(x, 64);
        a2.fill(y, 64);
        second.process(y, out, 64);
        first.process(x, out, 64);
        firstDropped += first.isValid() ? 0 : 1;
        secondOn = secondOn || second.getDetector().isNoteOn();
    }
    EXPECT_TRUE(secondOn);
    EXPECT_TRUE(second.isValid());
    EXPECT_EQ(firstDropped, 0);
}

// NaN, infinities and absurd levels in the input are forgotten once they have passed.
TEST(TunerEngine, NonFiniteInputNeverPoisonsTheDetector)
{
    TunerEngine engine;
    Tone tone(55.0, 44100.0, {1.0}, 0.1);
    const NoteReading truth = convertNote(55.0f, 440.0f);
    listen(engine, tone, truth, 64, 40000);
    ASSERT_TRUE(engine.isValid());

    float x[64], out[64];
    tone.fill(x, 64);
    x[3] = std::numeric_limits<float>::quiet_NaN();
    x[10] = std::numeric_limits<float>::infinity();
    x[11] = -std::numeric_limits<float>::infinity();
    x[20] = 1.0e30f;
    x[21] = -3.0e38f;
    engine.process(x, out, 64);
    EXPECT_TRUE(std::isnan(out[3])) << "the signal itself passes unchanged";

    // Settle the high-pass's tail of the spike, then every reading is right again.
    float scratch[64];
    for (int i = 0; i < 44100 / 64; ++i) {
        tone.fill(scratch, 64);
        engine.process(scratch, out, 64);
    }
    const Readings r = listen(engine, tone, truth, 8192, 40000);
    ASSERT_GE(r.firstValid, 0);
    EXPECT_EQ(r.wrongNote, 0);
    EXPECT_GE(r.minCents, truth.cents - 1);
    EXPECT_LE(r.maxCents, truth.cents + 1);
    EXPECT_TRUE(std::isfinite(engine.getDeviation()));
}
