#pragma once

// The rig's golden outputs: fixed synthetic inputs played through fixed
// configurations of the whole chain, and the file that keeps each result.
// The renderer (GoldenRenderer.cpp) writes the files under tests/golden/data;
// the golden test re-renders every configuration and compares.
//
// File layout, little-endian:
//   char[8]  tag "RIGGLD01"
//   uint32   sample rate in Hz
//   uint32   frames
//   uint32   channels
//   uint32   table count n
//   n x { char[16] table name (zero-padded), uint64 FNV-1a of the table data }
//   frames x channels float32, interleaved
// The tables are the generated data the chain reads (cabinet responses and
// the models' curves); a file made with other tables cannot be compared.

#include "tests/support/RigChain.h"

#include "models/amps/power/PowerCurveTables.h"
#include "models/amps/stages/StageCurveTables.h"
#include "models/cabinet/CabinetTables.h"
#include "models/stomps/DynacompCurveTables.h"
#include "models/stomps/OverDriveCurve.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace golden {

// ---------------------------------------------------------------- table hashes

class Fnv1a {
public:
    void add(const void* data, std::size_t bytes)
    {
        const auto* p = static_cast<const unsigned char*>(data);
        for (std::size_t i = 0; i < bytes; ++i) {
            hash_ ^= p[i];
            hash_ *= 0x100000001b3ull;
        }
    }
    template <class T, std::size_t N> void add(const T (&values)[N])
    {
        add(values, sizeof(values));
    }
    void addFloat(float value) { add(&value, sizeof value); }
    std::uint64_t value() const { return hash_; }

private:
    std::uint64_t hash_ = 0xcbf29ce484222325ull;
};

struct TableHash {
    std::string name;
    std::uint64_t hash;
};

namespace detail {

template <class Table> void addUniformCurve(Fnv1a& h)
{
    h.add(Table::samples);
    h.addFloat(Table::x0);
    h.addFloat(Table::x1);
    h.addFloat(Table::startSlope);
    h.addFloat(Table::endSlope);
}

inline void addPowerCurves(Fnv1a& h, const AudioEngine::BorvanQom::PowerCurveTable (&tables)[27])
{
    for (const auto& t : tables) {
        h.add(t.samples, sizeof(float) * AudioEngine::BorvanQom::kPowerCurvePoints);
        h.addFloat(t.x0);
        h.addFloat(t.x1);
    }
}

} // namespace detail

// The hash of every group of generated tables the chain reads, in a fixed order.
inline std::vector<TableHash> tableHashes()
{
    namespace Q = AudioEngine::BorvanQom;
    std::vector<TableHash> out;

    Fnv1a cabinet;
    for (const auto& t : Q::CabinetTables::kWooferTables)
        cabinet.add(t.samples, sizeof(float) * Q::CabinetTables::kTableLength);
    for (std::uint32_t k = 1; k < Q::CabinetTables::kEntryCount; ++k)
        cabinet.add(Q::CabinetTables::kTweeterTables[k].samples,
                    sizeof(float) * Q::CabinetTables::kTableLength);
    out.push_back({"cabinet", cabinet.value()});

    Fnv1a power;
    detail::addPowerCurves(power,
                           Q::PowerAmpBorvanRKMClassicHeadTraitsDetails::CurveTables::kTables);
    detail::addPowerCurves(power, Q::PowerAmpBorvanV9E_50WTraitsDetails::CurveTables::kTables);
    detail::addPowerCurves(power, Q::PowerAmpBorvanV9E_100WTraitsDetails::CurveTables::kTables);
    out.push_back({"power-curves", power.value()});

    namespace S = Q::StageCurveTables;
    Fnv1a stage;
    detail::addUniformCurve<S::RKMClassicClipCurve1>(stage);
    detail::addUniformCurve<S::RKMClassicClipCurve2>(stage);
    detail::addUniformCurve<S::RKMClassicClipCurve4>(stage);
    detail::addUniformCurve<S::RKM4ProClipCurve1>(stage);
    detail::addUniformCurve<S::RKM4ProClipCurve2>(stage);
    detail::addUniformCurve<S::RKM4ProClipCurve3>(stage);
    detail::addUniformCurve<S::V9EClipCurve1>(stage);
    detail::addUniformCurve<S::V9EClipCurve4>(stage);
    detail::addUniformCurve<S::LimiterFullWaveRectifier>(stage);
    detail::addUniformCurve<S::LimiterPhotoDiodeTransferFunction>(stage);
    detail::addUniformCurve<S::LimiterPeakLedRectifier>(stage);
    detail::addUniformCurve<S::CompressorPhotoDiodeRectifier>(stage);
    stage.add(S::VTL5C7Points::currentA);
    stage.add(S::VTL5C7Points::resistanceOhm);
    stage.addFloat(S::VTL5C7Points::startSlope);
    stage.addFloat(S::VTL5C7Points::endSlope);
    detail::addUniformCurve<S::RE500PeakLedRectifier>(stage);
    detail::addUniformCurve<S::RKM4ProPeakLedRectifier>(stage);
    out.push_back({"stage-curves", stage.value()});

    namespace D = AudioEngine::CX2::DynacompCompSectionTraitsDetails::Tables;
    Fnv1a comp;
    comp.add(D::clipCurvePos);
    comp.add(D::clipCurveNeg);
    comp.add(D::rOnCurve);
    comp.add(D::kMethodCurve);
    out.push_back({"comp-curves", comp.value()});

    using Clipper = Q::OverDriveTraitsDetails::ClipperDetails::ClipperCurveTable;
    Fnv1a drive;
    drive.add(Clipper::samples);
    drive.addFloat(Clipper::x0);
    drive.addFloat(Clipper::x1);
    out.push_back({"drive-curve", drive.value()});
    return out;
}

// ---------------------------------------------------------------- inputs

enum class Input { Phrase, Sweep, Impulse };

inline const char* inputName(Input input)
{
    switch (input) {
    case Input::Phrase:
        return "phrase";
    case Input::Sweep:
        return "sweep";
    case Input::Impulse:
        return "impulse";
    }
    return "?";
}

// A small generator of our own (xorshift32), so that the phrase does not hang
// on a standard library's distributions.
class Random {
public:
    explicit Random(std::uint32_t seed) : state_(seed ? seed : 1u) {}
    // Uniform in [-1, 1).
    float next()
    {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return static_cast<float>(state_ >> 8) * (2.0f / 16777216.0f) - 1.0f;
    }

private:
    std::uint32_t state_;
};

// A plucked-string bass phrase (Karplus-Strong: a noise burst circulating in
// a loop one period long, averaged with its neighbour on every pass), three
// notes, each damped by the next; peak about 0.5.
inline std::vector<float> phrase(double rate, std::size_t frames, std::uint32_t seed = 20)
{
    struct Note {
        double startSeconds;
        double hz;
        float level;
    };
    const Note notes[] = {{0.0, 55.0, 0.5f}, {0.11, 82.41, 0.45f}, {0.2, 73.42, 0.5f}};
    std::vector<float> out(frames, 0.0f);
    Random random(seed);
    for (std::size_t n = 0; n < std::size(notes); ++n) {
        const auto start = static_cast<std::size_t>(notes[n].startSeconds * rate);
        const std::size_t end = n + 1 < std::size(notes)
                                    ? static_cast<std::size_t>(notes[n + 1].startSeconds * rate)
                                    : frames;
        const auto period = static_cast<std::size_t>(std::lround(rate / notes[n].hz));
        std::vector<float> loop(period);
        // A pluck near the bridge: noise, softened once.
        float previous = 0.0f;
        for (float& v : loop) {
            const float x = random.next();
            v = notes[n].level * 0.5f * (x + previous);
            previous = x;
        }
        std::size_t k = 0;
        for (std::size_t i = start; i < end && i < frames; ++i) {
            const std::size_t next = k + 1 == period ? 0 : k + 1;
            const float y = loop[k];
            loop[k] = 0.4985f * (loop[k] + loop[next]);
            out[i] += y;
            k = next;
        }
        // The next pluck stops the string: a 2 ms fade at the note's end.
        const std::size_t fade = static_cast<std::size_t>(0.002 * rate);
        for (std::size_t j = 0; j < fade && j < end - start; ++j)
            if (end - 1 - j < frames)
                out[end - 1 - j] *= static_cast<float>(j) / static_cast<float>(fade);
    }
    return out;
}

// An exponential sine sweep from 30 Hz to 8 kHz at 0.4.
inline std::vector<float> sweep(double rate, std::size_t frames)
{
    std::vector<float> out(frames);
    const double f0 = 30.0, f1 = 8000.0;
    const double seconds = static_cast<double>(frames) / rate;
    const double k = std::log(f1 / f0);
    const double twoPi = 6.283185307179586;
    for (std::size_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / rate;
        const double phase = twoPi * f0 * seconds / k * (std::exp(t / seconds * k) - 1.0);
        out[i] = static_cast<float>(0.4 * std::sin(phase));
    }
    return out;
}

// One sample of 0.5 at the start, then silence.
inline std::vector<float> impulse(std::size_t frames)
{
    std::vector<float> out(frames, 0.0f);
    if (frames)
        out[0] = 0.5f;
    return out;
}

inline std::vector<float> makeInput(Input input, double rate, std::size_t frames)
{
    switch (input) {
    case Input::Phrase:
        return phrase(rate, frames);
    case Input::Sweep:
        return sweep(rate, frames);
    case Input::Impulse:
        return impulse(frames);
    }
    return {};
}

// ---------------------------------------------------------------- configurations

struct Configuration {
    std::string name; // also the file's name, without ".f32"
    std::uint32_t rate;
    Input input;
    double seconds;
    // Settings on top of the rig at start-up.
    std::function<void(rig::Rig&)> setUp;
};

namespace detail {

inline void stomp(rig::Rig& r, const std::string& model, const amps::Settings& settings)
{
    const std::string selector = rig::stompName("Stomp", 0);
    r.setNow(selector, r.state(selector, model));
    for (const auto& [name, value] : settings)
        r.setNow(rig::stompName(name, 0), value);
}

inline void amp(rig::Rig& r, amps::Model model, float dsm = 0.0f)
{
    r.setNow("Model_0_AmpModule", static_cast<float>(model));
    for (const auto& [name, value] : amps::headDefaults(model, dsm))
        r.setNow(amps::ampName(name), value);
}

inline void cabinet(rig::Rig& r, const std::string& cab, const std::string& mic, float impedance)
{
    r.setNow("CabModel_CabModule", r.state("CabModel_CabModule", cab));
    r.setNow("MicModel_CabModule", r.state("MicModel_CabModule", mic));
    r.setNow("ImpedOn_CabModule", impedance);
}

} // namespace detail

inline std::vector<Configuration> configurations()
{
    using amps::Model;
    using detail::amp;
    using detail::cabinet;
    using detail::stomp;
    constexpr double kPhrase = 0.3;
    const auto none = [](rig::Rig&) {};
    std::vector<Configuration> c;

    // The rig at start-up, at two rates and with all three inputs.
    c.push_back({"default_phrase_44100", 44100, Input::Phrase, kPhrase, none});
    c.push_back({"default_phrase_48000", 48000, Input::Phrase, kPhrase, none});
    c.push_back({"default_sweep_44100", 44100, Input::Sweep, kPhrase, none});
    c.push_back({"default_impulse_44100", 44100, Input::Impulse, 0.2, none});

    // Each stomp model in slot 0, its controls away from their defaults.
    const std::pair<const char*, amps::Settings> stomps[] = {
        {"Compressor", {{"Sensitivity_Compressor", 0.7f}, {"Volume_FilterOut", 0.6f}}},
        {"AnalogChorus", {{"ChorusInt", 0.7f}, {"Mode", 0.0f}}},
        {"EnvelopeFilter",
         {{"Freq", 40.0f}, {"Reso", 70.0f}, {"Depth", 100.0f}, {"Poles", 1.0f}, {"Mode", 1.0f}}},
        {"BassWah", {{"Auto", 1.0f}, {"Wah", 0.6f}}},
        {"Volume", {{"Volume", -9.0f}, {"Scale", 4.0f}}},
        {"Overdrive", {{"Texture", 0.7f}, {"Blend", 0.6f}}},
        {"Octaver", {{"OctaveLevel", 0.7f}, {"Level", 0.5f}}},
        {"AnalogDelay",
         {{"Delay", 90.0f}, {"Feedback", 0.55f}, {"BlendLevel", 0.5f}, {"Depth", 0.2f}}},
    };
    for (const auto& [model, settings] : stomps) {
        const std::string name = model;
        const amps::Settings s = settings;
        c.push_back({"stomp_" + name, 44100, Input::Phrase, kPhrase,
                     [name, s](rig::Rig& r) { stomp(r, name, s); }});
    }

    // Each amp; the tube heads at both levels of detail ("RKMClassic" at
    // level 1 is the rig at start-up).
    c.push_back(
        {"amp_Empty", 44100, Input::Phrase, kPhrase, [](rig::Rig& r) { amp(r, Model::Empty); }});
    c.push_back({"amp_RKMClassic_dsm0", 44100, Input::Phrase, kPhrase,
                 [](rig::Rig& r) { amp(r, Model::RKMClassic, 0.0f); }});
    c.push_back(
        {"amp_RE500", 44100, Input::Phrase, kPhrase, [](rig::Rig& r) { amp(r, Model::RE500); }});
    c.push_back({"amp_RKM4Pro", 44100, Input::Phrase, kPhrase,
                 [](rig::Rig& r) { amp(r, Model::RKM4Pro); }});
    c.push_back({"amp_V9E_dsm0", 44100, Input::Phrase, kPhrase,
                 [](rig::Rig& r) { amp(r, Model::V9E, 0.0f); }});
    c.push_back({"amp_V9E_dsm1", 44100, Input::Phrase, kPhrase,
                 [](rig::Rig& r) { amp(r, Model::V9E, 1.0f); }});

    // A few other cabinets and microphones, with and without the impedance
    // curve (the RKM810 has no tweeter).
    c.push_back({"cab_V9E_FarOff_SM57", 44100, Input::Phrase, kPhrase,
                 [](rig::Rig& r) { cabinet(r, "Cabinet_V9E_FarOff", "SM57", 0.0f); }});
    c.push_back({"cab_WF212H_NearAxis_MD421_imped", 44100, Input::Phrase, kPhrase,
                 [](rig::Rig& r) { cabinet(r, "Cabinet_WF212H_NearAxis", "MD421", 1.0f); }});
    c.push_back({"cab_RKM810_NearOff_RE20_imped", 44100, Input::Phrase, kPhrase,
                 [](rig::Rig& r) { cabinet(r, "Cabinet_RKM810_NearOff", "RE20", 1.0f); }});
    return c;
}

// ---------------------------------------------------------------- rendering

struct Rendering {
    std::uint32_t rate = 0;
    std::uint32_t frames = 0;
    std::uint32_t channels = 0;
    std::vector<TableHash> tables;
    std::vector<float> samples; // interleaved
};

constexpr std::uint32_t kHostBlock = 256;

// The rig at start-up with the configuration's settings, from rest, fed the
// configuration's input in host blocks of 256 frames.
inline Rendering render(const Configuration& c)
{
    rig::Rig r(static_cast<float>(c.rate));
    r.applyDefaults();
    c.setUp(r);
    r.set().reset();
    const auto frames = static_cast<std::size_t>(std::lround(c.seconds * c.rate));
    const rig::Stereo y = r.run(makeInput(c.input, c.rate, frames), {kHostBlock});
    Rendering out;
    out.rate = c.rate;
    out.frames = static_cast<std::uint32_t>(frames);
    out.channels = 2;
    out.tables = tableHashes();
    out.samples.resize(2 * frames);
    for (std::size_t i = 0; i < frames; ++i) {
        out.samples[2 * i] = y.left[i];
        out.samples[2 * i + 1] = y.right[i];
    }
    return out;
}

// ---------------------------------------------------------------- files

constexpr char kTag[8] = {'R', 'I', 'G', 'G', 'L', 'D', '0', '1'};
constexpr std::size_t kTableNameBytes = 16;

namespace detail {

template <class T> void put(std::ofstream& f, T value)
{
    unsigned char bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    f.write(reinterpret_cast<const char*>(bytes), sizeof(T)); // the build targets are little-endian
}

template <class T> bool get(std::ifstream& f, T& value)
{
    unsigned char bytes[sizeof(T)];
    if (!f.read(reinterpret_cast<char*>(bytes), sizeof(T)))
        return false;
    std::memcpy(&value, bytes, sizeof(T));
    return true;
}

} // namespace detail

inline bool write(const std::string& path, const Rendering& r)
{
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    if (!f)
        return false;
    f.write(kTag, sizeof kTag);
    detail::put(f, r.rate);
    detail::put(f, r.frames);
    detail::put(f, r.channels);
    detail::put(f, static_cast<std::uint32_t>(r.tables.size()));
    for (const TableHash& t : r.tables) {
        char name[kTableNameBytes] = {};
        std::memcpy(name, t.name.data(), std::min(t.name.size(), kTableNameBytes - 1));
        f.write(name, sizeof name);
        detail::put(f, t.hash);
    }
    for (float v : r.samples)
        detail::put(f, v);
    return static_cast<bool>(f);
}

// Reads a file; on failure returns false with the reason in `error`.
inline bool read(const std::string& path, Rendering& r, std::string& error)
{
    std::ifstream f(path, std::ios::binary);
    if (!f) {
        error = "cannot open " + path;
        return false;
    }
    char tag[sizeof kTag];
    if (!f.read(tag, sizeof tag) || std::memcmp(tag, kTag, sizeof kTag) != 0) {
        error = path + " is not a golden output file (tag)";
        return false;
    }
    std::uint32_t tables = 0;
    if (!detail::get(f, r.rate) || !detail::get(f, r.frames) || !detail::get(f, r.channels) ||
        !detail::get(f, tables) || tables > 64 || r.channels == 0 || r.channels > 8 ||
        r.frames > 10'000'000) {
        error = path + ": header cut short or out of range";
        return false;
    }
    r.tables.clear();
    for (std::uint32_t k = 0; k < tables; ++k) {
        char name[kTableNameBytes];
        std::uint64_t hash = 0;
        if (!f.read(name, sizeof name) || !detail::get(f, hash)) {
            error = path + ": table list cut short";
            return false;
        }
        name[kTableNameBytes - 1] = '\0';
        r.tables.push_back({name, hash});
    }
    r.samples.assign(std::size_t(r.frames) * r.channels, 0.0f);
    for (float& v : r.samples)
        if (!detail::get(f, v)) {
            error = path + ": samples cut short";
            return false;
        }
    if (f.peek() != std::ifstream::traits_type::eof()) {
        error = path + ": data after the last sample";
        return false;
    }
    return true;
}

// ---------------------------------------------------------------- checks

// Empty when the file was made with the tables this program holds; otherwise
// one line per table that differs (or is missing), naming it.
inline std::string checkTables(const Rendering& file, const std::vector<TableHash>& current)
{
    std::string problems;
    const auto hex = [](std::uint64_t v) {
        char text[17];
        std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(v));
        return std::string(text);
    };
    for (const TableHash& now : current) {
        const TableHash* then = nullptr;
        for (const TableHash& t : file.tables)
            if (t.name == now.name)
                then = &t;
        if (!then)
            problems += "table \"" + now.name + "\" is not recorded in the file\n";
        else if (then->hash != now.hash)
            problems += "table \"" + now.name + "\" changed since the file was rendered (file " +
                        hex(then->hash) + ", now " + hex(now.hash) + ")\n";
    }
    for (const TableHash& t : file.tables) {
        bool known = false;
        for (const TableHash& now : current)
            known = known || now.name == t.name;
        if (!known)
            problems +=
                "table \"" + t.name + "\" recorded in the file is unknown to this program\n";
    }
    return problems;
}

struct Difference {
    float maxError = 0.0f; // largest |rendered - reference|
    float peak = 0.0f;     // largest |reference|
    std::size_t where = 0; // interleaved index of maxError
    bool finite = true;    // every rendered sample finite
};

inline Difference compare(const std::vector<float>& reference, const std::vector<float>& rendered)
{
    Difference d;
    for (std::size_t i = 0; i < reference.size() && i < rendered.size(); ++i) {
        d.peak = std::max(d.peak, std::fabs(reference[i]));
        d.finite = d.finite && std::isfinite(rendered[i]);
        const float e = std::fabs(rendered[i] - reference[i]);
        if (!(e <= d.maxError)) { // NaN counts as the worst
            d.maxError = std::isnan(e) ? INFINITY : e;
            d.where = i;
        }
    }
    return d;
}

} // namespace golden
