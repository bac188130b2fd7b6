// The settings form without a window: the page-reload decision, the bounds and texts it keeps,
// and the indexes it reads from the store.
#include <functional>

#include <gtest/gtest.h>

#include "app/settings/settings_form.h"
#include "app/support/qt_print.h"
#include "settings_store.h"

namespace {

using app::SettingsForm;
using engine::BoolSetting;
using engine::IntSetting;
using engine::StrSetting;

TEST(SettingsForm, ReloadOnlyForTheSixPageSettings) {
    struct Case {
        const char* what;
        std::function<void(SettingsForm&)> change;
        bool reload;
    };
    const Case cases[] = {
        {"road tile version", [](SettingsForm& f) { f.roadMapTileVer = "999"; }, true},
        {"satellite tile version", [](SettingsForm& f) { f.satMapTileVer = "151"; }, true},
        {"automatic version update", [](SettingsForm& f) { f.autoUpdateTileVer ^= true; }, true},
        {"language", [](SettingsForm& f) { f.languageIndex = 7; }, true},
        {"map server", [](SettingsForm& f) { f.mapSeverIndex = 1; }, true},
        {"copyright line", [](SettingsForm& f) { f.showCopyright ^= true; }, true},
        {"nothing", [](SettingsForm&) {}, false},
        {"line colour", [](SettingsForm& f) { f.polygonStrokeColor = "#123456"; }, false},
        {"fill opacity", [](SettingsForm& f) { f.polygonFillOpacity = 50; }, false},
        {"area labels", [](SettingsForm& f) { f.showAreaLabel ^= true; }, false},
        {"location bar", [](SettingsForm& f) { f.showCurrentLocationBar ^= true; }, false},
        {"threads", [](SettingsForm& f) { f.maxThread = 40; }, false},
        {"proxy", [](SettingsForm& f) { f.proxyHost = "proxy.lan"; }, false},
        {"style",
         [](SettingsForm& f) {
             f.stylesLoaded = true;
             f.styleName = "墨夜";
         },
         false},
        {"Baidu date (shown only)", [](SettingsForm& f) { f.bNormalUDT = "20990101"; }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        testmainwindow::TempSettings store;
        // The first save stores the listed spelling of the language code ("zh-CN").
        SettingsForm first;
        first.Load(store.settings);
        first.ApplyTo(store.settings);

        SettingsForm form;
        form.Load(store.settings);
        c.change(form);
        EXPECT_EQ(form.MapPageNeedsReload(store.settings), c.reload);
        form.ApplyTo(store.settings);
        SettingsForm again;
        again.Load(store.settings);
        EXPECT_FALSE(again.MapPageNeedsReload(store.settings));
    }
}

TEST(SettingsForm, DefaultLanguageCodeDiffersInCaseOnce) {
    testmainwindow::TempSettings store;
    SettingsForm form;
    form.Load(store.settings);
    EXPECT_EQ(form.LanguageCode(), "zh-CN");
    EXPECT_TRUE(form.MapPageNeedsReload(store.settings));
    form.ApplyTo(store.settings);
    EXPECT_EQ(store.settings.GetStrSetting(StrSetting::MapLanguageCode), "zh-CN");
    form.Load(store.settings);
    EXPECT_FALSE(form.MapPageNeedsReload(store.settings));
}

TEST(SettingsForm, LanguageCodes) {
    struct Case {
        const char* stored;
        int index;  // -1: no selection
        const char* written;
    };
    // "eu" is listed twice; the last entry wins. A code of no entry is kept as stored.
    for (const Case& c : {Case{"eu", 13, "eu"}, Case{"JA", 26, "ja"}, Case{"xx-YY", -1, "xx-YY"}}) {
        SCOPED_TRACE(c.stored);
        testmainwindow::TempSettings store;
        store.settings.SetStrSetting(StrSetting::MapLanguageCode, c.stored);
        SettingsForm form;
        form.Load(store.settings);
        EXPECT_EQ(form.languageIndex, c.index);
        form.ApplyTo(store.settings);
        EXPECT_EQ(store.settings.GetStrSetting(StrSetting::MapLanguageCode), c.written);
    }
}

TEST(SettingsForm, StoredIndexesOutsideTheirListsReadAsTheFirstEntry) {
    struct Case {
        IntSetting setting;
        int stored;
        int SettingsForm::*field;
        int expected;
    };
    const Case cases[] = {
        {IntSetting::SettingIndex, 5, &SettingsForm::settingIndex, 0},
        {IntSetting::SettingIndex, -1, &SettingsForm::settingIndex, 0},
        {IntSetting::SettingIndex, 4, &SettingsForm::settingIndex, 4},
        {IntSetting::MapSeverIndex, 2, &SettingsForm::mapSeverIndex, 0},
        {IntSetting::MapSeverIndex, 1, &SettingsForm::mapSeverIndex, 1},
        {IntSetting::TiandituIndex, 11, &SettingsForm::tiandituIndex, 0},
        {IntSetting::TiandituIndex, 10, &SettingsForm::tiandituIndex, 10},
        {IntSetting::ProxyType, 9, &SettingsForm::proxyType, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(c.setting) << " = " << c.stored);
        testmainwindow::TempSettings store;
        store.settings.SetIntSetting(c.setting, c.stored);
        SettingsForm form;
        form.Load(store.settings);
        EXPECT_EQ(form.*c.field, c.expected);
    }
}

TEST(SettingsForm, SpinValuesAreHeldWithinTheirBounds) {
    testmainwindow::TempSettings store;
    store.settings.SetIntSetting(IntSetting::MaxThread, 90);
    store.settings.SetIntSetting(IntSetting::PolygonFillOpacity, 3);
    store.settings.SetIntSetting(IntSetting::PolygonStrokeWeight, 40);
    SettingsForm form;
    form.Load(store.settings);
    EXPECT_EQ(form.maxThread, 80);
    EXPECT_EQ(form.polygonFillOpacity, 10);
    EXPECT_EQ(form.polygonStrokeWeight, 10);

    form.maxThread = 0;
    form.failedTryTimes = 21;
    form.ApplyTo(store.settings);
    EXPECT_EQ(store.settings.GetIntSetting(IntSetting::MaxThread), 1);
    EXPECT_EQ(store.settings.GetIntSetting(IntSetting::FailedTryTimes), 20);
}

TEST(SettingsForm, PrintResolutionText) {
    struct Case {
        const char* text;
        int stored;
    };
    for (const Case& c : {Case{"150", 150}, Case{" 96 ", 96}, Case{"abc", 300}, Case{"", 300},
                          Case{"0", 300}, Case{"-72", 300}, Case{"7.5", 300}}) {
        SCOPED_TRACE(c.text);
        testmainwindow::TempSettings store;
        SettingsForm form;
        form.Load(store.settings);
        form.printDpi = c.text;
        form.ApplyTo(store.settings);
        EXPECT_EQ(store.settings.GetIntSetting(IntSetting::PrintDPI), c.stored);
    }
    // A stored resolution that is not above 0 shows as 300.
    testmainwindow::TempSettings store;
    store.settings.SetIntSetting(IntSetting::PrintDPI, 0);
    SettingsForm form;
    form.Load(store.settings);
    EXPECT_EQ(form.printDpi, "300");
}

TEST(SettingsForm, Colours) {
    struct Case {
        const char* stored;
        const char* shown;
    };
    for (const Case& c :
         {Case{"#00ff80", "#00FF80"}, Case{"#zzzzzz", "#FF0000"}, Case{"blue", "#FF0000"}}) {
        SCOPED_TRACE(c.stored);
        testmainwindow::TempSettings store;
        store.settings.SetStrSetting(StrSetting::PolygonStrokeColor, c.stored);
        SettingsForm form;
        form.Load(store.settings);
        EXPECT_EQ(form.polygonStrokeColor, c.shown);
        form.ApplyTo(store.settings);
        EXPECT_EQ(store.settings.GetStrSetting(StrSetting::PolygonStrokeColor), c.shown);
    }
}

TEST(SettingsForm, StyleIsWrittenOnlyOnceItsPageWasShown) {
    testmainwindow::TempSettings store;
    store.settings.SetStrSetting(StrSetting::StyleName, "青瓷");
    SettingsForm form;
    form.Load(store.settings);
    form.styleName = "墨夜";
    form.ApplyTo(store.settings);
    EXPECT_EQ(store.settings.GetStrSetting(StrSetting::StyleName), "青瓷");
    form.stylesLoaded = true;
    form.ApplyTo(store.settings);
    EXPECT_EQ(store.settings.GetStrSetting(StrSetting::StyleName), "墨夜");
}

}  // namespace
