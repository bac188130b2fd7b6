// URL settings changed while a task runs reach its workers from their next tile, but for the
// two that the task's rectangles were made with.
#include <algorithm>
#include <cctype>
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
    ASSERT_TRUE(WaitUntil([&] { return h.server.Targets().size() >= at + 2 * kThreads + 10; }));
    const std::vector<std::string> after = h.server.Targets();
    // A label tile after the change belongs to a tile a worker had begun before it (tried
    // again too, if its answer was lost): that tile's base was recorded before the change or
    // was then on its way, one request a worker. Every base keeps the task's grid.
    const auto lower = [](std::string text) {
        std::transform(text.begin(), text.end(), text.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        return text;
    };
    const auto baseIndex = [&](const std::string& label) {
        const std::string base = lower("/DataServer?T=vec_w" + label.substr(label.find('&')));
        return static_cast<std::size_t>(
            std::find_if(after.begin(), after.end(),
                         [&](const std::string& t) { return lower(t) == base; }) -
            after.begin());
    };
    for (std::size_t i = at; i < after.size(); ++i) {
        if (Has(after[i], "T=cva_w")) {
            EXPECT_LT(baseIndex(after[i]), at + kThreads) << after[i];
        } else {
            EXPECT_TRUE(Has(after[i], "/DataServer?T=vec_w&")) << after[i];
        }
    }

    h.fakes.messages.answers = {true};
    h.controller->Stop();
    EXPECT_EQ(h.controller->Status(), TDownloadStatus::dsStopped);
}

}  // namespace
}  // namespace downloadui
