// URL settings changed while a task runs reach its workers from their next tile, but for the
// two that the task's rectangles were made with.
#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "download_harness.h"

namespace downloadui {
namespace {

namespace ta = testsupport::tileanswers;
using namespace std::chrono_literals;

bool Has(const std::string& target, const char* part) {
    return target.find(part) != std::string::npos;
}

TEST(DownloadUrlSettings, ARunningTaskTakesNewUrlSettingsButKeepsItsGrid) {
    constexpr int kThreads = 2;
    Harness h([](const testsupport::TileRequest&) { return ta::Slow(ta::Png(), 30ms); });
    h.fakes.page.mapType = TMapType::mtTDTRoadMap;  // road tiles with an annotation overlay
    h.settings.SetIntSetting(engine::IntSetting::MaxThread, kThreads);
    h.SetBox(39.90, 116.30, 40.00, 116.45);
    h.SetLevels({15});
    h.controller->Start();
    ASSERT_TRUE(WaitUntil([&] { return h.server.Total() >= 6; }));
    const std::vector<std::string> before = h.server.Targets();
    EXPECT_TRUE(std::any_of(before.begin(), before.end(),
                            [](const std::string& t) { return Has(t, "T=cva_w"); }));

    // The provincial service works on another grid than the task's rectangles.
    h.settings.SetIntSetting(engine::IntSetting::TiandituIndex, 1);
    h.settings.SetBoolSetting(engine::BoolSetting::DownloadNoLabel, true);
    h.controller->UrlSettingsChanged();
    const std::size_t at = h.server.Targets().size();
    // Each worker may still send the base and overlay of the tile in hand.
    const std::size_t inHand = 2 * kThreads;
    ASSERT_TRUE(WaitUntil([&] { return h.server.Targets().size() >= at + inHand + 10; }));
    const std::vector<std::string> after = h.server.Targets();
    for (std::size_t i = at + inHand; i < after.size(); ++i) {
        EXPECT_TRUE(Has(after[i], "/DataServer?T=vec_w&")) << after[i];
    }

    h.fakes.messages.answers = {true};
    h.controller->Stop();
    EXPECT_EQ(h.controller->Status(), TDownloadStatus::dsStopped);
}

}  // namespace
}  // namespace downloadui
