#include "CabinetModels.h"

#include "Synthesis.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace cabinet_tools {
namespace {

// Pole Qs of a fourth-order Butterworth high-pass as two second-order sections.
constexpr double kButterworth4Q[2] = {0.54119610, 1.30656296};

// Every synthesised table ends in a half-cosine fade over its last quarter, so that no table stops
// on a step; the models have decayed by then, and the fade only removes rounding-level remnants.
constexpr int kFadeStart = 6144;
// The cabinet plays at most 2048 samples of a woofer response and folds what lies beyond onto its
// start, where the low-frequency ringing of the box would arrive as a faint pre-echo. The position
// responses therefore fade out over 1024 .. 2048 and stop there: at 23 ms the ringing is 30 dB
// or more below the whole response already, and the fade shifts the response below 100 Hz by a
// fraction of a decibel.
constexpr int kPositionFadeStart = 1024;
constexpr int kPositionFadeEnd = 2048;

const std::vector<Cabinet> kCabinets = {
    // Single 15-inch woofer in a vented box, compression-driver horn.
    {"V9E",
     {true, 0.0, 0.0, 38.0, 0.34, 1.9, 1.30, 5.0},
     0.165,
     {{0.0, 0.42}},
     2400.0,
     0.70,
     {{520.0, 3.5, 2.5}, {1150.0, 4.5, 3.5}, {2100.0, 3.0, -4.0}},
     0.03,
     0.60,
     45.0,
     0.80,
     {0.20, 0.12, 0.16, 0.09},
     {5.6, 1.6e-3, 72.0, 4.2, 0.42, 2.5},
     Tweeter{4200.0, 0.0, 4, 14000.0, 0.70, {7500.0, 2.5, 3.0}, 0.17}},
    // Two 10-inch woofers stacked in a sealed box, dome tweeter.
    {"RE500",
     {false, 78.0, 0.95},
     0.105,
     {{0.0, 0.75}, {0.0, 0.45}},
     3600.0,
     0.65,
     {{800.0, 4.0, 3.0}, {1900.0, 5.0, 4.0}, {3000.0, 3.0, -3.0}},
     0.03,
     0.70,
     40.0,
     0.85,
     {0.22, 0.13, 0.17, 0.10},
     {6.4, 0.7e-3, 95.0, 3.6, 0.60, 3.0},
     Tweeter{3500.0, 0.80, 2, 16000.0, 0.90, {12000.0, 3.0, 2.0}, 0.10}},
    // Four 10-inch woofers in a vented box, horn.
    {"JMR410H",
     {true, 0.0, 0.0, 45.0, 0.36, 1.5, 1.30, 5.0},
     0.105,
     {{-0.14, 0.88}, {0.14, 0.88}, {-0.14, 0.60}, {0.14, 0.60}},
     3200.0,
     0.70,
     {{650.0, 3.0, 3.0}, {1400.0, 6.0, 4.5}, {2600.0, 4.0, 2.0}},
     0.03,
     0.80,
     35.0,
     0.85,
     {0.19, 0.11, 0.15, 0.085},
     {6.0, 0.9e-3, 85.0, 5.0, 0.50, 2.0},
     Tweeter{3800.0, 0.0, 4, 13000.0, 0.80, {6000.0, 2.0, 4.0}, 0.15}},
    // Two 12-inch woofers side by side in a vented box, horn.
    {"WF212H",
     {true, 0.0, 0.0, 42.0, 0.35, 1.7, 1.25, 5.0},
     0.13,
     {{-0.17, 0.45}, {0.17, 0.45}},
     2800.0,
     0.75,
     {{420.0, 3.0, 2.0}, {980.0, 5.0, 3.0}, {1750.0, 4.0, 4.0}, {2700.0, 3.0, -3.0}},
     0.03,
     0.60,
     30.0,
     0.80,
     {0.21, 0.14, 0.16, 0.10},
     {5.2, 1.2e-3, 68.0, 4.5, 0.45, 2.2},
     Tweeter{4500.0, 0.90, 2, 12500.0, 0.75, {8000.0, 3.0, 3.0}, 0.20}},
    // Four 10-inch woofers in a sealed box, horn.
    {"RKM410H",
     {false, 72.0, 0.85},
     0.105,
     {{-0.14, 0.85}, {0.14, 0.85}, {-0.14, 0.57}, {0.14, 0.57}},
     4200.0,
     0.60,
     {{350.0, 2.5, 1.5}, {1250.0, 4.0, 3.0}, {2300.0, 5.0, 3.5}},
     0.03,
     0.70,
     40.0,
     0.90,
     {0.18, 0.10, 0.14, 0.08},
     {5.8, 0.6e-3, 105.0, 3.2, 0.70, 2.6},
     Tweeter{3200.0, 0.0, 4, 15000.0, 0.70, {5500.0, 1.5, 2.5}, 0.12}},
    // Eight 10-inch woofers, two columns of four, sealed, no tweeter; the microphone faces the
    // left driver of the third row.
    {"RKM810",
     {false, 58.0, 0.72},
     0.105,
     {{-0.14, 0.76},
      {0.14, 0.76},
      {-0.14, 1.32},
      {0.14, 1.32},
      {-0.14, 1.04},
      {0.14, 1.04},
      {-0.14, 0.48},
      {0.14, 0.48}},
     3000.0,
     0.70,
     {{540.0, 3.0, 2.0}, {1600.0, 5.0, 4.0}, {2800.0, 4.0, -2.5}},
     0.03,
     0.80,
     35.0,
     0.85,
     {0.16, 0.09, 0.13, 0.075},
     {3.2, 0.5e-3, 60.0, 5.5, 0.55, 1.5},
     std::nullopt},
};

const std::vector<Microphone> kMicrophones = {
    // Large-diaphragm moving coil for bass instruments: low resonance, broad low presence.
    {"D20", true, 8500.0, 0.9, {2500.0, 1.0, 3.0}, 0.20, 45.0, 0.6, 12000.0, 0.66},
    {"MD421", true, 11000.0, 1.1, {4500.0, 1.4, 4.0}, 0.20, 60.0, 0.6, 15000.0, 0.78},
    // Variable-D design: no proximity rise.
    {"RE20", true, 12000.0, 0.8, {3500.0, 0.8, 3.0}, 0.0, 45.0, 0.7, 14000.0, 0.72},
    {"SM57", true, 13000.0, 1.3, {5500.0, 1.5, 6.0}, 0.10, 80.0, 0.7, 14000.0, 0.85},
    // Condenser: light diaphragm, resonance near the top of the band, no coil.
    {"U87", false, 15000.0, 1.4, {5000.0, 0.9, 3.0}, 0.30, 40.0, 0.6, 0.0, 0.93},
};

struct Vector3 {
    double x, y, z;
};

// Microphone in front of the faced driver: on its axis, or turned off it by the cabinet's angle
// (horizontally, away from the cabinet's centre line).
Vector3 microphonePosition(const Cabinet& cabinet, int position)
{
    const bool far = position == 1 || position == 3;
    const bool off = position >= 2;
    const double distance = far ? cabinet.farDistance : cabinet.nearDistance;
    const double angle = off ? cabinet.offAngleDegrees * kPi / 180.0 : 0.0;
    const Point& faced = cabinet.drivers.front();
    const double side = faced.x > 0.0 ? 1.0 : -1.0;
    return {faced.x + side * distance * std::sin(angle), faced.y, distance * std::cos(angle)};
}

struct Path {
    double distance;
    double sinTheta;
    double gain;
};

Path path(const Point& driver, const Vector3& microphone, double gain)
{
    const double dx = microphone.x - driver.x;
    const double dy = microphone.y - driver.y;
    const double dz = microphone.z;
    const double r = std::sqrt(dx * dx + dy * dy + dz * dz);
    const double cosTheta = dz / r;
    return {r, std::sqrt(std::max(0.0, 1.0 - cosTheta * cosTheta)), gain / r};
}

Complex boxResponse(const Box& box, Complex s)
{
    if (box.vented)
        return ventedBox(s, prewarp(box.fsHz), box.qts, box.alpha, box.h, box.ql);
    return highPass2(s, prewarp(box.fcHz), box.qtc);
}

// Half-cosine fade from `start` to `end`, zeros from there on.
void fadeTail(std::vector<double>& samples, int start = kFadeStart, int end = -1)
{
    const int length = static_cast<int>(samples.size());
    if (end < 0)
        end = length;
    for (int i = start; i < length; ++i) {
        const double t = i < end ? static_cast<double>(i - start) / (end - start) : 1.0;
        samples[i] *= 0.5 * (1.0 + std::cos(kPi * t));
    }
}

void scaleToPeak(std::vector<double>& samples, double peak)
{
    double largest = 0.0;
    for (double v : samples)
        largest = std::max(largest, std::fabs(v));
    for (double& v : samples)
        v *= peak / largest;
}

} // namespace

const std::vector<Cabinet>& cabinets()
{
    return kCabinets;
}
const std::vector<Microphone>& microphones()
{
    return kMicrophones;
}

std::vector<double> positionResponse(const Cabinet& cabinet, int position, int length)
{
    const bool far = position == 1 || position == 3;
    const Vector3 microphone = microphonePosition(cabinet, position);
    // The floor mirrors the microphone: the reflected wave travels from each driver to the image.
    const Vector3 image{microphone.x, -microphone.y, microphone.z};
    std::vector<Path> paths;
    for (const Point& driver : cabinet.drivers) {
        paths.push_back(path(driver, microphone, 1.0));
        if (far)
            paths.push_back(path(driver, image, cabinet.floorReflection));
    }
    double first = paths.front().distance;
    for (const Path& p : paths)
        first = std::min(first, p.distance);

    Spectrum spectrum = flatSpectrum();
    for (int k = 0; k <= kGrid / 2; ++k) {
        const Complex s = bilinearS(k);
        Complex driver = boxResponse(cabinet.box, s) *
                         lowPass2(s, prewarp(cabinet.coneRollOffHz), cabinet.coneRollOffQ);
        for (const Resonance& mode : cabinet.breakup)
            driver *= peaking(s, prewarp(mode.hz), mode.q, mode.gainDb);
        const double omega = binOmega(k);
        Complex sum = 0.0;
        for (const Path& p : paths) {
            // The direct sound of the nearest driver is aligned to sample 0.
            const double delay = (p.distance - first) / kSpeedOfSound;
            sum += p.gain * pistonDirectivity(omega, cabinet.pistonRadius, p.sinTheta) *
                   std::polar(1.0, -omega * delay);
        }
        spectrum[k] = driver * sum;
    }
    std::vector<double> samples = impulseResponse(spectrum, length);
    fadeTail(samples, kPositionFadeStart, kPositionFadeEnd);
    scaleToPeak(samples, cabinet.peaks[position]);
    return samples;
}

std::vector<double> microphoneResponse(const Microphone& mic, int length)
{
    auto response = [&mic](Complex s) {
        Complex h = lowPass2(s, prewarp(mic.diaphragmHz), mic.diaphragmQ) *
                    peaking(s, prewarp(mic.presence.hz), mic.presence.q, mic.presence.gainDb);
        const double lowCut = prewarp(mic.lowCutHz);
        if (mic.proximityDistance > 0.0) {
            // A first-order cardioid at distance r: 1 + c / (2 r s). Its 1/s rise is held by the
            // roll-off, written as one section so that DC stays finite.
            const double rise =
                prewarp(kSpeedOfSound / (2.0 * mic.proximityDistance) / (2.0 * kPi));
            h *= s * (s + rise) / (s * s + s * (lowCut / mic.lowCutQ) + lowCut * lowCut);
        } else {
            h *= highPass2(s, lowCut, mic.lowCutQ);
        }
        if (mic.movingCoil)
            h *= lowPass1(s, prewarp(mic.coilRollOffHz));
        return h;
    };
    Spectrum spectrum = flatSpectrum();
    for (int k = 0; k <= kGrid / 2; ++k)
        spectrum[k] = response(bilinearS(k));
    std::vector<double> samples = impulseResponse(spectrum, length);
    fadeTail(samples);
    scaleToPeak(samples, mic.peak);
    return samples;
}

std::vector<double> impedanceResponse(const VoiceCoil& coil, int length)
{
    const double w0 = prewarp(coil.resonanceHz);
    const double rmes = coil.reOhm * coil.qms / coil.qes; // motional resistance at resonance
    Spectrum spectrum = flatSpectrum();
    double largest = 0.0;
    for (int k = 0; k <= kGrid / 2; ++k) {
        const Complex s = bilinearS(k);
        const Complex z = coil.reOhm + s * coil.leHenry +
                          rmes * (s * (w0 / coil.qms)) / (s * s + s * (w0 / coil.qms) + w0 * w0);
        spectrum[k] = z / (z + coil.sourceOhm);
        largest = std::max(largest, std::abs(spectrum[k]));
    }
    std::vector<double> samples = impulseResponse(spectrum, length);
    fadeTail(samples);
    for (double& v : samples)
        v /= largest;
    return samples;
}

std::vector<double> tweeterResponse(const Tweeter& tweeter, int length)
{
    Spectrum spectrum = flatSpectrum();
    const double hp = prewarp(tweeter.highPassHz);
    for (int k = 0; k <= kGrid / 2; ++k) {
        const Complex s = bilinearS(k);
        Complex h = tweeter.highPassOrder == 4
                        ? highPass2(s, hp, kButterworth4Q[0]) * highPass2(s, hp, kButterworth4Q[1])
                        : highPass2(s, hp, tweeter.highPassQ);
        h *= lowPass2(s, prewarp(tweeter.lowPassHz), tweeter.lowPassQ) *
             peaking(s, prewarp(tweeter.resonance.hz), tweeter.resonance.q,
                     tweeter.resonance.gainDb);
        spectrum[k] = h;
    }
    std::vector<double> samples = impulseResponse(spectrum, length);
    fadeTail(samples);
    scaleToPeak(samples, tweeter.peak);
    return samples;
}

Reflection farReflection(const Cabinet& cabinet)
{
    const Vector3 microphone = microphonePosition(cabinet, 1);
    const Vector3 image{microphone.x, -microphone.y, microphone.z};
    const Path direct = path(cabinet.drivers.front(), microphone, 1.0);
    const Path reflected = path(cabinet.drivers.front(), image, cabinet.floorReflection);
    return {(reflected.distance - direct.distance) / kSpeedOfSound,
            20.0 * std::log10(reflected.gain / direct.gain)};
}

} // namespace cabinet_tools
