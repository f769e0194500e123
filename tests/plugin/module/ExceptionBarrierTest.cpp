// No exception crosses the interface: an operation that throws reaches the
// host as the entry's neutral value.

#include "plugin/DUZ2.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

using namespace Zq::DUZ2;

[[noreturn]] void fail()
{
    throw std::runtime_error("operation failed");
}

class ThrowingProcess final : public Process {
public:
    ThrowingProcess() : Process(nullptr) {}
    const char* getName() override { fail(); }
    const char* getVendor() override { fail(); }
    std::int32_t getFlags() override { fail(); }
    std::int32_t getNumInputs() override { fail(); }
    std::int32_t getNumOutputs() override { fail(); }
    void setNumInputChannels(std::int32_t) override { fail(); }
    void setNumOutputChannels(std::int32_t) override { fail(); }
    void resume() override { fail(); }
    void suspend() override { fail(); }
    void setBlockSize(std::int32_t) override { fail(); }
    void setSampleRate(float) override { fail(); }
    void startProcess() override { fail(); }
    void stopProcess() override { fail(); }
    void processMidiEvents(MidiEvent*, std::int32_t) override { fail(); }
    void processInPlace(float**, std::int32_t, std::int32_t*) override { fail(); }
    void process(float**, float**, std::int32_t, std::int32_t*) override { fail(); }
    std::int32_t getNumParameters() override { fail(); }
    const char* getParameterName(std::int32_t) override { fail(); }
    const char* getParameterDisplay(std::int32_t) override { fail(); }
    float getParameterValue(std::int32_t) override { fail(); }
    float getParameterNormalized(std::int32_t) override { fail(); }
    void setParameterValue(std::int32_t, float) override { fail(); }
    void setParameterNormalized(std::int32_t, float) override { fail(); }
    const char* getParameterTextForNormalized(std::int32_t, float) override { fail(); }
    float convertNormalizedToPlain(std::int32_t, float) override { fail(); }
    void setChunk(const void*, std::int32_t) override { fail(); }
    std::int32_t getChunk(void**) override { fail(); }
    void releaseChunk() override { fail(); }
};

class ThrowingGUI final : public GUI {
public:
    Process* getProcess() override { fail(); }
    void getSize(std::int32_t& width, std::int32_t&) override
    {
        width = 851;
        fail();
    }
    void setPosition(std::int32_t, std::int32_t) override { fail(); }
    void setHostMouseEvents(bool) override { fail(); }
    void setHostKeyEvents(bool) override { fail(); }
    void open(void*) override { fail(); }
    void close() override { fail(); }
    void idle() override { fail(); }
    void update() override { fail(); }
    void invalidate(std::int32_t, std::int32_t, std::int32_t, std::int32_t) override { fail(); }
    void onMouseDown(std::int32_t, std::int32_t, std::int32_t, std::int32_t) override { fail(); }
    void onMouseUp(std::int32_t, std::int32_t, std::int32_t, std::int32_t) override { fail(); }
    void onMouseMove(std::int32_t, std::int32_t, std::int32_t) override { fail(); }
    bool onKey(std::int32_t, std::int32_t, std::int32_t) override { fail(); }
};

class ThrowingPlugIn final : public PlugIn {
public:
    std::int32_t getVersion() override { fail(); }
    Process* createProcess(HostTable*, std::int32_t) override { throw std::bad_alloc(); }
    void destroyProcess(Process*) override { fail(); }
    GUI* getGUI(Process*) override { fail(); }
};

TEST(ExceptionBarrier, processEntriesAnswerNeutralValues)
{
    ThrowingProcess object;
    ProcessTable* t = object.getTable();
    EXPECT_STREQ(t->getName(t), "");
    EXPECT_STREQ(t->getVendor(t), "");
    EXPECT_EQ(t->getFlags(t), 0);
    EXPECT_EQ(t->getNumInputs(t), 0);
    EXPECT_EQ(t->getNumOutputs(t), 0);
    t->setNumInputChannels(t, 1);
    t->setNumOutputChannels(t, 1);
    t->resume(t);
    t->suspend(t);
    t->setBlockSize(t, 64);
    t->setSampleRate(t, 48000.0f);
    t->startProcess(t);
    t->stopProcess(t);
    t->processMidiEvents(t, nullptr, 0);
    t->processInPlace(t, nullptr, 0, nullptr);
    t->process(t, nullptr, nullptr, 0, nullptr);
    EXPECT_EQ(t->getNumParameters(t), 0);
    EXPECT_STREQ(t->getParameterName(t, 0), "");
    EXPECT_STREQ(t->getParameterDisplay(t, 0), "");
    EXPECT_EQ(t->getParameterValue(t, 0), 0.0f);
    EXPECT_EQ(t->getParameterNormalized(t, 0), 0.0f);
    t->setParameterValue(t, 0, 1.0f);
    t->setParameterNormalized(t, 0, 1.0f);
    EXPECT_STREQ(t->getParameterTextForNormalized(t, 0, 0.5f), "");
    EXPECT_EQ(t->convertNormalizedToPlain(t, 0, 0.5f), 0.0f);
    t->setChunk(t, "<Preset/>", 9);
    char stale = 0;
    void* data = &stale;
    EXPECT_EQ(t->getChunk(t, &data), 0);
    EXPECT_EQ(data, nullptr) << "no stale pointer for the host";
    t->releaseChunk(t);
}

TEST(ExceptionBarrier, editorEntriesAnswerNeutralValues)
{
    ThrowingGUI object;
    GUITable* t = object.getTable();
    EXPECT_EQ(t->getProcess(t), nullptr);
    std::int32_t width = -1;
    std::int32_t height = -1;
    t->getSize(t, &width, &height);
    EXPECT_EQ(width, -1) << "a failed getSize writes nothing";
    t->setPosition(t, 1, 2);
    t->setHostMouseEvents(t, 1);
    t->setHostKeyEvents(t, 1);
    t->open(t, nullptr);
    t->close(t);
    t->idle(t);
    t->update(t);
    t->invalidate(t, 0, 0, 1, 1);
    t->onMouseDown(t, 0, 0, 1, 0);
    t->onMouseUp(t, 0, 0, 1, 0);
    t->onMouseMove(t, 0, 0, 0);
    EXPECT_EQ(t->onKey(t, 65, 'a', 0), 0);
}

TEST(ExceptionBarrier, plugInEntriesAnswerNeutralValues)
{
    ThrowingPlugIn object;
    ThrowingProcess process;
    PlugInTable* t = object.getTable();
    EXPECT_EQ(t->getVersion(t), 0);
    EXPECT_EQ(t->createProcess(t, nullptr, 0), nullptr);
    t->destroyProcess(t, process.getTable());
    EXPECT_EQ(t->getGUI(t, process.getTable()), nullptr);
}

} // namespace
