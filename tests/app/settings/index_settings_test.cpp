// A list index stored out of its list (a settings file edited by hand) reads as its default for
// every reader at once: the page settings script, the tile addresses, the download settings and
// the settings dialog, with one line in the program's log.
#include <string>

#include <gtest/gtest.h>

#include "app/page/page_settings_script.h"
#include "app/page/page_settings_source.h"
#include "app/settings/settings_form.h"
#include "app/support/qt_print.h"
#include "engine/download/download_settings.h"
#include "engine/download/url_builder.h"
#include "engine/log/logger.h"
#include "settings_store.h"

namespace {

using app::SettingsForm;
using engine::IntSetting;
using engine::TMapType;

int CountOf(const std::string& text, const std::string& part) {
    int n = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++n;
    }
    return n;
}

TEST(IndexSettings, AStoredIndexOutsideItsListReadsAsItsDefaultForEveryReader) {
    struct Case {
        IntSetting setting;
        const char* key;
        int stored;
        bool outside;
        // The Google page's line for the setting; nullptr where the page does not read it.
        const char* pageLine;
        // A tile of `layer` goes to an address holding `host`; nullptr where no tile reads it.
        TMapType layer;
        const char* host;
        // The download settings' value; -1 where they do not read it.
        int download;
        // What the settings dialog shows; nullptr where it has no control for it.
        int SettingsForm::*field;
        int dialog;
    };
    constexpr auto kRoad = TMapType::mtGoogleRoadMap;
    constexpr auto kTianditu = TMapType::mtTDTRoadMap;
    const Case cases[] = {
        {IntSetting::MapSeverIndex, "MapSeverIndex", 5, true,
         R"(zeb.mapsever = "http://mt{0}.google.cn";)", kRoad, ".google.cn/", -1,
         &SettingsForm::mapSeverIndex, 0},
        {IntSetting::MapSeverIndex, "MapSeverIndex", -1, true,
         R"(zeb.mapsever = "http://mt{0}.google.cn";)", kRoad, ".google.cn/", -1,
         &SettingsForm::mapSeverIndex, 0},
        {IntSetting::MapSeverIndex, "MapSeverIndex", 1, false,
         R"(zeb.mapsever = "http://mt{0}.google.com";)", kRoad, ".google.com/", -1,
         &SettingsForm::mapSeverIndex, 1},
        {IntSetting::TiandituIndex, "TiandituIndex", 11, true, nullptr, kTianditu,
         "//t0.tianditu.com/", -1, &SettingsForm::tiandituIndex, 0},
        {IntSetting::TiandituIndex, "TiandituIndex", -2, true, nullptr, kTianditu,
         "//t0.tianditu.com/", -1, &SettingsForm::tiandituIndex, 0},
        {IntSetting::TiandituIndex, "TiandituIndex", 3, false, nullptr, kTianditu,
         "jiangsu.tianditu.com/", -1, &SettingsForm::tiandituIndex, 3},
        {IntSetting::MapTypeIndex, "MapTypeIndex", 49, true, "zeb.DEFAULT_MAPTYPE_INDEX = 3;",
         kRoad, nullptr, 3, nullptr, 0},
        {IntSetting::MapTypeIndex, "MapTypeIndex", -7, true, "zeb.DEFAULT_MAPTYPE_INDEX = 3;",
         kRoad, nullptr, 3, nullptr, 0},
        {IntSetting::ProxyType, "ProxyType", 3, true, nullptr, kRoad, nullptr, 0,
         &SettingsForm::proxyType, 0},
        {IntSetting::SettingIndex, "SettingIndex", 5, true, nullptr, kRoad, nullptr, -1,
         &SettingsForm::settingIndex, 0},
    };
    const QStringList googleScript = {"zeb.mapsever = \"http://mt{0}.google.cn\";",
                                      "zeb.DEFAULT_MAPTYPE_INDEX = 0;"};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.key << "=" << c.stored);
        testmainwindow::TempSettings store;
        store.settings.SetIntSetting(c.setting, c.stored);

        if (c.pageLine != nullptr) {
            const QStringList page =
                app::RewriteGoogleSettings(googleScript, app::PageSettingsFrom(store.settings));
            EXPECT_TRUE(page.contains(QString::fromUtf8(c.pageLine)))
                << page.join('\n').toStdString();
        }
        if (c.host != nullptr) {
            const engine::TileUrlBuilder builder(c.layer, [](int) { return 0; });
            const std::string url =
                builder.BuildTileUrl({3, 4, 5}, engine::UrlSettingsFrom(store.settings)).Base;
            EXPECT_NE(url.find(c.host), std::string::npos) << url;
        }
        if (c.download >= 0) {
            const engine::DownloadSettings download = engine::DownloadSettingsFrom(store.settings);
            EXPECT_EQ(
                c.setting == IntSetting::MapTypeIndex ? download.MapTypeIndex : download.ProxyType,
                c.download);
        }
        if (c.field != nullptr) {
            SettingsForm form;
            form.Load(store.settings);
            EXPECT_EQ(form.*c.field, c.dialog);
        }

        // Read by several readers, the value leaves one line naming it in the program's log.
        const std::string log = testsupport::ReadFileBytes(engine::DefaultLogFileName());
        const std::string line =
            std::string(c.key) + " " + std::to_string(c.stored) + " is outside";
        EXPECT_EQ(CountOf(log, line), c.outside ? 1 : 0) << log;
    }
}

}  // namespace
