// The rig's golden outputs: every configuration re-rendered and compared with
// the file the "regenerate_golden" target wrote. A table-hash mismatch means the cabinet
// responses or a model's curves changed under the files; the failure names the
// table instead of reporting a sea of differing samples.
#include "tools/golden/Golden.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <set>
#include <string>

namespace {

// Largest error allowed, as a share of the reference's peak.
constexpr float kTolerance = 1e-5f;

std::string pathOf(const std::string& name)
{
    return std::string(GOLDEN_DATA_DIR) + "/" + name + ".f32";
}

const std::string kRegenerate = "  (if the change is intended, regenerate with `cmake --build "
                                "<build> --target regenerate_golden`)";

class GoldenOutput : public testing::TestWithParam<golden::Configuration> {};

TEST_P(GoldenOutput, ReRendersWithinTolerance)
{
    const golden::Configuration& c = GetParam();
    golden::Rendering reference;
    std::string error;
    ASSERT_TRUE(golden::read(pathOf(c.name), reference, error)) << error << kRegenerate;

    const std::string tables = golden::checkTables(reference, golden::tableHashes());
    ASSERT_TRUE(tables.empty()) << c.name << ".f32:\n" << tables << kRegenerate;

    const golden::Rendering now = golden::render(c);
    ASSERT_EQ(reference.rate, now.rate);
    ASSERT_EQ(reference.channels, now.channels);
    ASSERT_EQ(reference.frames, now.frames) << kRegenerate;

    const golden::Difference d = golden::compare(reference.samples, now.samples);
    ASSERT_GT(d.peak, 0.0f) << "the reference is silent";
    EXPECT_TRUE(d.finite);
    EXPECT_LE(d.maxError, kTolerance * d.peak)
        << "frame " << d.where / now.channels << ", channel " << d.where % now.channels
        << ": rendered " << now.samples[d.where] << ", reference " << reference.samples[d.where]
        << kRegenerate;
    std::printf("%s: max error %.3g of peak %.4f (%.3g of the tolerance)\n", c.name.c_str(),
                d.maxError, d.peak, d.maxError / (kTolerance * d.peak));
}

INSTANTIATE_TEST_SUITE_P(Rig, GoldenOutput, testing::ValuesIn(golden::configurations()),
                         [](const testing::TestParamInfo<golden::Configuration>& info) {
                             return info.param.name;
                         });

// A file left behind by a configuration that no longer exists is stale data
// nobody checks.
TEST(GoldenFiles, FolderHoldsExactlyTheConfigurations)
{
    std::set<std::string> expected, found;
    for (const golden::Configuration& c : golden::configurations())
        expected.insert(c.name + ".f32");
    for (const auto& entry : std::filesystem::directory_iterator(GOLDEN_DATA_DIR))
        found.insert(entry.path().filename().string());
    EXPECT_EQ(expected, found);
}

// The checks themselves: a changed or missing table is named, a damaged file
// is refused with its reason, and a single wrong sample is found.
TEST(GoldenFiles, ChecksNameWhatIsWrong)
{
    const std::vector<golden::TableHash> current = golden::tableHashes();
    golden::Rendering file;
    file.tables = current;
    EXPECT_EQ(golden::checkTables(file, current), "");

    file.tables[2].hash ^= 1;
    const std::string changed = golden::checkTables(file, current);
    EXPECT_NE(changed.find("\"" + current[2].name + "\" changed"), std::string::npos) << changed;

    file.tables.erase(file.tables.begin());
    EXPECT_NE(golden::checkTables(file, current).find("\"cabinet\" is not recorded"),
              std::string::npos);

    // Round trip, then a file cut short and one with bytes after its samples.
    golden::Rendering r;
    r.rate = 44100;
    r.frames = 3;
    r.channels = 2;
    r.tables = current;
    r.samples = {0.5f, -0.25f, 1.0f, 0.0f, -1.0f, 0.125f};
    const std::string path = testing::TempDir() + "golden_checks.f32";
    ASSERT_TRUE(golden::write(path, r));
    golden::Rendering back;
    std::string error;
    ASSERT_TRUE(golden::read(path, back, error)) << error;
    EXPECT_EQ(back.samples, r.samples);
    EXPECT_EQ(golden::checkTables(back, current), "");

    const auto size = std::filesystem::file_size(path);
    std::filesystem::resize_file(path, size - 1);
    EXPECT_FALSE(golden::read(path, back, error));
    EXPECT_NE(error.find("samples cut short"), std::string::npos) << error;
    std::filesystem::resize_file(path, size + 4);
    EXPECT_FALSE(golden::read(path, back, error));
    EXPECT_NE(error.find("after the last sample"), std::string::npos) << error;
    std::filesystem::remove(path);

    std::vector<float> rendered = r.samples;
    rendered[4] = -0.75f;
    golden::Difference d = golden::compare(r.samples, rendered);
    EXPECT_EQ(d.where, 4u);
    EXPECT_EQ(d.maxError, 0.25f);
    EXPECT_EQ(d.peak, 1.0f);
    rendered[1] = NAN;
    d = golden::compare(r.samples, rendered);
    EXPECT_FALSE(d.finite);
    EXPECT_EQ(d.where, 1u);
}

} // namespace
