// The entry functions of the module's three tables. Each reads the back pointer
// behind its table, calls the operation that serves it and converts the result;
// nothing else. None lets an exception out: the interface has no way to report
// one, so a failed operation answers the neutral value (0, null, "").

#include "plugin/DUZ2.h"

#include <map>
#include <mutex>
#include <new>

namespace Zq::DUZ2 {
namespace {

template <class Object, int Entries, class Table> Object* owner(Table* table) noexcept
{
    return static_cast<Object*>(reinterpret_cast<void**>(table)[Entries]);
}

PlugIn* plugInOf(PlugInTable* table) noexcept
{
    return owner<PlugIn, kPlugInEntries>(table);
}
Process* processOf(ProcessTable* table) noexcept
{
    return owner<Process, kProcessEntries>(table);
}
GUI* guiOf(GUITable* table) noexcept
{
    return owner<GUI, kGUIEntries>(table);
}

template <class Result, class Operation>
Result guarded(Result neutral, Operation&& operation) noexcept
{
    try {
        return operation();
    } catch (...) {
        return neutral;
    }
}

template <class Operation> void guarded(Operation&& operation) noexcept
{
    try {
        operation();
    } catch (...) {
    }
}

// Processors by table address. A table a host hands back may belong to a
// processor already destroyed, so it is looked up here before its back pointer
// is read.
struct LivingProcesses {
    std::mutex mutex;
    std::map<const ProcessTable*, Process*> byTable;
};

// Never destroyed: a program that links the module in and exits with
// processors alive deletes them from the unload handler, which there runs
// after the static objects are destroyed. The map is empty again once the last
// processor is gone, so nothing is left behind.
LivingProcesses& livingProcesses()
{
    alignas(LivingProcesses) static unsigned char storage[sizeof(LivingProcesses)];
    static LivingProcesses* living = new (storage) LivingProcesses;
    return *living;
}

// --- PlugIn entries ---

std::int32_t plugInGetVersion(PlugInTable* t)
{
    return guarded<std::int32_t>(0, [&] { return plugInOf(t)->getVersion(); });
}

ProcessTable* plugInCreateProcess(PlugInTable* t, HostTable* host, std::int32_t flags)
{
    return guarded<ProcessTable*>(nullptr, [&]() -> ProcessTable* {
        Process* process = plugInOf(t)->createProcess(host, flags);
        return process ? process->getTable() : nullptr;
    });
}

void plugInDestroyProcess(PlugInTable* t, ProcessTable* processTable)
{
    guarded([&] {
        if (Process* process = Process::find(processTable))
            plugInOf(t)->destroyProcess(process);
    });
}

GUITable* plugInGetGUI(PlugInTable* t, ProcessTable* processTable)
{
    return guarded<GUITable*>(nullptr, [&]() -> GUITable* {
        Process* process = Process::find(processTable);
        if (!process)
            return nullptr;
        GUI* gui = plugInOf(t)->getGUI(process);
        return gui ? gui->getTable() : nullptr;
    });
}

// --- Process entries ---

namespace processEntry {

const char* getName(ProcessTable* t)
{
    return guarded<const char*>("", [&] { return processOf(t)->getName(); });
}
const char* getVendor(ProcessTable* t)
{
    return guarded<const char*>("", [&] { return processOf(t)->getVendor(); });
}
std::int32_t getFlags(ProcessTable* t)
{
    return guarded<std::int32_t>(0, [&] { return processOf(t)->getFlags(); });
}
std::int32_t getNumInputs(ProcessTable* t)
{
    return guarded<std::int32_t>(0, [&] { return processOf(t)->getNumInputs(); });
}
std::int32_t getNumOutputs(ProcessTable* t)
{
    return guarded<std::int32_t>(0, [&] { return processOf(t)->getNumOutputs(); });
}
void setNumInputChannels(ProcessTable* t, std::int32_t count)
{
    guarded([&] { processOf(t)->setNumInputChannels(count); });
}
void setNumOutputChannels(ProcessTable* t, std::int32_t count)
{
    guarded([&] { processOf(t)->setNumOutputChannels(count); });
}
void resume(ProcessTable* t)
{
    guarded([&] { processOf(t)->resume(); });
}
void suspend(ProcessTable* t)
{
    guarded([&] { processOf(t)->suspend(); });
}
void setBlockSize(ProcessTable* t, std::int32_t frames)
{
    guarded([&] { processOf(t)->setBlockSize(frames); });
}
void setSampleRate(ProcessTable* t, float hertz)
{
    guarded([&] { processOf(t)->setSampleRate(hertz); });
}
void startProcess(ProcessTable* t)
{
    guarded([&] { processOf(t)->startProcess(); });
}
void stopProcess(ProcessTable* t)
{
    guarded([&] { processOf(t)->stopProcess(); });
}
void processMidiEvents(ProcessTable* t, MidiEvent* events, std::int32_t count)
{
    guarded([&] { processOf(t)->processMidiEvents(events, count); });
}
void processInPlace(ProcessTable* t, float** channels, std::int32_t frames, std::int32_t* flags)
{
    guarded([&] { processOf(t)->processInPlace(channels, frames, flags); });
}
void process(ProcessTable* t, float** inputs, float** outputs, std::int32_t frames,
             std::int32_t* flags)
{
    guarded([&] { processOf(t)->process(inputs, outputs, frames, flags); });
}
std::int32_t getNumParameters(ProcessTable* t)
{
    return guarded<std::int32_t>(0, [&] { return processOf(t)->getNumParameters(); });
}
const char* getParameterName(ProcessTable* t, std::int32_t index)
{
    return guarded<const char*>("", [&] { return processOf(t)->getParameterName(index); });
}
const char* getParameterDisplay(ProcessTable* t, std::int32_t index)
{
    return guarded<const char*>("", [&] { return processOf(t)->getParameterDisplay(index); });
}
float getParameterValue(ProcessTable* t, std::int32_t index)
{
    return guarded(0.0f, [&] { return processOf(t)->getParameterValue(index); });
}
float getParameterNormalized(ProcessTable* t, std::int32_t index)
{
    return guarded(0.0f, [&] { return processOf(t)->getParameterNormalized(index); });
}
void setParameterValue(ProcessTable* t, std::int32_t index, float plain)
{
    guarded([&] { processOf(t)->setParameterValue(index, plain); });
}
void setParameterNormalized(ProcessTable* t, std::int32_t index, float normalized)
{
    guarded([&] { processOf(t)->setParameterNormalized(index, normalized); });
}
const char* getParameterTextForNormalized(ProcessTable* t, std::int32_t index, float normalized)
{
    return guarded<const char*>(
        "", [&] { return processOf(t)->getParameterTextForNormalized(index, normalized); });
}
float convertNormalizedToPlain(ProcessTable* t, std::int32_t index, float normalized)
{
    return guarded(0.0f, [&] { return processOf(t)->convertNormalizedToPlain(index, normalized); });
}
void setChunk(ProcessTable* t, const void* data, std::int32_t size)
{
    guarded([&] { processOf(t)->setChunk(data, size); });
}
std::int32_t getChunk(ProcessTable* t, void** data)
{
    // A failed save must not leave the host holding a stale pointer.
    if (data)
        *data = nullptr;
    return guarded<std::int32_t>(0, [&] { return processOf(t)->getChunk(data); });
}
void releaseChunk(ProcessTable* t)
{
    guarded([&] { processOf(t)->releaseChunk(); });
}
void waitForHostWrites(ProcessTable* t)
{
    guarded([&] { processOf(t)->waitForHostWrites(); });
}

} // namespace processEntry

// --- GUI entries ---

ProcessTable* guiGetProcess(GUITable* t)
{
    return guarded<ProcessTable*>(nullptr, [&]() -> ProcessTable* {
        Process* process = guiOf(t)->getProcess();
        return process ? process->getTable() : nullptr;
    });
}
void guiGetSize(GUITable* t, std::int32_t* width, std::int32_t* height)
{
    guarded([&] {
        std::int32_t w = 0;
        std::int32_t h = 0;
        guiOf(t)->getSize(w, h);
        if (width)
            *width = w;
        if (height)
            *height = h;
    });
}
void guiSetPosition(GUITable* t, std::int32_t x, std::int32_t y)
{
    guarded([&] { guiOf(t)->setPosition(x, y); });
}
void guiSetHostMouseEvents(GUITable* t, std::int32_t hostDelivers)
{
    guarded([&] { guiOf(t)->setHostMouseEvents(hostDelivers != 0); });
}
void guiSetHostKeyEvents(GUITable* t, std::int32_t hostDelivers)
{
    guarded([&] { guiOf(t)->setHostKeyEvents(hostDelivers != 0); });
}
void guiOpen(GUITable* t, void* parentWindow)
{
    guarded([&] { guiOf(t)->open(parentWindow); });
}
void guiClose(GUITable* t)
{
    guarded([&] { guiOf(t)->close(); });
}
void guiIdle(GUITable* t)
{
    guarded([&] { guiOf(t)->idle(); });
}
void guiUpdate(GUITable* t)
{
    guarded([&] { guiOf(t)->update(); });
}
void guiInvalidate(GUITable* t, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2)
{
    guarded([&] { guiOf(t)->invalidate(x1, y1, x2, y2); });
}
void guiOnMouseDown(GUITable* t, std::int32_t x, std::int32_t y, std::int32_t button,
                    std::int32_t modifiers)
{
    guarded([&] { guiOf(t)->onMouseDown(x, y, button, modifiers); });
}
void guiOnMouseUp(GUITable* t, std::int32_t x, std::int32_t y, std::int32_t button,
                  std::int32_t modifiers)
{
    guarded([&] { guiOf(t)->onMouseUp(x, y, button, modifiers); });
}
void guiOnMouseMove(GUITable* t, std::int32_t x, std::int32_t y, std::int32_t modifiers)
{
    guarded([&] { guiOf(t)->onMouseMove(x, y, modifiers); });
}
std::int32_t guiOnKey(GUITable* t, std::int32_t key, std::int32_t character, std::int32_t modifiers)
{
    return guarded<std::int32_t>(
        0, [&] { return guiOf(t)->onKey(key, character, modifiers) ? 1 : 0; });
}

} // namespace

PlugIn::PlugIn()
    : table_{&plugInGetVersion, &plugInCreateProcess, &plugInDestroyProcess, &plugInGetGUI},
      self_(this)
{
}

PlugIn::~PlugIn() = default;

Process::Process(HostTable* host)
    : table_{&processEntry::getName,
             &processEntry::getVendor,
             &processEntry::getFlags,
             &processEntry::getNumInputs,
             &processEntry::getNumOutputs,
             &processEntry::setNumInputChannels,
             &processEntry::setNumOutputChannels,
             &processEntry::resume,
             &processEntry::suspend,
             &processEntry::setBlockSize,
             &processEntry::setSampleRate,
             &processEntry::startProcess,
             &processEntry::stopProcess,
             &processEntry::processMidiEvents,
             &processEntry::processInPlace,
             &processEntry::process,
             &processEntry::getNumParameters,
             &processEntry::getParameterName,
             &processEntry::getParameterDisplay,
             &processEntry::getParameterValue,
             &processEntry::getParameterNormalized,
             &processEntry::setParameterValue,
             &processEntry::setParameterNormalized,
             &processEntry::getParameterTextForNormalized,
             &processEntry::convertNormalizedToPlain,
             &processEntry::setChunk,
             &processEntry::getChunk,
             &processEntry::releaseChunk,
             &processEntry::waitForHostWrites},
      self_(this), host_(host)
{
    LivingProcesses& living = livingProcesses();
    std::lock_guard lock(living.mutex);
    living.byTable[&table_] = this;
}

Process::~Process()
{
    LivingProcesses& living = livingProcesses();
    std::lock_guard lock(living.mutex);
    living.byTable.erase(&table_);
}

Process* Process::find(const ProcessTable* table) noexcept
{
    if (!table)
        return nullptr;
    LivingProcesses& living = livingProcesses();
    std::lock_guard lock(living.mutex);
    auto found = living.byTable.find(table);
    return found == living.byTable.end() ? nullptr : found->second;
}

void Process::waitForHostWrites()
{
}

void Process::notifyHostParameter(std::int32_t index, float plain, float normalized)
{
    if (host_ && host_->onParameterChanged)
        host_->onParameterChanged(host_, index, plain, normalized);
}

float Process::askHostTempo() const
{
    if (!host_ || !host_->getTempo)
        return 0.0f;
    return host_->getTempo(host_);
}

GUI::GUI()
    : table_{&guiGetProcess,       &guiGetSize,    &guiSetPosition, &guiSetHostMouseEvents,
             &guiSetHostKeyEvents, &guiOpen,       &guiClose,       &guiIdle,
             &guiUpdate,           &guiInvalidate, &guiOnMouseDown, &guiOnMouseUp,
             &guiOnMouseMove,      &guiOnKey},
      self_(this)
{
}

GUI::~GUI() = default;

} // namespace Zq::DUZ2
