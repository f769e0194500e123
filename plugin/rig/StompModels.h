#pragma once

#include "plugin/rig/Module.h"

#include <memory>

namespace Zq::BorvanRAZ::Document {

// The controls of the eight stomp models, one document per occupied slot.
// Every parameter is saved, as a number.

class StompOverdrive : public Module {
public:
    Parameter texture;
    Parameter balance;
    StompOverdrive();
};

class StompOctaver : public Module {
public:
    Parameter octave;
    Parameter direct;
    StompOctaver();
};

// The chorus ("CE-1").
class StompRI1 : public Module {
public:
    Parameter level; // linear gain
    Parameter chorus;
    Parameter vibratoDepth;
    Parameter vibratoRate;
    Parameter mode; // 0 chorus, 1 vibrato
    StompRI1();
};

// The analog delay ("MemoryMan").
class StompMemoryMan : public Module {
public:
    Parameter delay; // milliseconds
    Parameter feedback;
    Parameter blend;
    Parameter chVib;
    Parameter mode;     // 0 chorus, 1 vibrato
    Parameter bpm;      // 1: the delay follows the host's tempo
    Parameter delayBpm; // note value, 0 "1/32" ... 7 "1/4" ... 13 "1/1"
    StompMemoryMan();
};

// The bass wah ("BassWah").
class StompWah : public Module {
public:
    Parameter mode; // 0 pedal, 1 auto
    Parameter wah;
    StompWah();
};

// The compressor.
class StompDynaComp : public Module {
public:
    Parameter output; // linear gain
    Parameter sensitivity;
    StompDynaComp();
};

class StompEnvelopeFilter : public Module {
public:
    Parameter freq; // hertz
    Parameter reso;
    Parameter depth;
    Parameter poleMode; // 0 12 dB/octave, 1 24 dB/octave
    Parameter bandMode; // 0 high pass, 1 band pass, 2 low pass
    StompEnvelopeFilter();
};

// The volume pedal.
class StompVolume : public Module {
public:
    Parameter minLevel;
    Parameter volume;
    StompVolume();
};

// A new document at its defaults for a slot selector value 1 ... 8; null for
// "Empty" and for any value outside the list.
std::unique_ptr<Module> createStompModel(int selectorValue);

} // namespace Zq::BorvanRAZ::Document
