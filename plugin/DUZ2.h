#pragma once

// The plug-in interface between the module Zq_BorvanRAZ and the hosts that
// load it: two exported C functions and four tables of plain function pointers.
//
// Each interface object is laid out as (x86_64, Itanium C++ ABI):
//   its virtual-function pointer, never used across the boundary;
//   the table: one plain function pointer per entry;
//   the back pointer: the address of the interface object itself;
//   the extras of that interface.
// Only a table's address crosses, and every entry receives the address of the
// table it was called through as its first argument. An entry reaches its
// object through the back pointer right behind its last entry. Where a class
// has other bases too, the table and back pointer belong to the interface
// sub-object: the back pointer holds that sub-object's address.
//
// Ownership never crosses: the module creates and deletes its processors and
// editor objects when the host asks through the PlugIn table; the host owns its
// Host table for as long as a processor created with it lives. Nothing in the
// interface reports errors, and no C++ exception crosses it: every entry and
// export of the module answers a neutral value (0, null, "") when an operation
// fails inside.

#include "platform/PluginModuleLoader.h"

#include <cstdint>
#include <string>

namespace Zq::DUZ2 {

struct PlugInTable;
struct ProcessTable;
struct GUITable;
struct HostTable;

// What processMidiEvents receives: 8 bytes per event.
struct MidiEvent {
    std::int32_t deltaFrames; // sample offset within the block
    std::uint8_t data[4];     // status and up to three data bytes
};
static_assert(sizeof(MidiEvent) == 8);

// Entry 0 is getVersion, always 1.
struct PlugInTable {
    std::int32_t (*getVersion)(PlugInTable*);
    // Null whenever flags is not 0.
    ProcessTable* (*createProcess)(PlugInTable*, HostTable* host, std::int32_t flags);
    // Deletes the processor and its editor object; an unknown table is ignored.
    void (*destroyProcess)(PlugInTable*, ProcessTable* process);
    // The processor's editor object (created on the first request, the same one
    // afterwards); null for a processor the plug-in object does not know.
    GUITable* (*getGUI)(PlugInTable*, ProcessTable* process);
};

// Channel buffers are arrays of pointers to non-interleaved 32-bit float
// samples, one per channel. Texts are NUL-terminated and stay the module's:
// entries 0 and 1 return constants; entries 17, 18 and 23 return a per-thread
// copy that stays intact until the same thread calls the same entry again.
struct ProcessTable {
    const char* (*getName)(ProcessTable*);
    const char* (*getVendor)(ProcessTable*);
    std::int32_t (*getFlags)(ProcessTable*); // bit 0 instrument, bit 1 wants MIDI
    std::int32_t (*getNumInputs)(ProcessTable*);
    std::int32_t (*getNumOutputs)(ProcessTable*);
    void (*setNumInputChannels)(ProcessTable*, std::int32_t count);  // 1 mono, else stereo
    void (*setNumOutputChannels)(ProcessTable*, std::int32_t count); // 1 mono, else stereo
    void (*resume)(ProcessTable*);
    void (*suspend)(ProcessTable*);
    void (*setBlockSize)(ProcessTable*, std::int32_t frames);
    void (*setSampleRate)(ProcessTable*, float hertz);
    void (*startProcess)(ProcessTable*);
    void (*stopProcess)(ProcessTable*);
    void (*processMidiEvents)(ProcessTable*, MidiEvent* events, std::int32_t count);
    void (*processInPlace)(ProcessTable*, float** channels, std::int32_t frames,
                           std::int32_t* flags);
    void (*process)(ProcessTable*, float** inputs, float** outputs, std::int32_t frames,
                    std::int32_t* flags);
    std::int32_t (*getNumParameters)(ProcessTable*);
    const char* (*getParameterName)(ProcessTable*, std::int32_t index);
    const char* (*getParameterDisplay)(ProcessTable*, std::int32_t index);
    float (*getParameterValue)(ProcessTable*, std::int32_t index);
    float (*getParameterNormalized)(ProcessTable*, std::int32_t index);
    void (*setParameterValue)(ProcessTable*, std::int32_t index, float plain);
    void (*setParameterNormalized)(ProcessTable*, std::int32_t index, float normalized);
    const char* (*getParameterTextForNormalized)(ProcessTable*, std::int32_t index,
                                                 float normalized);
    float (*convertNormalizedToPlain)(ProcessTable*, std::int32_t index, float normalized);
    // The chunk is text without a terminating zero; at most size bytes are read.
    void (*setChunk)(ProcessTable*, const void* data, std::int32_t size);
    // The buffer stays the processor's until releaseChunk, the next getChunk or
    // the processor's deletion.
    std::int32_t (*getChunk)(ProcessTable*, void** data);
    void (*releaseChunk)(ProcessTable*);
    // For a host rendering faster than real time, before each block: returns
    // once every parameter write made before the call has reached the sound
    // (at most about 2 s). A real-time host never calls it.
    void (*waitForHostWrites)(ProcessTable*);
};

struct GUITable {
    ProcessTable* (*getProcess)(GUITable*);
    void (*getSize)(GUITable*, std::int32_t* width, std::int32_t* height);
    void (*setPosition)(GUITable*, std::int32_t x, std::int32_t y);
    // Booleans pass as int32: any non-zero value is true.
    void (*setHostMouseEvents)(GUITable*, std::int32_t hostDelivers);
    void (*setHostKeyEvents)(GUITable*, std::int32_t hostDelivers);
    // On Linux the pointer points to the X11 Window id of the parent window.
    void (*open)(GUITable*, void* parentWindow);
    void (*close)(GUITable*);
    void (*idle)(GUITable*);
    void (*update)(GUITable*);
    // Corners, not a size.
    void (*invalidate)(GUITable*, std::int32_t x1, std::int32_t y1, std::int32_t x2,
                       std::int32_t y2);
    void (*onMouseDown)(GUITable*, std::int32_t x, std::int32_t y, std::int32_t button,
                        std::int32_t modifiers);
    void (*onMouseUp)(GUITable*, std::int32_t x, std::int32_t y, std::int32_t button,
                      std::int32_t modifiers);
    void (*onMouseMove)(GUITable*, std::int32_t x, std::int32_t y, std::int32_t modifiers);
    // Exactly 0 or 1: whether the editor used the key.
    std::int32_t (*onKey)(GUITable*, std::int32_t key, std::int32_t character,
                          std::int32_t modifiers);
};

// Implemented by each host. getTempo is called on the audio thread once per
// block, onParameterChanged on whatever thread changed the parameter.
struct HostTable {
    std::int32_t (*getVersion)(HostTable*); // always 1; the module never calls it
    float (*getTempo)(HostTable*);          // beats per minute, 0 when unknown
    void (*onParameterChanged)(HostTable*, std::int32_t index, float plain, float normalized);
};

inline constexpr int kPlugInEntries = 4;
inline constexpr int kProcessEntries = 29;
inline constexpr int kGUIEntries = 14;
inline constexpr int kHostEntries = 3;
static_assert(sizeof(PlugInTable) == kPlugInEntries * sizeof(void*));
static_assert(sizeof(ProcessTable) == kProcessEntries * sizeof(void*));
static_assert(sizeof(GUITable) == kGUIEntries * sizeof(void*));
static_assert(sizeof(HostTable) == kHostEntries * sizeof(void*));

class Process;
class GUI;

// The module's side of the PlugIn table (implemented by the plug-in object).
class PlugIn {
public:
    PlugIn();
    PlugIn(const PlugIn&) = delete;
    PlugIn& operator=(const PlugIn&) = delete;

    virtual std::int32_t getVersion() = 0;
    virtual Process* createProcess(HostTable* host, std::int32_t flags) = 0;
    virtual void destroyProcess(Process* process) = 0;
    virtual GUI* getGUI(Process* process) = 0;
    // Last in the virtual table, behind the four entry operations.
    virtual ~PlugIn();

    PlugInTable* getTable() noexcept { return &table_; }

private:
    PlugInTable table_;
    PlugIn* self_;
};

// The module's side of the Process table; entry k is served by the (k+1)-th
// virtual operation, behind the destructor.
class Process {
public:
    // A null host table is accepted: the tempo then reads 0 and changes are
    // reported to nobody.
    explicit Process(HostTable* host);
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    virtual ~Process();

    virtual const char* getName() = 0;
    virtual const char* getVendor() = 0;
    virtual std::int32_t getFlags() = 0;
    virtual std::int32_t getNumInputs() = 0;
    virtual std::int32_t getNumOutputs() = 0;
    virtual void setNumInputChannels(std::int32_t count) = 0;
    virtual void setNumOutputChannels(std::int32_t count) = 0;
    virtual void resume() = 0;
    virtual void suspend() = 0;
    virtual void setBlockSize(std::int32_t frames) = 0;
    virtual void setSampleRate(float hertz) = 0;
    virtual void startProcess() = 0;
    virtual void stopProcess() = 0;
    virtual void processMidiEvents(MidiEvent* events, std::int32_t count) = 0;
    virtual void processInPlace(float** channels, std::int32_t frames, std::int32_t* flags) = 0;
    virtual void process(float** inputs, float** outputs, std::int32_t frames,
                         std::int32_t* flags) = 0;
    virtual std::int32_t getNumParameters() = 0;
    virtual const char* getParameterName(std::int32_t index) = 0;
    virtual const char* getParameterDisplay(std::int32_t index) = 0;
    virtual float getParameterValue(std::int32_t index) = 0;
    virtual float getParameterNormalized(std::int32_t index) = 0;
    virtual void setParameterValue(std::int32_t index, float plain) = 0;
    virtual void setParameterNormalized(std::int32_t index, float normalized) = 0;
    virtual const char* getParameterTextForNormalized(std::int32_t index, float normalized) = 0;
    virtual float convertNormalizedToPlain(std::int32_t index, float normalized) = 0;
    virtual void setChunk(const void* data, std::int32_t size) = 0;
    virtual std::int32_t getChunk(void** data) = 0;
    virtual void releaseChunk() = 0;
    // Nothing to wait for unless the processor applies writes on a thread of
    // its own.
    virtual void waitForHostWrites();
    // Reports a parameter the plug-in changed itself to the host, unchanged.
    virtual void notifyHostParameter(std::int32_t index, float plain, float normalized);

    ProcessTable* getTable() noexcept { return &table_; }
    HostTable* getHostTable() const noexcept { return host_; }

    // The living processor that owns this table, or null: a table address that
    // came from a host is looked up here before anything is read through it.
    static Process* find(const ProcessTable* table) noexcept;

protected:
    // The host's tempo in beats per minute; 0 without a host table.
    float askHostTempo() const;

private:
    ProcessTable table_;
    Process* self_;
    HostTable* host_;
};

// The module's side of the GUI table; entry k is served by the (k+1)-th virtual
// operation, behind the destructor.
class GUI {
public:
    GUI();
    GUI(const GUI&) = delete;
    GUI& operator=(const GUI&) = delete;
    virtual ~GUI();

    virtual Process* getProcess() = 0;
    virtual void getSize(std::int32_t& width, std::int32_t& height) = 0;
    virtual void setPosition(std::int32_t x, std::int32_t y) = 0;
    virtual void setHostMouseEvents(bool hostDelivers) = 0;
    virtual void setHostKeyEvents(bool hostDelivers) = 0;
    virtual void open(void* parentWindow) = 0;
    virtual void close() = 0;
    virtual void idle() = 0;
    virtual void update() = 0;
    virtual void invalidate(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) = 0;
    virtual void onMouseDown(std::int32_t x, std::int32_t y, std::int32_t button,
                             std::int32_t modifiers) = 0;
    virtual void onMouseUp(std::int32_t x, std::int32_t y, std::int32_t button,
                           std::int32_t modifiers) = 0;
    virtual void onMouseMove(std::int32_t x, std::int32_t y, std::int32_t modifiers) = 0;
    virtual bool onKey(std::int32_t key, std::int32_t character, std::int32_t modifiers) = 0;

    GUITable* getTable() noexcept { return &table_; }

private:
    GUITable table_;
    GUI* self_;
};

// The host's side: loads the module named by the product's "DUZ2Path" setting
// and serves the Host table. The PlugIn table it acquired sits before its own
// table, the loaded module's handle behind the back pointer (the loader's first
// field). A host passes getHostTable() to createProcess, never the object.
class Host {
public:
    Host() noexcept
        : table_{&entryGetVersion, &entryGetTempo, &entryOnParameterChanged}, self_(this)
    {
    }
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;
    virtual ~Host() { unloadPlugIn(); }

    virtual float getTempo() = 0;
    virtual void onParameterChanged(std::int32_t index, float plain, float normalized) = 0;

    // Unloads what is held first. Any failure (no "DUZ2Path", a file that does
    // not load, no "DUZ2Acquire", a null table) shows the install error once
    // and answers false with nothing loaded.
    bool loadPlugIn(const std::string& productKey)
    {
        if (plugIn_)
            unloadPlugIn();
        if (!loader_.load(productKey))
            return false;
        plugIn_ = static_cast<PlugInTable*>(loader_.getPlugInTable());
        return true;
    }
    // Calls "DUZ2Release" and unloads the module: nonzero on success, 0 when
    // nothing was loaded.
    int unloadPlugIn()
    {
        if (!plugIn_)
            return 0;
        plugIn_ = nullptr;
        return loader_.release();
    }

    PlugInTable* getPlugInTable() const noexcept { return plugIn_; }
    HostTable* getHostTable() noexcept { return &table_; }

private:
    static Host* owner(HostTable* table) noexcept
    {
        return static_cast<Host*>(reinterpret_cast<void**>(table)[kHostEntries]);
    }
    static std::int32_t entryGetVersion(HostTable*) { return 1; }
    static float entryGetTempo(HostTable* table)
    {
        try {
            return owner(table)->getTempo();
        } catch (...) {
            return 0.0f;
        }
    }
    static void entryOnParameterChanged(HostTable* table, std::int32_t index, float plain,
                                        float normalized)
    {
        try {
            owner(table)->onParameterChanged(index, plain, normalized);
        } catch (...) {
        }
    }

    PlugInTable* plugIn_ = nullptr;
    HostTable table_;
    Host* self_;
    platform::PluginModuleLoader loader_;
};

} // namespace Zq::DUZ2

// The module's two exports (C linkage, the only symbols it exports).
extern "C" {
// Version 1: writes 1 to *served and returns the plug-in object's PlugIn table,
// creating the object when none exists. Any other version: null, *served kept.
__attribute__((visibility("default"))) Zq::DUZ2::PlugInTable* DUZ2Acquire(std::int32_t version,
                                                                          std::int32_t* served);
// Deletes the plug-in object, with its processors, when the last user releases.
__attribute__((visibility("default"))) std::int32_t DUZ2Release();
}
