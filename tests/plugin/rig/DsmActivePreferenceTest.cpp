#include "RigFixtures.h"

#include "platform/MessageBox.h"
#include "platform/SettingsFixture.h"
#include "plugin/rig/DsmActivePreference.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

using namespace test;

namespace {

std::int32_t storedLevel()
{
    std::int32_t value = -1;
    return platform::readRegistryNumber("BorvanQom", "DSMActive", value) ? value : -1;
}

// A rig with both tube heads' documents created, back on the classic.
void createTubeHeads(Rig& rig)
{
    rig.getAmpModule().ampModel.setValue(1.0f, true);
    rig.getAmpModule().ampModel.setValue(2.0f, true);
}

AmpV9E& v9e(Rig& rig)
{
    rig.getAmpModule().ampModel.setValue(1.0f, true);
    auto& head = *static_cast<AmpV9E*>(rig.getAmpModule().getAmpModel());
    rig.getAmpModule().ampModel.setValue(2.0f, true);
    return head;
}

AmpRKMClassic& classic(Rig& rig)
{
    rig.getAmpModule().ampModel.setValue(2.0f, true);
    return *static_cast<AmpRKMClassic*>(rig.getAmpModule().getAmpModel());
}

class DsmActivePreferenceTest : public SettingsRootTest {
protected:
    void TearDown() override
    {
        releaseDsmActivePreference();
        SettingsRootTest::TearDown();
    }
};

} // namespace

TEST_F(DsmActivePreferenceTest, WithNothingStoredTheLoadStoresOneAndEveryChangeIsStored)
{
    ASSERT_EQ(findDsmActivePreference(), nullptr);
    DsmActivePreference* preference = createDsmActivePreference();
    ASSERT_NE(preference, nullptr);
    EXPECT_EQ(createDsmActivePreference(), preference) << "set up once";
    EXPECT_EQ(findDsmActivePreference(), preference);
    EXPECT_EQ(preference->getParameter().getValue(), 1.0f);
    EXPECT_EQ(storedLevel(), 1);

    preference->getParameter().setValue(0.0f, true);
    EXPECT_EQ(storedLevel(), 0);
    EXPECT_EQ(preference->current(), 0);
    preference->getParameter().setValue(7.0f, true);
    EXPECT_EQ(storedLevel(), 1) << "the value is kept to 0 ... 1";

    releaseDsmActivePreference();
    EXPECT_EQ(findDsmActivePreference(), nullptr);
}

TEST_F(DsmActivePreferenceTest, AStoredValueIsTakenAsItIs)
{
    const std::pair<std::int32_t, float> cases[] = {{0, 0.0f}, {1, 1.0f}, {5, 1.0f}, {-2, 0.0f}};
    for (const auto& [stored, taken] : cases) {
        platform::writeRegistryNumber("BorvanQom", "DSMActive", stored);
        DsmActivePreference* preference = createDsmActivePreference();
        EXPECT_EQ(preference->getParameter().getValue(), taken) << stored;
        EXPECT_EQ(preference->current(), static_cast<int>(taken)) << stored;
        EXPECT_EQ(storedLevel(), stored) << "reading writes nothing back";
        releaseDsmActivePreference();
    }
    // An unreadable value (a text where a number belongs) counts as missing.
    platform::writeRegistryString("BorvanQom", "DSMActive", "yes");
    EXPECT_EQ(createDsmActivePreference()->getParameter().getValue(), 1.0f);
    EXPECT_EQ(storedLevel(), 1);
}

// Something at "DSMActive" that is not a readable value file: the install
// error names it, the preference starts at 1, and what is there stays.
TEST_F(DsmActivePreferenceTest, AnUnreadableValueShowsTheInstallErrorAndIsLeftAlone)
{
    std::vector<std::string> messages;
    platform::setMessageHandler([&](const std::string& text, const std::string&, int) {
        messages.push_back(text);
        return true;
    });
    for (const char* kind : kUnreadableKinds) {
        if (!plantUnreadable("BorvanQom", "DSMActive", kind))
            continue;
        SCOPED_TRACE(kind);
        messages.clear();
        ::testing::internal::CaptureStderr();
        DsmActivePreference* preference = createDsmActivePreference();
        const std::string said = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(preference->getParameter().getValue(), 1.0f);
        EXPECT_EQ(messages.size(), 1u);
        EXPECT_NE(said.find("\"DSMActive\" cannot be read: "), std::string::npos) << said;
        std::error_code error;
        EXPECT_FALSE(std::filesystem::is_regular_file(valueFile("BorvanQom", "DSMActive"), error));
        releaseDsmActivePreference();
    }
    platform::setMessageHandler({});
}

TEST_F(DsmActivePreferenceTest, TubeHeadsFollowThePreferenceAndLaterOnesStartFromIt)
{
    Rig withoutPreference;
    EXPECT_EQ(classic(withoutPreference).dsmActive.getValue(), 0.0f)
        << "no preference: the declared 0";

    Parameter& preference = createDsmActivePreference()->getParameter();
    Rig rig;
    createTubeHeads(rig);
    EXPECT_EQ(classic(rig).dsmActive.getValue(), 1.0f);
    EXPECT_EQ(v9e(rig).dsmActive.getValue(), 1.0f);

    int engineSawClassic = 0;
    classic(rig).dsmActive.changed.connect([&](Parameter*) { ++engineSawClassic; });
    preference.setValue(0.0f, true);
    EXPECT_EQ(classic(rig).dsmActive.getValue(), 0.0f);
    EXPECT_EQ(v9e(rig).dsmActive.getValue(), 0.0f);
    EXPECT_EQ(engineSawClassic, 1) << "the change reaches the document's views";

    Rig later;
    EXPECT_EQ(classic(later).dsmActive.getValue(), 0.0f);
    EXPECT_EQ(v9e(later).dsmActive.getValue(), 0.0f);
    preference.setValue(1.0f, true);
    for (Rig* each : {&rig, &later}) {
        EXPECT_EQ(classic(*each).dsmActive.getValue(), 1.0f);
        EXPECT_EQ(v9e(*each).dsmActive.getValue(), 1.0f);
    }
    EXPECT_EQ(classic(withoutPreference).dsmActive.getValue(), 0.0f);

    // Released before the documents that follow it (a host that unloads the
    // module with processors alive): they keep their value and let go safely.
    releaseDsmActivePreference();
    EXPECT_EQ(classic(rig).dsmActive.getValue(), 1.0f);
}

// The editor of one processor changes the preference while it holds its own
// document's lock; another processor's automation worker holds that
// processor's lock. The other processor's heads must follow only once the
// worker lets go, and every change must run under the lock of the document it
// changes.
TEST_F(DsmActivePreferenceTest, EachDocumentFollowsUnderItsOwnLock)
{
    Parameter& preference = createDsmActivePreference()->getParameter();
    Rig editing;
    createTubeHeads(editing);
    Rig busy;
    createTubeHeads(busy);

    std::atomic<bool> editingFollowed{false};
    std::atomic<bool> workerHolds{false};
    std::atomic<bool> workerLetGo{false};
    classic(editing).dsmActive.changed.connect([&](Parameter*) { editingFollowed = true; });

    int busyChanges = 0;
    int busyChangesWhileHeld = 0;
    int busyChangesOutsideItsLock = 0;
    auto check = [&](Parameter*) {
        ++busyChanges;
        busyChangesWhileHeld += workerLetGo ? 0 : 1;
        // The lock is recursive: the changing thread gets it only if it is its own.
        if (busy.getLock()->tryEnter())
            busy.getLock()->leave();
        else
            ++busyChangesOutsideItsLock;
    };
    classic(busy).dsmActive.changed.connect(check);
    v9e(busy).dsmActive.changed.connect(check);

    std::thread worker([&] {
        platform::ScopedEnter hold(*busy.getLock());
        workerHolds = true;
        while (!editingFollowed)
            std::this_thread::yield();
        // A grace period in which a change that ignores the lock would land.
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        workerLetGo = true;
    });
    while (!workerHolds)
        std::this_thread::yield();
    {
        platform::ScopedEnter editor(*editing.getLock());
        preference.setValue(0.0f, true);
    }
    worker.join();

    EXPECT_EQ(busyChanges, 2);
    EXPECT_EQ(busyChangesWhileHeld, 0);
    EXPECT_EQ(busyChangesOutsideItsLock, 0);
    EXPECT_EQ(classic(editing).dsmActive.getValue(), 0.0f);
    EXPECT_EQ(v9e(editing).dsmActive.getValue(), 0.0f);
    EXPECT_EQ(classic(busy).dsmActive.getValue(), 0.0f);
    EXPECT_EQ(v9e(busy).dsmActive.getValue(), 0.0f);
}
