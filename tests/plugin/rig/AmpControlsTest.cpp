#include "plugin/rig/AmpControls.h"

#include "plugin/rig/AmpHeads.h"
#include "plugin/rig/AmpModels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace Doc = Zq::BorvanRAZ::Document;

namespace {

// The places a consumer gives its rows run 0, 1, 2 ... without a gap or a
// twin, so a control added with a taken place cannot shift the host's
// indices or the engine's order unnoticed.
template <class Head, class Place> void expectPlacesInSequence(Place place, const char* consumer)
{
    std::vector<int> places;
    for (const Doc::AmpControl<Head>& row : Doc::ampControls<Head>())
        if (place(row) >= 0)
            places.push_back(place(row));
    std::sort(places.begin(), places.end());
    for (std::size_t k = 0; k < places.size(); ++k)
        EXPECT_EQ(places[k], static_cast<int>(k)) << consumer;
}

} // namespace

TEST(AmpControls, EachHeadsListGivesEveryConsumerAnOrderAndEveryRowItsOwnParameter)
{
    Doc::forEachAmpHead([](int, const auto& entry) {
        using Head = typename std::remove_cvref_t<decltype(entry)>::Document;
        SCOPED_TRACE(entry.documentName);
        expectPlacesInSequence<Head>(
            [](const Doc::AmpControl<Head>& row) { return row.host.position; }, "host");
        expectPlacesInSequence<Head>(
            [](const Doc::AmpControl<Head>& row) { return row.engine.position; }, "engine");

        Head head;
        std::set<const Doc::Module::Parameter*> parameters;
        std::set<std::string> names;
        for (const Doc::AmpControl<Head>& row : Doc::ampControls<Head>()) {
            EXPECT_TRUE(parameters.insert(&row.member.of(head)).second) << row.name;
            EXPECT_TRUE(names.insert(row.name).second) << row.name;
            // A row with a host place says how the host shows it, and the
            // reverse.
            EXPECT_EQ(row.host.position >= 0, row.host.kind != Doc::AmpControlHost::Kind::None)
                << row.name;
            EXPECT_EQ(row.engine.position >= 0, row.engine.path != nullptr) << row.name;
        }
    });
}
