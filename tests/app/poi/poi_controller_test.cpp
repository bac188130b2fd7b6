// The POI search, its paging, cancel, the map and the exports, against a fake place search on
// loopback.
#include "app/poi/poi_controller.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <atomic>
#include <set>

#include <httplib.h>
#include <nlohmann/json.hpp>

#include "app/page/page_scripts.h"
#include "app/places/fake_text_dialogs.h"
#include "app/places/fake_web.h"
#include "app/support/fake_services.h"
#include "engine/core/datum.h"
#include "engine/log/logger.h"
#include "engine/settings/settings.h"
#include "geodata/search/geocoder.h"
#include "geodata/search/poi_searcher.h"
#include "geodata/text/encoding.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

namespace {

using app::PoiController;

// A page whose scripts may run a nested event loop, as a waiting page call would.
class ReentrantPage final : public app::IMapPage {
  public:
    QStringList scripts;
    std::function<void()> duringScript;
    void ExecJavaScript(const QString& code, std::function<void(const QString&)>) override {
        RunScript(code);
    }
    void RunScript(const QString& code) override {
        scripts << code;
        if (duringScript) {
            auto hook = std::move(duringScript);
            duringScript = nullptr;
            hook();
        }
    }
    engine::TMapType MapType() const override { return engine::TMapType::mtGoogleRoadMap; }
    void SetMapType(engine::TMapType) override {}
    bool IsBaiduMap() const override { return false; }
    void LoadMaps() override {}
};

class PoiTest : public testplaces::FakeWebTest {
  protected:
    void SetUp() override {
        FakeWebTest::SetUp();
        settings = std::make_unique<engine::TSettings>(engine::SettingsPaths{
            temp / "settings.ini", temp / "out", temp / "Cache", temp / "CefCache"});
        settings->SetBoolSetting(engine::BoolSetting::AutoCreatePOIMarker, false);
        const std::string path = ServerPath(geodata::TPOISearcher::RequestUrl({}));
        server.SetHandler(path, [this](const httplib::Request& req, httplib::Response& res) {
            const int page = std::stoi(req.get_param_value("page_num"));
            pages.push_back(page);
            auto answer = testplaces::JsonBody(Page(req.get_param_value("query"), page));
            answer.delay = delay;
            server.Serve(answer, req, res);
        });
        Make(fake.services);
    }

    void Make(app::Services& services) {
        controller = std::make_unique<PoiController>(services, dialogs, *settings, cacheDir);
        controller->region = [] { return QStringLiteral("北京城区"); };
    }

    std::string Page(const std::string& query, int page) const {
        nlohmann::json results = nlohmann::json::array();
        const int first = page * 20;
        for (int i = first; i < std::min(first + 20, total); ++i) {
            results.push_back({{"uid", query + "-" + std::to_string(i)},
                               {"name", "酒店" + std::to_string(i)},
                               {"address", "北京市东城区" + std::to_string(i) + "号"},
                               {"telephone", "010-" + std::to_string(i)},
                               {"location", {{"lat", 39.9 + i * 0.001}, {"lng", 116.4}}},
                               {"detail_info", {{"type", "hotel"}, {"tag", "酒店;快捷"}}}});
        }
        return nlohmann::json{
            {"status", 0}, {"message", "ok"}, {"total", total}, {"results", results}}
            .dump();
    }

    bool WaitEnd() {
        return testplaces::WaitFor([&] { return !controller->Searching(); }, 10000);
    }

    testmainwindow::FakeServices fake;
    testplaces::FakeTextDialogs dialogs;
    std::unique_ptr<engine::TSettings> settings;
    std::unique_ptr<PoiController> controller;
    std::vector<int> pages;  // written by the server thread, read after the search ended
    int total = 0;
    std::chrono::milliseconds delay{0};
};

TEST_F(PoiTest, WithoutOwnKeyFivePagesAndTheServicesTotal) {
    total = 537;
    QSignalSpy title(controller.get(), &PoiController::titleChanged);
    controller->Search(QStringLiteral("酒店"), QStringLiteral("快捷"));
    EXPECT_TRUE(controller->Searching());
    ASSERT_TRUE(WaitEnd());
    EXPECT_EQ(pages, (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(controller->Rows().size(), 100u);
    EXPECT_EQ(controller->Title(), QStringLiteral("POI下载 [537]"));
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_TRUE(fake.messages.shown[0].text.contains(QStringLiteral("百度地图密钥")));
    EXPECT_EQ(settings->GetStrSetting(engine::StrSetting::POIKeyWord), "酒店");
    EXPECT_EQ(settings->GetStrSetting(engine::StrSetting::POIQueryTag), "快捷");
    const auto requests = server.Requests();
    ASSERT_FALSE(requests.empty());
    EXPECT_NE(requests[0].target.find("ak=" + std::string(app::kBuiltInBaiduKey)),
              std::string::npos);
    EXPECT_NE(requests[0].target.find("&region=%E5%8C%97%E4%BA%AC%E5%B8%82"), std::string::npos)
        << "城区 is asked as 市: " << requests[0].target;
    EXPECT_EQ(controller->Rows()[99].uid, "酒店-99");
}

TEST_F(PoiTest, OwnKeyPagesUpToTheTotal) {
    struct Case {
        int total;
        std::vector<int> pages;
        std::size_t rows;
    };
    settings->SetStrSetting(engine::StrSetting::BaiduAK, "0123456789abcdef0123456789abcdef");
    for (const Case& c : {Case{40, {0, 1, 2}, 40}, Case{41, {0, 1, 2}, 41}, Case{7, {0}, 7},
                          Case{130, {0, 1, 2, 3, 4, 5, 6}, 130}}) {
        total = c.total;
        pages.clear();
        controller->Search(QStringLiteral("宾馆") + QString::number(c.total), QString());
        ASSERT_TRUE(WaitEnd());
        EXPECT_EQ(pages, c.pages) << c.total;
        EXPECT_EQ(controller->Rows().size(), c.rows) << c.total;
        EXPECT_EQ(controller->Title(), QStringLiteral("POI下载 [") + QString::number(c.rows) + "]");
    }
    EXPECT_TRUE(fake.messages.shown.empty());
}

TEST_F(PoiTest, ARectangularAreaBoundsTheSearch) {
    settings->SetStrSetting(engine::StrSetting::BaiduAK, "0123456789abcdef0123456789abcdef");
    total = 3;
    struct Case {
        const char* area;
        bool bounded;
    };
    std::vector<std::string> bounds;
    for (const Case& c : {Case{"116.30,39.90,116.50,40.00", true},
                          Case{"116.30,39.90,116.50,39.90,116.50,40.00,116.30,40.00", true},
                          Case{"116.30,39.90,116.50,39.90,116.40,40.00", false},
                          Case{"116.3,39.9,116.5,39.9,116.5,40.0,116.4,40.1,116.3,40.0", false}}) {
        controller->coordinates = [&c] { return QString::fromLatin1(c.area); };
        server.ClearRequests();
        // A keyword of its own, so that no answer comes from the cache.
        controller->Search(QStringLiteral("酒店") + QString::fromLatin1(c.area), QString());
        ASSERT_TRUE(WaitEnd());
        const auto requests = server.Requests();
        ASSERT_FALSE(requests.empty()) << c.area;
        const std::string& target = requests[0].target;
        const std::size_t at = target.find("&bounds=");
        EXPECT_EQ(at != std::string::npos, c.bounded) << c.area << " " << target;
        EXPECT_EQ(target.find("&region=") == std::string::npos, c.bounded) << c.area;
        if (at != std::string::npos) {
            bounds.push_back(target.substr(at, target.find('&', at + 1) - at));
        }
    }
    ASSERT_EQ(bounds.size(), 2u);
    EXPECT_EQ(bounds[0], bounds[1]) << "two corners bound the search as their four do";
}

// A search whose service cannot be read says so in the panel; "nothing found" is only for an
// answer that is read and holds no place. No message box interrupts either way.
TEST_F(PoiTest, AFailedSearchIsToldApartFromAnEmptyOne) {
    settings->SetStrSetting(engine::StrSetting::BaiduAK, "0123456789abcdef0123456789abcdef");
    const QString failed =
        QStringLiteral("POI搜索失败：无法读取搜索服务的答复，请检查网络和百度地图密钥后再试。");
    struct Case {
        const char* label;
        int failingPage;  // pages before it answer with places; -1: none fails
        testsupport::CannedAnswer failure;
        int total;
        std::vector<int> pages;
        std::size_t rows;
        QString notice;
    };
    const Case cases[] = {
        {"HTTP 500", 0, testplaces::JsonBody("Internal Server Error", 500), 30, {0}, 0, failed},
        {"not JSON", 0, testplaces::JsonBody("<html>维护中</html>"), 30, {0}, 0, failed},
        {"service fault",
         0,
         testplaces::JsonBody(R"({"status":302,"message":"天配额超限，限制访问"})"),
         30,
         {0},
         0,
         failed},
        {"second page fails",
         1,
         testplaces::JsonBody("Internal Server Error", 500),
         50,
         {0, 1},
         20,
         QStringLiteral("POI搜索未完成：第2页无法读取，已列出20条。")},
        {"nothing found", -1, {}, 0, {0}, 0, QStringLiteral("没有找到符合条件的地点。")},
        {"places found", -1, {}, 7, {0}, 7, QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        total = c.total;
        pages.clear();
        server.SetHandler(
            ServerPath(geodata::TPOISearcher::RequestUrl({})),
            [&](const httplib::Request& req, httplib::Response& res) {
                const int page = std::stoi(req.get_param_value("page_num"));
                pages.push_back(page);
                server.Serve(page == c.failingPage
                                 ? c.failure
                                 : testplaces::JsonBody(Page(req.get_param_value("query"), page)),
                             req, res);
            });
        QSignalSpy notices(controller.get(), &PoiController::noticeChanged);
        controller->Search(QString::fromUtf8(c.label), QString());
        EXPECT_EQ(controller->Notice(), QString()) << "a new search clears the last notice";
        ASSERT_TRUE(WaitEnd());
        EXPECT_EQ(pages, c.pages);
        EXPECT_EQ(controller->Rows().size(), c.rows);
        EXPECT_EQ(controller->Notice(), c.notice);
        if (!c.notice.isEmpty()) {
            ASSERT_FALSE(notices.isEmpty());
            EXPECT_EQ(notices.back().at(0).toString(), c.notice);
        }
        EXPECT_EQ(controller->Title(), QStringLiteral("POI下载 [%1]").arg(c.rows));
    }
    EXPECT_TRUE(fake.messages.shown.empty());
}

TEST_F(PoiTest, CancelKeepsTheRowsSoFarAndANewSearchNeverMixes) {
    settings->SetStrSetting(engine::StrSetting::BaiduAK, "own");
    total = 200;
    delay = std::chrono::milliseconds(150);
    fake.messages.answers = {true};
    controller->Search(QStringLiteral("first"), QString());
    ASSERT_TRUE(testplaces::WaitFor([&] { return controller->Rows().size() >= 20; }));
    QSignalSpy cancelHidden(controller.get(), &PoiController::cancelHidden);
    controller->Cancel();
    EXPECT_EQ(cancelHidden.count(), 1);
    EXPECT_TRUE(controller->Searching()) << "the search button waits for the end of the search";
    const auto kept = controller->Rows().size();
    ASSERT_TRUE(WaitEnd());
    EXPECT_EQ(controller->Rows().size(), kept);
    EXPECT_LT(kept, 200u);
    for (const auto& row : controller->Rows()) {
        EXPECT_EQ(row.uid.rfind("first-", 0), 0u);
    }

    // "No" leaves the search running.
    fake.messages.answers = {false};
    delay = std::chrono::milliseconds(0);
    total = 60;
    controller->Search(QStringLiteral("second"), QString());
    controller->Cancel();
    ASSERT_TRUE(WaitEnd());
    ASSERT_EQ(controller->Rows().size(), 60u);
    for (const auto& row : controller->Rows()) {
        EXPECT_EQ(row.uid.rfind("second-", 0), 0u) << row.uid;
    }
}

TEST_F(PoiTest, AllRowsGoOnTheMapInStepsThatLetTheWindowWork) {
    settings->SetStrSetting(engine::StrSetting::BaiduAK, "own");
    total = 120;
    controller->Search(QStringLiteral("many"), QString());
    ASSERT_TRUE(WaitEnd());
    ASSERT_EQ(controller->Rows().size(), 120u);
    const auto before = fake.page.scripts.size();
    QSignalSpy progress(controller.get(), &PoiController::placeProgress);
    // A probe that comes back at every turn of the event loop notes how far the rows are.
    std::vector<qsizetype> seen;
    std::function<void()> probe = [&] {
        seen.push_back(fake.page.scripts.size() - before);
        if (controller->Placing()) {
            QMetaObject::invokeMethod(controller.get(), probe, Qt::QueuedConnection);
        }
    };
    QMetaObject::invokeMethod(controller.get(), probe, Qt::QueuedConnection);
    controller->AllPOI2Map();
    EXPECT_TRUE(controller->Placing());
    ASSERT_TRUE(testplaces::WaitFor([&] { return !controller->Placing(); }));
    QCoreApplication::processEvents();
    // The overlays cleared and row 0 first; then 50 rows a turn.
    EXPECT_EQ(seen, (std::vector<qsizetype>{2, 52, 102, 121}));
    ASSERT_EQ(fake.page.scripts.size() - before, 121);
    EXPECT_EQ(fake.page.scripts[before], QStringLiteral("clearAllOverlays();"));
    EXPECT_TRUE(fake.page.scripts.back().startsWith(QStringLiteral("addNewMarker(119,")));
    ASSERT_EQ(progress.count(), 121);
    EXPECT_EQ(progress.front(), (QVariantList{0, 120}));
    EXPECT_EQ(progress.back(), (QVariantList{120, 120}));
}

TEST_F(PoiTest, ANewSearchEndsPuttingTheOldRowsOnTheMap) {
    ReentrantPage page;
    app::PageWait pageWait(page);
    app::Services services{fake.messages,    fake.fileDialogs, fake.opener, fake.clock,
                           fake.processExit, fake.powerOff,    page,        pageWait};
    Make(services);
    settings->SetStrSetting(engine::StrSetting::BaiduAK, "own");
    total = 45;
    controller->Search(QStringLiteral("old"), QString());
    ASSERT_TRUE(WaitEnd());
    ASSERT_EQ(controller->Rows().size(), 45u);
    // The first script starts another search and waits for its rows, as a nested loop could.
    total = 3;
    page.duringScript = [&] {
        controller->Search(QStringLiteral("new"), QString());
        ASSERT_TRUE(WaitEnd());
    };
    controller->AllPOI2Map();
    EXPECT_FALSE(controller->Placing());
    EXPECT_EQ(controller->Rows().size(), 3u);
    QCoreApplication::processEvents();
    EXPECT_EQ(page.scripts, QStringList{QStringLiteral("clearAllOverlays();")})
        << "no row of either list went on the map";

    // A search between two steps ends the placement as well.
    page.scripts.clear();
    controller->AllPOI2Map();
    ASSERT_EQ(page.scripts.size(), 2);
    total = 1;
    controller->Search(QStringLiteral("newer"), QString());
    EXPECT_FALSE(controller->Placing());
    ASSERT_TRUE(WaitEnd());
    QCoreApplication::processEvents();
    EXPECT_EQ(page.scripts.size(), 2) << page.scripts.join(u'\n').toStdString();
}

TEST_F(PoiTest, RowsOnTheMapInThePagesDatum) {
    settings->SetStrSetting(engine::StrSetting::BaiduAK, "own");
    settings->SetBoolSetting(engine::BoolSetting::AutoCreatePOIMarker, true);
    total = 2;
    controller->Search(QStringLiteral("x"), QString());
    ASSERT_TRUE(WaitEnd());
    ASSERT_TRUE(testplaces::WaitFor([&] { return !controller->Placing(); }));
    ASSERT_EQ(fake.page.scripts.size(), 3) << "all rows go on the map at the end";
    const auto& place = controller->Rows()[1];
    struct Case {
        engine::TMapType layer;
        engine::TGLatLng expected;
    };
    const auto gcj = engine::BD09ToGCJ02LatLng(place.location);
    for (const Case& c : {Case{engine::TMapType::mtBaiduRoadMap, place.location},
                          Case{engine::TMapType::mtGoogleRoadMap, gcj},
                          Case{static_cast<engine::TMapType>(5), engine::GCJ02ToWGS84(gcj)},
                          Case{static_cast<engine::TMapType>(33), engine::GCJ02ToWGS84(gcj)}}) {
        fake.page.mapType = c.layer;
        controller->RowClick(1);
        EXPECT_EQ(fake.page.scripts.back(),
                  app::pagescript::AddNewMarker(1, c.expected, place, true))
            << static_cast<int>(c.layer);
    }
    EXPECT_EQ(controller->MarkerRow(QStringLiteral("1")), 1);
    EXPECT_EQ(controller->MarkerRow(QStringLiteral("2")), -1);
    EXPECT_EQ(controller->MarkerRow(QStringLiteral("x")), -1);
}

TEST_F(PoiTest, ExportsKmzAndXlsThroughTheTextFileDialog) {
    settings->SetStrSetting(engine::StrSetting::BaiduAK, "own");
    total = 3;
    EXPECT_FALSE(controller->CanExport());
    controller->Search(QStringLiteral("酒店"), QString());
    ASSERT_TRUE(WaitEnd());
    ASSERT_TRUE(controller->CanExport());

    const auto xls = temp / "places.xls";
    dialogs.file = QString::fromStdString(xls.string());
    dialogs.encodingIndex = 1;  // 百度坐标: the search's own positions
    controller->Export();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].filterIndex, 2) << "xls offered first";
    EXPECT_EQ(dialogs.shown[0].defaultExt, QStringLiteral("kmz"));
    EXPECT_EQ(dialogs.shown[0].fileName, QStringLiteral("北京市酒店"));
    EXPECT_EQ(dialogs.shown[0].encodings,
              (QStringList{QStringLiteral("GPS坐标"), QStringLiteral("百度坐标 "),
                           QStringLiteral("谷歌坐标")}));
    ASSERT_EQ(fake.opener.opened.size(), 1u);
    EXPECT_EQ(fake.opener.opened[0].toLocalFile().toStdString(), xls.string());
    const char* script =
        "import sys, json, xlrd\n"
        "sh = xlrd.open_workbook(sys.argv[1]).sheet_by_index(0)\n"
        "print(json.dumps([[sh.cell_value(r, c) for c in range(sh.ncols)]"
        " for r in range(sh.nrows)]))\n";
    const auto read =
        testsupport::RunChild({testsupport::SystemPython(), "-c", script, xls.string()});
    ASSERT_EQ(read.exitCode, 0) << "python3-xlrd reads the worksheet: " << read.output;
    const auto rows = nlohmann::json::parse(read.output);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0][1], "经度(百度坐标)");
    EXPECT_EQ(rows[2][3], "酒店1");
    EXPECT_EQ(rows[2][4], "北京市东城区1号");
    EXPECT_EQ(rows[2][6], "酒店;快捷");
    // LibreOffice reads the same Chinese text (a private profile: the run touches no user's).
    const auto converted = testsupport::RunChild(
        {"soffice", "-env:UserInstallation=file://" + (temp / "profile").string(), "--headless",
         "--convert-to", "csv:Text - txt - csv (StarCalc):44,34,76", "--outdir",
         (temp / "csv").string(), xls.string()});
    ASSERT_EQ(converted.exitCode, 0) << converted.output << converted.errors;
    const std::string csv = testsupport::ReadFileBytes(temp / "csv" / "places.csv");
    EXPECT_NE(csv.find("酒店1,北京市东城区1号,010-1,酒店;快捷"), std::string::npos) << csv;

    const auto kmz = temp / "places.kmz";
    dialogs.file = QString::fromStdString(kmz.string());
    dialogs.filterIndex = 1;
    dialogs.encodingIndex = -1;
    controller->Export();
    EXPECT_EQ(dialogs.shown[1].encodingIndex, 1) << "the datum chosen last is offered again";
    EXPECT_EQ(fake.opener.opened.size(), 1u) << "only a worksheet is opened";
    const auto listing = testsupport::RunChild({"unzip", "-p", kmz.string(), "doc.kml"});
    ASSERT_EQ(listing.exitCode, 0) << listing.errors;
    EXPECT_NE(listing.output.find("<name><![CDATA[酒店2]]></name>"), std::string::npos);
    // The style's icon travels in the archive, as the program installs it.
    const auto icon = testsupport::RunChild({"unzip", "-p", kmz.string(), "files/marker-icon.png"});
    ASSERT_EQ(icon.exitCode, 0) << "the KMZ holds the icon its style refers to: " << icon.errors;
    EXPECT_EQ(icon.output.rfind("\x89PNG\r\n\x1a\n", 0), 0u);

    // A target that cannot be written is reported in Chinese with the file's name; the
    // library's own reason goes to the program's log.
    const QString unwritable = QString::fromStdString((temp / "places.xls" / "x.kmz").string());
    dialogs.file = unwritable;
    controller->Export();
    ASSERT_FALSE(fake.messages.shown.empty());
    EXPECT_EQ(fake.messages.shown.back().kind, QStringLiteral("error"));
    EXPECT_EQ(fake.messages.shown.back().text,
              QStringLiteral("信息点未能导出到“%1”。").arg(unwritable));
    const std::string log = testsupport::ReadFileBytes(engine::DefaultLogFileName());
    EXPECT_NE(log.find("信息点未能导出到"), std::string::npos) << log;
    EXPECT_NE(log.find("cannot create"), std::string::npos) << log;
}

TEST_F(PoiTest, WithoutTheLocationBarTheDistrictGivesTheRegion) {
    settings->SetStrSetting(engine::StrSetting::BaiduAK, "own");
    settings->SetFloatSetting(engine::FloatSetting::Latitude, 39.93);
    settings->SetFloatSetting(engine::FloatSetting::Longitude, 116.41);
    settings->SetIntSetting(engine::IntSetting::ZoomLevel, 12);
    Answer(geodata::DistrictQueryUrl(39.93, 116.41),
           geodata::Utf8ToGbk(R"({"report":"0","dist":"中国,上海市,上海城区,黄浦区"})"));
    controller->locationBarVisible = [] { return false; };
    QSignalSpy region(controller.get(), &PoiController::regionFound);
    total = 1;
    controller->Search(QStringLiteral("咖啡"), QString());
    ASSERT_TRUE(WaitEnd());
    ASSERT_EQ(region.count(), 1);
    EXPECT_EQ(region[0][0].toString(), QStringLiteral("上海城区"));
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_NE(requests[1].target.find("&region=%E4%B8%8A%E6%B5%B7%E5%B8%82"), std::string::npos)
        << requests[1].target;
    dialogs.file.clear();
    controller->Export();
    EXPECT_EQ(dialogs.shown.back().fileName, QStringLiteral("上海市咖啡"));
}

TEST_F(PoiTest, ClosingThePanel) {
    QSignalSpy shown(controller.get(), &PoiController::panelShownChanged);
    controller->ClosePanel();
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].text,
              QStringLiteral("关闭后，可在菜单“工具”→“POI下载”中重新打开。"));
    EXPECT_FALSE(settings->GetBoolSetting(engine::BoolSetting::ShowPOISearchBar));
    ASSERT_EQ(shown.count(), 1);
    EXPECT_FALSE(shown[0][0].toBool());
    settings->SetBoolSetting(engine::BoolSetting::ShowCurrentLocationBar, false);
    controller->SetPanelShown(true);
    EXPECT_TRUE(settings->GetBoolSetting(engine::BoolSetting::ShowPOISearchBar));
    EXPECT_TRUE(settings->GetBoolSetting(engine::BoolSetting::ShowCurrentLocationBar));
}

}  // namespace
