#pragma once

// The physical models behind the cabinet's stored tables and their parameters.

#include <optional>
#include <string>
#include <vector>

namespace cabinet_tools {

struct Resonance {
    double hz;
    double q;
    double gainDb;
};

// Low-frequency alignment of the woofers in their box.
struct Box {
    bool vented;
    // Sealed: the system resonance fc and total Q of driver and enclosed air.
    double fcHz = 0.0;
    double qtc = 0.0;
    // Vented: driver resonance fs and total Q, compliance ratio Vas/Vb, tuning ratio fb/fs,
    // leakage losses QL.
    double fsHz = 0.0;
    double qts = 0.0;
    double alpha = 0.0;
    double h = 0.0;
    double ql = 0.0;
};

struct Point {
    double x; // m, along the baffle (positive to the right seen from the front)
    double y; // m, height above the floor
};

// The voice coil as the amplifier sees it: Re + s Le + the motional parallel resonance, driven
// from the amplifier's output impedance.
struct VoiceCoil {
    double reOhm;
    double leHenry;
    double resonanceHz; // in the box
    double qms;
    double qes;
    double sourceOhm; // amplifier output impedance
};

struct Tweeter {
    double highPassHz;
    double highPassQ;
    int highPassOrder; // 2, or 4 as two Butterworth sections
    double lowPassHz;
    double lowPassQ;
    Resonance resonance; // horn throat or dome resonance
    double peak;         // largest sample of the stored table
};

// One cabinet: its drivers, box, the four microphone positions and its tweeter.
struct Cabinet {
    std::string name;
    Box box;
    double pistonRadius;        // m, effective radius of each woofer cone
    std::vector<Point> drivers; // the first one is the driver the microphone faces
    double coneRollOffHz;       // voice-coil inductance and cone mass, second order
    double coneRollOffQ;
    std::vector<Resonance> breakup; // cone break-up modes
    double nearDistance;            // m, "Near" positions
    double farDistance;             // m, "Far" positions
    double offAngleDegrees;         // "Off" positions: angle off the faced driver's axis
    double floorReflection;         // pressure reflection coefficient of the floor
    double peaks[4];                // largest sample of NearAxis, FarAxis, NearOff, FarOff
    VoiceCoil coil;
    std::optional<Tweeter> tweeter; // none: the tweeter tables are silent
};

struct Microphone {
    std::string name;
    bool movingCoil;
    double diaphragmHz; // mass-spring-damper resonance of the diaphragm
    double diaphragmQ;
    Resonance presence;
    // Low end: a cardioid's proximity rise at this working distance (0: a pressure-gradient
    // design without it) above a second-order roll-off.
    double proximityDistance;
    double lowCutHz;
    double lowCutQ;
    double coilRollOffHz; // moving-coil types only, first order
    double peak;          // largest sample of the stored table (the capture level)
};

const std::vector<Cabinet>& cabinets();
const std::vector<Microphone>& microphones();

// Position responses in the order NearAxis, FarAxis, NearOff, FarOff, scaled to their peaks.
std::vector<double> positionResponse(const Cabinet& cabinet, int position, int length);
std::vector<double> microphoneResponse(const Microphone& microphone, int length);
// The voice-coil voltage over the amplifier's open-circuit voltage, scaled so that its largest
// gain is 1.
std::vector<double> impedanceResponse(const VoiceCoil& coil, int length);
std::vector<double> tweeterResponse(const Tweeter& tweeter, int length);

// The floor reflection of the faced driver at a "Far" position: delay after the direct sound (s)
// and level relative to it (dB, below the directivity's effect).
struct Reflection {
    double delaySeconds;
    double levelDb;
};
Reflection farReflection(const Cabinet& cabinet);

} // namespace cabinet_tools
