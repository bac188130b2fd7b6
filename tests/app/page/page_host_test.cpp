#include "app/page/page_host.h"
#include "app/support/page_answer.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QWebEngineProfile>
#include <atomic>
#include <filesystem>
#include <thread>

#include <gtest/gtest.h>

#include "app/support/qt_print.h"
#include "engine/core/utilities.h"
#include "support/loopback_server.h"
#include "support/temp_dir.h"
#include "web_page_harness.h"

namespace {

using app::PageFiles;
using app::TChromium;
using testmainwindow::RunScript;
using testmainwindow::WaitUntil;
namespace fs = std::filesystem;

// A small stand-in for the packed pages: both pages read their settings script and define
// the page functions the host calls. Like the packed pages, a page starts a little after it
// has loaded and then reports that it is ready; record() throws until then.
void WritePageSource(const fs::path& root) {
    const std::string functions =
        "<script>"
        "function decodePath(s) { setJsReturnValue('(30.5, 120.25),(31, 121),(32'); }"
        "function zoomTwice() { mapZoomChangedEvent(7); mapZoomChangedEvent(8); }"
        "var started = false, calls = [];"
        "function record(x) { if (!started) { throw new Error('not started'); } calls.push(x); }"
        "window.addEventListener('load', function () {"
        "  setTimeout(function () { started = true; __vantorelReady(); }, 200); });"
        "</script>";
    testsupport::WriteFileBytes(root / "googlemaps.html",
                                "<!DOCTYPE html><html><head><meta charset=\"utf-8\">"
                                "<script src=\"mapfiles/js/gmap_settings.js\"></script>" +
                                    functions + "</head><body>google</body></html>");
    testsupport::WriteFileBytes(root / "baidumaps.html",
                                "<!DOCTYPE html><html><head><meta charset=\"utf-8\">"
                                "<script src=\"mapfiles/js/bmap_settings.js\"></script>" +
                                    functions + "</head><body>baidu</body></html>");
    testsupport::WriteFileBytes(root / "mapfiles/js/gmap_settings.js",
                                "var zeb = window.zeb || {};\nwindow.zeb = zeb;\n"
                                "zeb.DEFAULT_ZOOM = 4; \nzeb.TILE_PATH = \"C:\\\\x\\\\\";\n"
                                "zeb.GOOGLE_HD_VER = \"hd\";\nzeb.polyOptions = {\n"
                                "fillOpacity: 0.5,\n};\n");
    testsupport::WriteFileBytes(root / "mapfiles/js/bmap_settings.js",
                                "var zeb = window.zeb || {};\nwindow.zeb = zeb;\n"
                                "zeb.DEFAULT_ZOOM = 5; \nzeb.DEFAULT_MAPTYPE = X;\n");
    testsupport::WriteFileBytes(root / "mapfiles/images/m1.svg", "<svg/>");
}

QString PathText(const fs::path& path) {
    return QString::fromStdString(path.string());
}

TEST(PageFiles, CopiedIntoAPrivateFolderOfTheirOwn) {
    testsupport::TempDir source;
    WritePageSource(source.path());
    fs::path folder;
    {
        PageFiles first(PathText(source.path()));
        PageFiles second(PathText(source.path()));
        EXPECT_TRUE(first.Folder().empty());
        ASSERT_TRUE(first.Unpack());
        ASSERT_TRUE(second.Unpack());
        folder = first.Folder();
        EXPECT_NE(folder, second.Folder()) << "each process (and object) has its own folder";
        EXPECT_EQ(fs::status(folder).permissions() & fs::perms::all, fs::perms::owner_all);
        EXPECT_EQ(testsupport::ReadFileBytes(first.MapFilesDir() / "images/m1.svg"), "<svg/>");
        EXPECT_TRUE(fs::exists(first.GoogleMapHtml()));
        EXPECT_TRUE(fs::exists(first.BaiduMapHtml()));

        first.DeleteMapAPIFile(false);
        EXPECT_FALSE(fs::exists(first.GoogleMapHtml()));
        EXPECT_TRUE(fs::exists(first.MapFilesDir()));
        first.DeleteMapAPIFile(true);
        EXPECT_FALSE(fs::exists(first.MapFilesDir()));
        ASSERT_TRUE(first.Unpack()) << "unpacked again after a delete";
        EXPECT_TRUE(fs::exists(first.GoogleMapHtml()));
    }
    EXPECT_FALSE(fs::exists(folder)) << "the folder goes with its owner";

    PageFiles empty(PathText(source / "no-such-folder"));
    EXPECT_FALSE(empty.Unpack());
}

// A page shown or loading from the folder while the files are unpacked again finds every file:
// each is replaced whole, none is deleted first. What the source no longer holds goes.
TEST(PageFiles, UnpackingAgainNeverLeavesAFileMissing) {
    testsupport::TempDir source;
    WritePageSource(source.path());
    PageFiles files(PathText(source.path()));
    ASSERT_TRUE(files.Unpack());
    const std::vector<fs::path> watched = {files.GoogleMapHtml(), files.BaiduMapHtml(),
                                           files.MapFilesDir() / "js/gmap_settings.js",
                                           files.MapFilesDir() / "images/m1.svg"};
    testsupport::WriteFileBytes(files.MapFilesDir() / "js/left-over.js", "x");
    std::atomic<bool> done{false};
    std::atomic<int> missing{0};
    std::atomic<int> looks{0};
    std::thread watcher([&] {
        while (!done) {
            for (const auto& file : watched) {
                std::error_code error;
                if (!fs::exists(file, error))
                    ++missing;
            }
            ++looks;
        }
    });
    bool unpacked = true;
    for (int i = 0; i < 30; ++i)
        unpacked = files.Unpack() && unpacked;
    done = true;
    watcher.join();
    EXPECT_TRUE(unpacked);
    EXPECT_GT(looks.load(), 0);
    EXPECT_EQ(missing.load(), 0) << "a file was missing while the files were unpacked again";
    EXPECT_FALSE(fs::exists(files.MapFilesDir() / "js/left-over.js"));
    EXPECT_EQ(testsupport::ReadFileBytes(files.MapFilesDir() / "images/m1.svg"), "<svg/>");
}

#ifdef VANTOREL_HAS_PAGE_RESOURCES
TEST(PageFiles, ThePackedPagesAreFoundInTheResources) {
    PageFiles files;
    ASSERT_TRUE(files.Unpack()) << "no map pages under :/page in the resources";
    EXPECT_TRUE(fs::exists(files.GoogleMapHtml()));
    EXPECT_TRUE(fs::exists(files.BaiduMapHtml()));
    EXPECT_TRUE(fs::exists(files.MapFilesDir() / "js/gmap_settings.js"));
    EXPECT_TRUE(fs::exists(files.MapFilesDir() / "js/bmap_settings.js"));
}
#endif

class PageHostTest : public ::testing::Test {
  protected:
    PageHostTest() : page_(&profile_) {
        WritePageSource(source_.path());
        host_ = std::make_unique<TChromium>(PathText(source_.path()));
    }

    void TearDown() override { EXPECT_EQ(page_.errors, QStringList()); }

    void LoadAndWait(const app::PageSettings& settings) {
        QSignalSpy finished(&page_, &QWebEnginePage::loadFinished);
        host_->LoadMaps(settings);
        ASSERT_TRUE(finished.wait(60000));
        ASSERT_TRUE(finished.at(0).at(0).toBool());
    }

    testsupport::TempDir source_;
    QWebEngineProfile profile_;
    testmainwindow::RecordingPage page_;
    std::unique_ptr<TChromium> host_;
};

TEST_F(PageHostTest, ScriptRunBeforeThePageExistsReturnsEmpty) {
    EXPECT_EQ(AnswerOf(*host_, "setJsReturnValue('x');"), "");
    EXPECT_TRUE(DecodedPathOf(*host_, "abc").empty());
}

TEST_F(PageHostTest, LoadsThePageOfTheLayerWithItsSettings) {
    host_->SetPage(&page_);
    ASSERT_TRUE(host_->InitMaps());
    app::PageSettings settings;
    settings.ZoomLevel = 11;
    settings.OutPutDirectory = "/home/u/tiles";
    LoadAndWait(settings);
    EXPECT_EQ(host_->HtmlFile(), host_->Files().GoogleMapHtml());
    EXPECT_EQ(RunScript(page_, "document.body.textContent").toString(), "google");
    EXPECT_EQ(RunScript(page_, "zeb.DEFAULT_ZOOM").toInt(), 11);
    EXPECT_EQ(RunScript(page_, "zeb.TILE_PATH").toString(), "/home/u/tiles/");

    host_->SetMapType(engine::TMapType::mtBaidu3D);
    EXPECT_TRUE(host_->IsBaiduMap());
    LoadAndWait(settings);
    EXPECT_EQ(RunScript(page_, "document.body.textContent").toString(), "baidu");
    EXPECT_EQ(RunScript(page_, "zeb.DEFAULT_MAPTYPE_INDEX").toInt(), 5);

    // Page files deleted while the page is shown come back with the next load.
    host_->DeleteMapAPIFile(true);
    host_->SetMapType(engine::TMapType::mtGoogleRoadMap);
    EXPECT_FALSE(host_->IsBaiduMap());
    LoadAndWait(settings);
    EXPECT_EQ(RunScript(page_, "document.body.textContent").toString(), "google");
}

TEST_F(PageHostTest, ScriptRunsReturnTheLastStoredValue) {
    host_->SetPage(&page_);
    LoadAndWait({});
    QStringList zooms;
    host_->JsProcessor().OnMapZoomChanged = [&zooms](int zoom) { zooms << QString::number(zoom); };
    EXPECT_EQ(AnswerOf(*host_, "setJsReturnValue('a'); setJsReturnValue('b');"), "b");
    EXPECT_EQ(AnswerOf(*host_, "1 + 1;"), "b") << "a run that stores nothing keeps it";
    // Callbacks of a run reach their handlers before the run returns.
    AnswerOf(*host_, "zoomTwice();");
    EXPECT_EQ(zooms, (QStringList{"7", "8"}));

    const auto points = DecodedPathOf(*host_, "_p~iF~ps|U");
    ASSERT_EQ(points.size(), 2u) << "the unpaired last field is dropped";
    EXPECT_EQ(points[0], (engine::TGLatLng{30.5, 120.25}));
    EXPECT_EQ(points[1], (engine::TGLatLng{31, 121}));

    // A failing script still answers; its error shows in the page's console.
    EXPECT_EQ(AnswerOf(*host_, "noSuchFunction();"), "(30.5, 120.25),(31, 121),(32");
    ASSERT_TRUE(WaitUntil([this] { return !page_.errors.isEmpty(); }));
    EXPECT_TRUE(page_.errors.join(' ').contains("noSuchFunction"));
    page_.errors.clear();
}

TEST_F(PageHostTest, AnswersComeLaterAndAfterTheCallbacksOfTheRun) {
    QStringList answers;
    const auto record = [&answers](const QString& answer) { answers << answer; };
    host_->ExecJavaScript("setJsReturnValue('x');", record);
    EXPECT_TRUE(answers.isEmpty()) << "not inside the call, even without a page";
    ASSERT_TRUE(WaitUntil([&] { return answers.size() == 1; }));
    EXPECT_EQ(answers, QStringList{""});

    host_->SetPage(&page_);
    LoadAndWait({});
    QStringList zooms;
    host_->JsProcessor().OnMapZoomChanged = [&zooms](int zoom) { zooms << QString::number(zoom); };
    QStringList zoomsAtAnswer;
    host_->ExecJavaScript("zoomTwice(); setJsReturnValue('c');", [&](const QString& answer) {
        record(answer);
        zoomsAtAnswer = zooms;
    });
    host_->ExecJavaScript("setJsReturnValue('d');", record);
    EXPECT_EQ(answers.size(), 1);
    ASSERT_TRUE(WaitUntil([&] { return answers.size() == 3; }));
    EXPECT_EQ(answers, (QStringList{"", "c", "d"})) << "in the order sent";
    EXPECT_EQ(zoomsAtAnswer, (QStringList{"7", "8"}));

    // A page that answers too late: empty once the time is up, and the late answer is
    // dropped.
    host_->ExecJavaScript(
        "var t = Date.now(); while (Date.now() - t < 1000) {} setJsReturnValue('late');", record,
        200);
    ASSERT_TRUE(WaitUntil([&] { return answers.size() == 4; }));
    EXPECT_EQ(answers.back(), "");
    EXPECT_FALSE(WaitUntil([&] { return answers.size() > 4; }, 1500));
    EXPECT_EQ(AnswerOf(*host_, "1;"), "late") << "the page itself ran on";
}

// Scripts sent while a page loads, before its start-up has run, wait for it and then run in
// the order sent; a script sent once the page is ready runs at once.
TEST_F(PageHostTest, ScriptsSentBeforeThePageHasStartedWaitForIt) {
    host_->SetPage(&page_);
    EXPECT_FALSE(host_->PageReady());
    QSignalSpy finished(&page_, &QWebEnginePage::loadFinished);
    QSignalSpy ready(host_.get(), &TChromium::pageReady);
    host_->LoadMaps(app::PageSettings{});
    host_->RunScript("record('sent with the load');");
    ASSERT_TRUE(finished.wait(60000));
    host_->RunScript("record('sent once loaded');");
    host_->RunScript("");
    EXPECT_EQ(AnswerOf(*host_, "setJsReturnValue(calls.join('|'));"),
              "sent with the load|sent once loaded");
    EXPECT_TRUE(host_->PageReady());
    EXPECT_EQ(ready.count(), 1);
    host_->RunScript("record('sent when ready');");
    EXPECT_EQ(AnswerOf(*host_, "setJsReturnValue(calls.join('|'));"),
              "sent with the load|sent once loaded|sent when ready");

    // The page telling again changes nothing.
    AnswerOf(*host_, "__vantorelReady();");
    EXPECT_EQ(ready.count(), 1);
    EXPECT_EQ(AnswerOf(*host_, ""), "") << "no script, no run";
}

// A new load drops what waited for the page before it: the new page starts from its settings.
// A waiting run then answers at once with nothing.
TEST_F(PageHostTest, ALoadDropsTheScriptsThatWaitedForThePageBefore) {
    host_->SetPage(&page_);
    host_->LoadMaps(app::PageSettings{});
    host_->RunScript("record('for the first page');");
    QElapsedTimer clock;
    clock.start();
    QTimer::singleShot(0, host_.get(), [this] { host_->LoadMaps(app::PageSettings{}); });
    EXPECT_EQ(AnswerOf(*host_, "setJsReturnValue('for the first page');", 30000), "");
    EXPECT_LT(clock.elapsed(), 10000) << "the waiting run was not told of the new load";
    host_->RunScript("record('for the second page');");
    EXPECT_EQ(AnswerOf(*host_, "setJsReturnValue(calls.join('|'));"), "for the second page");
}

// A call whose answer is awaited waits, like any script, for the page to have started. One
// still waiting when another load comes answers empty, after that load and never inside it,
// so that whatever waited on it (controls kept off) goes on.
TEST_F(PageHostTest, AnAwaitedCallWaitsForThePageAndOneDroppedByALoadAnswersEmpty) {
    host_->SetPage(&page_);
    QStringList answers;
    const auto record = [&answers](const QString& answer) { answers << answer; };
    const QString script = "record('%1'); setJsReturnValue(calls.join('|'));";
    host_->LoadMaps(app::PageSettings{});
    host_->ExecJavaScript(script.arg("for the first page"), record, 30000);
    host_->LoadMaps(app::PageSettings{});
    EXPECT_TRUE(answers.isEmpty()) << "answered inside the load";
    ASSERT_TRUE(WaitUntil([&] { return answers.size() == 1; }, 5000));
    EXPECT_EQ(answers[0], "");

    host_->ExecJavaScript(script.arg("for the second page"), record, 30000);
    ASSERT_TRUE(WaitUntil([&] { return answers.size() == 2; }, 60000));
    EXPECT_EQ(answers[1], "for the second page") << "run once the page had started";
}

TEST_F(PageHostTest, LoadFromTheSettingsStoreClearsBigFontMode) {
    testsupport::TempDir home;
    engine::SettingsPaths paths;
    paths.configFile = home / "config/Vantorel/settings.ini";
    paths.defaultOutputDir = home / "MapDownload";
    paths.cacheDir = home / "cache/Cache";
    paths.cefCacheDir = home / "cache/CefCache";
    engine::TSettings settings(paths);
    settings.SetBoolSetting(engine::BoolSetting::BigFontMode, true);
    settings.SetIntSetting(engine::IntSetting::ZoomLevel, 9);
    settings.SetIntSetting(engine::IntSetting::PolygonFillOpacity, 40);
    host_->SetPage(&page_);
    QSignalSpy finished(&page_, &QWebEnginePage::loadFinished);
    host_->LoadMaps(settings);
    ASSERT_TRUE(finished.wait(60000));
    EXPECT_FALSE(settings.GetBoolSetting(engine::BoolSetting::BigFontMode));
    EXPECT_EQ(RunScript(page_, "zeb.DEFAULT_ZOOM").toInt(), 9);
    EXPECT_EQ(RunScript(page_, "zeb.GOOGLE_HD_VER").toString(), "");
    EXPECT_EQ(RunScript(page_, "zeb.polyOptions.fillOpacity").toDouble(), 0.4);
    EXPECT_EQ(RunScript(page_, "zeb.TILE_PATH").toString(),
              QString::fromStdString((home / "MapDownload").string()) + "/");
}

std::ptrdiff_t FilesIn(const fs::path& folder) {
    std::error_code error;
    std::ptrdiff_t files = 0;
    for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        files += it->is_regular_file() ? 1 : 0;
    }
    return files;
}

// The browser's cache as a real named profile keeps it on disk, filled from a loopback server.
TEST(PageHostCache, TheMenuLeavesTheBrowsersFilesToItTheCloseReleasesThemForTheWipe) {
    testsupport::TempDir dir;
    const fs::path answers = dir / "Cache";
    const fs::path browser = dir / "CefCache";
    testsupport::WriteFileBytes(answers / "geocode" / "a.json", "{}");
    testsupport::LoopbackServer server;
    const std::vector<std::pair<std::string, std::string>> cached{
        {"Cache-Control", "max-age=3600"}};
    server.SetAnswer("/page.html",
                     {200, "<html><body><img src=\"a.png\"></body></html>", "text/html", cached});
    server.SetAnswer("/a.png", {200, std::string(4096, 'x'), "image/png", cached});
    QWebEngineProfile profile(QStringLiteral("cachetest"));
    profile.setCachePath(PathText(browser));
    profile.setPersistentStoragePath(PathText(dir / "data"));
    testmainwindow::RecordingPage page(&profile);
    ASSERT_TRUE(
        testmainwindow::LoadAndWait(page, QUrl(QString::fromStdString(server.Url("/page.html")))));
    ASSERT_TRUE(WaitUntil([&] { return FilesIn(browser) > 1; }));

    // The menu's wipe: the answers go, the browser empties its cache itself.
    testsupport::WriteFileBytes(browser / "kept.txt", "not the browser's");
    TChromium::ClearCache(answers, &profile);
    EXPECT_EQ(FilesIn(answers), 0);
    EXPECT_FALSE(WaitUntil([&] { return !fs::exists(browser / "kept.txt"); }, 1000))
        << "nothing under the running browser is deleted from outside";

    // The close: once released, the folder is emptied and the browser writes nothing more
    // (no index of a cache it closes late).
    TChromium::ReleaseBrowserCache(&profile);
    ASSERT_TRUE(engine::WipeDirectory(browser, 0));
    EXPECT_EQ(FilesIn(browser), 0);
    EXPECT_FALSE(WaitUntil([&] { return FilesIn(browser) > 0; }, 1000));
}

TEST(PageHost, DecodedPathTexts) {
    using app::ParseDecodedPath;
    EXPECT_TRUE(ParseDecodedPath("").empty());
    EXPECT_EQ(ParseDecodedPath("1.5,2.5,3,4"), (std::vector<engine::TGLatLng>{{1.5, 2.5}, {3, 4}}));
    EXPECT_EQ(ParseDecodedPath("( 39.9 , 116.4 )"), (std::vector<engine::TGLatLng>{{39.9, 116.4}}));
    EXPECT_EQ(ParseDecodedPath("x,y"), (std::vector<engine::TGLatLng>{{0, 0}}));
}

}  // namespace
