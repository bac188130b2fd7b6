// The place tree and boundary actions against a fake web service on loopback.
#include "app/places/places_controller.h"

#include <QMenu>
#include <QSignalSpy>
#include <QTreeWidget>

#include "app/page/page_scripts.h"
#include "app/places/city_tree_panel.h"
#include "app/places/district_text.h"
#include "app/support/fake_services.h"
#include "engine/core/catalogue.h"
#include "engine/core/number_format.h"
#include "engine/log/logger.h"
#include "engine/settings/settings.h"
#include "fake_text_dialogs.h"
#include "fake_web.h"
#include "geodata/boundary/boundary_store.h"
#include "geodata/polyline/polyline_codec.h"
#include "geodata/search/geocoder.h"
#include "geodata/text/encoding.h"

namespace {

using app::PlacesController;

constexpr const char* kTree =
    "\xEF\xBB\xBF中国\r\n\t北京市\r\n\t\t东城区\r\n\t\t朝阳区(110105)\r\n\t江苏省\r\n"
    "\t\t南京市\r\n\t\t\t鼓楼区(320106)\r\n\t\t\t玄武区\r\n\t吉林省\r\n\t\t长春市\r\n"
    "\t\t\t朝阳区(220104)\r\n亚洲\r\n\t日本\r\n";

class PlacesTest : public testplaces::FakeWebTest {
  protected:
    void SetUp() override {
        FakeWebTest::SetUp();
        settings = std::make_unique<engine::TSettings>(engine::SettingsPaths{
            temp / "settings.ini", temp / "out", temp / "Cache", temp / "CefCache"});
        boundary = std::make_unique<geodata::TBoundary>(temp / "boundary.txt");
        boundary->Save("南京市", kNanjing);
        controller = std::make_unique<PlacesController>(fake.services, dialogs, *settings,
                                                        *boundary, cacheDir);
        controller->coordinates = [this] { return area; };
        controller->LoadCityTree(kTree);
    }

    int Node(const QString& text) const {
        const auto& nodes = controller->Nodes();
        for (std::size_t i = 0; i < nodes.size(); ++i) {
            if (nodes[i].text == text) {
                return static_cast<int>(i);
            }
        }
        return -1;
    }
    void Click(const QString& text) {
        controller->SelectNode(Node(text));
        controller->CityClick();
    }
    void WaitIdle() {
        ASSERT_TRUE(testplaces::WaitFor([&] { return controller->PendingLookups() == 0; }));
    }
    QString LastNodeText() const {
        return QString::fromStdString(settings->GetStrSetting(engine::StrSetting::LastNodeText));
    }
    void AnswerDistrict(double lat, double lng, const std::string& dist) {
        Answer(geodata::DistrictQueryUrl(lat, lng),
               geodata::Utf8ToGbk("{\"report\":\"0\",\"dist\":\"" + dist + "\"}"));
    }
    void SetCentre(double lat, double lng, int zoom) {
        settings->SetFloatSetting(engine::FloatSetting::Latitude, lat);
        settings->SetFloatSetting(engine::FloatSetting::Longitude, lng);
        settings->SetIntSetting(engine::IntSetting::ZoomLevel, zoom);
    }

    static constexpr const char* kNanjing = "_p~iF~ps|U_ulLnnqC_mqNvxq`@";
    testmainwindow::FakeServices fake;
    testplaces::FakeTextDialogs dialogs;
    std::unique_ptr<engine::TSettings> settings;
    std::unique_ptr<geodata::TBoundary> boundary;
    std::unique_ptr<PlacesController> controller;
    QString area;
};

TEST_F(PlacesTest, LoadingSelectsTheLastPlace) {
    settings->SetStrSetting(engine::StrSetting::LastNodeText, "鼓楼区(320106)");
    QSignalSpy selected(controller.get(), &PlacesController::selectionChanged);
    controller->LoadCityTree(kTree);
    EXPECT_EQ(controller->SelectedNode(), Node(QStringLiteral("鼓楼区(320106)")));
    ASSERT_EQ(selected.count(), 1);
    EXPECT_EQ(controller->Image(0), 0);
    EXPECT_EQ(controller->Image(Node(QStringLiteral("鼓楼区(320106)"))), 2);
    EXPECT_EQ(controller->Image(Node(QStringLiteral("日本"))), 1);
}

TEST_F(PlacesTest, ClickOnAPlaceWithAStoredOutlineMakesItTheArea) {
    QSignalSpy profile(controller.get(), &PlacesController::profileNameChanged);
    QSignalSpy region(controller.get(), &PlacesController::regionChanged);
    Click(QStringLiteral("南京市"));
    EXPECT_EQ(LastNodeText(), QStringLiteral("南京市"));
    ASSERT_EQ(fake.page.scripts.size(), 1);
    EXPECT_EQ(fake.page.scripts[0], app::pagescript::ShowBoundary(kNanjing));
    ASSERT_EQ(profile.count(), 1);
    EXPECT_TRUE(profile[0][0].toString().startsWith(QStringLiteral("南京市")));
    EXPECT_GT(profile[0][0].toString().size(), 3);
    ASSERT_EQ(region.count(), 1) << "a city (level 2) narrows the place search";
    EXPECT_EQ(region[0][0].toString(), QStringLiteral("南京市"));
    EXPECT_EQ(controller->OutlineName(), QStringLiteral("南京市"));
    testplaces::Settle();
    EXPECT_EQ(server.Requests().size(), 0u);
}

TEST_F(PlacesTest, ClickOnAPlaceWithoutOutlineGeocodesAndMarks) {
    Answer(geodata::GeocodeUrl("玄武区"),
           R"({"status":"OK","results":[{"formatted_address":"中国江苏省南京市玄武区",)"
           R"("geometry":{"location":{"lat":32.048,"lng":118.797}}}]})");
    Click(QStringLiteral("玄武区"));
    WaitIdle();
    ASSERT_EQ(fake.page.scripts.size(), 1);
    EXPECT_EQ(fake.page.scripts[0],
              app::pagescript::AddMarker(QStringLiteral("32.04800034,118.79699707,5"),
                                         QStringLiteral("江苏省南京市玄武区")));
    EXPECT_TRUE(controller->EncodedPath().isEmpty());

    // A failed answer changes nothing on the page; the place is remembered all the same.
    Answer(geodata::GeocodeUrl("东城区"), R"({"status":"ZERO_RESULTS","results":[]})");
    Click(QStringLiteral("东城区"));
    WaitIdle();
    EXPECT_EQ(fake.page.scripts.size(), 1);
    EXPECT_EQ(LastNodeText(), QStringLiteral("东城区"));
}

TEST_F(PlacesTest, OnTheBaidu3DLayerAClickOnlySwitchesTheCity) {
    fake.page.mapType = engine::TMapType::mtBaidu3D;
    std::vector<int> cities;
    controller->onSwitch3DCity = [&](int city) { cities.push_back(city); };
    Click(QStringLiteral("北京市"));
    Click(QStringLiteral("南京市"));  // no 3D city: nothing at all
    testplaces::Settle();
    EXPECT_EQ(cities, std::vector<int>{0});
    EXPECT_TRUE(fake.page.scripts.isEmpty());
    EXPECT_EQ(server.Requests().size(), 0u);
    EXPECT_TRUE(controller->EncodedPath().isEmpty());

    // Without a layer switch of the window's own, the page is told directly.
    controller->onSwitch3DCity = nullptr;
    settings->SetBoolSetting(engine::BoolSetting::BigFontMode, true);
    Click(QStringLiteral("北京市"));
    ASSERT_EQ(fake.page.scripts.size(), 1);
    EXPECT_EQ(fake.page.scripts[0], app::pagescript::ChangeMapType(
                                        engine::TMapType::mtBaidu3D, true,
                                        QString::fromUtf8(engine::Baidu3DCities[0].data(),
                                                          engine::Baidu3DCities[0].size()),
                                        QString::fromUtf8(engine::Baidu3DCityCenters[0].data(),
                                                          engine::Baidu3DCityCenters[0].size())));
    EXPECT_FALSE(settings->GetBoolSetting(engine::BoolSetting::BigFontMode));
}

TEST_F(PlacesTest, FindCityNodeWrapsAfterTheSelection) {
    EXPECT_EQ(controller->FindCityNode(QString()), -1);
    const int beijing = Node(QStringLiteral("朝阳区(110105)"));
    const int changchun = Node(QStringLiteral("朝阳区(220104)"));
    EXPECT_EQ(controller->FindCityNode(QStringLiteral("朝阳")), beijing);
    EXPECT_EQ(controller->FindCityNode(QStringLiteral("朝阳")), changchun);
    EXPECT_EQ(controller->FindCityNode(QStringLiteral("朝阳")), beijing) << "wraps around";
    EXPECT_EQ(controller->FindCityNode(QStringLiteral("火星")), -1);
    EXPECT_EQ(controller->SelectedNode(), beijing) << "a failed search keeps the selection";
}

TEST_F(PlacesTest, SearchBoxChoiceSelectsANodeOrPlacesAMarker) {
    QSignalSpy region(controller.get(), &PlacesController::regionChanged);
    app::TResponseData place;
    place.Title = "南京市";
    place.City = "南京市";
    controller->LookupSelect(place);
    EXPECT_EQ(controller->SelectedNode(), Node(QStringLiteral("南京市")));
    EXPECT_EQ(fake.page.scripts.value(0), app::pagescript::ShowBoundary(kNanjing));

    app::TResponseData station;
    station.Title = "北京南站";
    station.City = "北京市";
    station.Location.Lat = 39.865;
    station.Location.Lng = 116.3785;
    controller->LookupSelect(station);
    EXPECT_EQ(controller->SelectedNode(), Node(QStringLiteral("北京市")));
    EXPECT_EQ(fake.page.scripts.value(1),
              app::pagescript::AddMarker(QStringLiteral("39.86500000,116.37850000,16"),
                                         QStringLiteral("北京南站")));
    ASSERT_GE(region.count(), 1);
    EXPECT_EQ(region.back()[0].toString(), QStringLiteral("北京市"));
}

TEST(DistrictAnswer, ZoomTable) {
    struct Case {
        int zoom;
        const char* path;
        const char* name;
        const char* sub;
    };
    const QString answer = QStringLiteral("中国,北京市,北京市,东城区,东华门街道");
    const std::vector<Case> cases = {
        {4, "中国", "中国", ""},
        {5, "中国>北京市", "北京市", ""},
        {7, "中国>北京市", "北京市", ""},
        {8, "中国>北京市>北京市", "北京市", ""},
        {10, "中国>北京市>北京市", "北京市", ""},
        {11, "中国>北京市>北京市>东城区>东华门街道", "北京市", "东城区"},
    };
    for (const auto& c : cases) {
        app::DistrictStep step;
        ASSERT_TRUE(app::ReadDistrictAnswer(answer, c.zoom, step));
        EXPECT_EQ(step.pathText, QString::fromUtf8(c.path)) << c.zoom;
        EXPECT_EQ(step.name, QString::fromUtf8(c.name)) << c.zoom;
        EXPECT_EQ(step.subPlace, QString::fromUtf8(c.sub)) << c.zoom;
        EXPECT_EQ(step.region, QStringLiteral("北京市")) << c.zoom;
    }
    app::DistrictStep step;
    EXPECT_FALSE(app::ReadDistrictAnswer(QString(), 12, step));
    ASSERT_TRUE(app::ReadDistrictAnswer(QStringLiteral("中国"), 9, step));
    EXPECT_EQ(step.pathText, QStringLiteral("中国>>")) << "missing parts count as empty";
}

TEST_F(PlacesTest, CurrentDistrictSelectsThePlaceAndFillsTheBar) {
    QSignalSpy bar(controller.get(), &PlacesController::locationBarChanged);
    QSignalSpy region(controller.get(), &PlacesController::regionChanged);
    SetCentre(32.06, 118.79, 12);
    AnswerDistrict(32.06, 118.79, "中国,江苏省,南京市,市区");
    controller->QueryDistThread();
    WaitIdle();
    ASSERT_EQ(bar.count(), 1);
    EXPECT_EQ(bar[0][0].toString(), QStringLiteral("当前位置：中国>江苏省>南京市>市区"));
    EXPECT_TRUE(bar[0][1].toBool());
    EXPECT_EQ(region.back()[0].toString(), QStringLiteral("南京市"));
    EXPECT_EQ(controller->SelectedNode(), Node(QStringLiteral("南京市"))) << "市区 is no place";
    EXPECT_EQ(LastNodeText(), QStringLiteral("南京市"));
    EXPECT_NE(settings->GetFloatSetting(engine::FloatSetting::QueryDistTime), 0.0);

    // A centre outside China: no request, the bar hides, the region clears, nothing else.
    const double queried = settings->GetFloatSetting(engine::FloatSetting::QueryDistTime);
    const auto requests = server.Requests().size();
    SetCentre(48.85, 2.35, 12);
    controller->QueryDistThread();
    testplaces::Settle();
    EXPECT_EQ(server.Requests().size(), requests);
    EXPECT_FALSE(bar.back()[1].toBool());
    EXPECT_EQ(region.back()[0].toString(), QString());
    EXPECT_EQ(LastNodeText(), QStringLiteral("南京市"));
    EXPECT_EQ(settings->GetFloatSetting(engine::FloatSetting::QueryDistTime), queried);

    // An empty answer hides the bar, clears the region and leaves the time of the last lookup.
    SetCentre(43.88, 125.35, 12);
    AnswerDistrict(43.88, 125.35, "中国,吉林省,长春市,朝阳区");
    controller->QueryDistThread();
    WaitIdle();
    ASSERT_EQ(region.back()[0].toString(), QStringLiteral("长春市"));
    const double changchun = settings->GetFloatSetting(engine::FloatSetting::QueryDistTime);
    SetCentre(39.91, 116.40, 12);
    Answer(geodata::DistrictQueryUrl(39.91, 116.40), "{\"report\":\"1\"}");
    controller->QueryDistThread();
    WaitIdle();
    EXPECT_FALSE(bar.back()[1].toBool());
    EXPECT_EQ(region.back()[0].toString(), QString());
    EXPECT_EQ(settings->GetFloatSetting(engine::FloatSetting::QueryDistTime), changchun);
}

TEST_F(PlacesTest, DistrictLookupsAreThreeSecondsApart) {
    SetCentre(32.06, 118.79, 9);
    AnswerDistrict(32.06, 118.79, "中国,江苏省,南京市");
    const std::string path = ServerPath(geodata::DistrictQueryUrl(32.06, 118.79));
    controller->RequestDistrictQuery();
    EXPECT_TRUE(controller->QueryDistTimer().isActive());
    EXPECT_EQ(controller->QueryDistTimer().interval(), 500);
    controller->QueryDistTick();
    WaitIdle();
    EXPECT_EQ(server.RequestCount(path), 1);
    EXPECT_FALSE(controller->QueryDistTimer().isActive());

    SetCentre(32.07, 118.79, 9);
    AnswerDistrict(32.07, 118.79, "中国,江苏省,南京市");
    controller->RequestDistrictQuery();
    fake.clock.Advance(std::chrono::milliseconds(2900));
    controller->QueryDistTick();
    testplaces::Settle();
    EXPECT_TRUE(controller->QueryDistTimer().isActive()) << "too soon: the timer keeps waiting";
    fake.clock.Advance(std::chrono::milliseconds(100));
    controller->QueryDistTick();
    WaitIdle();
    EXPECT_FALSE(controller->QueryDistTimer().isActive());
    EXPECT_EQ(server.Requests().size(), 2u);
}

TEST_F(PlacesTest, QueriedOutlineIsStoredUnderTheQueriedName) {
    Answer(geodata::DistrictSearchUrl("玄武区"),
           R"({"status":"E0","total":1,"list":[{"name":"玄武区","coords":)"
           R"("118.79,32.05;118.85,32.10;118.90,32.04"}]})");
    Answer(geodata::GeocodeUrl("玄武区"), R"({"status":"ZERO_RESULTS"})");
    QSignalSpy clipboard(controller.get(), &PlacesController::copyToClipboard);
    Click(QStringLiteral("玄武区"));
    WaitIdle();
    controller->GetPartitionDistrict();
    WaitIdle();
    const QString encoded = QString::fromStdString(
        geodata::TGPolyLine(0.00001).EncodePoints("118.79,32.05;118.85,32.10;118.90,32.04", true));
    EXPECT_EQ(controller->EncodedPath(), encoded);
    ASSERT_EQ(clipboard.count(), 1);
    EXPECT_EQ(clipboard[0][0].toString(), encoded);
    EXPECT_EQ(fake.page.scripts.back(), app::pagescript::ShowBoundary(QString::fromStdString(
                                            geodata::PlainEncodedText(encoded.toStdString()))));

    // The view moves on and the district lookup names another place; the outline keeps its name.
    SetCentre(43.88, 125.35, 12);
    AnswerDistrict(43.88, 125.35, "中国,吉林省,长春市,朝阳区");
    controller->QueryDistThread();
    WaitIdle();
    EXPECT_EQ(LastNodeText(), QStringLiteral("朝阳区"));
    controller->SavePartitionDistrict();
    EXPECT_EQ(boundary->GetLatLngs("玄武区"), encoded.toStdString());
    EXPECT_EQ(boundary->GetLatLngs("朝阳区"), "");
    geodata::TBoundary reread(temp / "boundary.txt");
    EXPECT_EQ(reread.GetLatLngs("玄武区"), encoded.toStdString());
}

// The page's report of an outline as the Google page gives it: from the last vertex back.
QString ReportedBack(const std::vector<engine::TGLatLng>& points) {
    QStringList pairs;
    for (auto p = points.rbegin(); p != points.rend(); ++p) {
        pairs << QString::fromStdString(engine::FormatFixed(p->lng, 5) + "," +
                                        engine::FormatFixed(p->lat, 5));
    }
    return pairs.join(u',');
}

TEST_F(PlacesTest, AnAreaDrawnAfterAClickIsNeverStoredAsThePlacesOutline) {
    const auto nanjing = geodata::TBoundary::OutlineArray(kNanjing);
    ASSERT_GE(nanjing.size(), 3u);
    Click(QStringLiteral("南京市"));
    controller->AreaCompleted(ReportedBack(nanjing));
    EXPECT_TRUE(controller->CanSavePartitionDistrict()) << "the page showing the outline";

    // A rectangle drawn on the map, then "更新边界线": the place keeps its outline.
    controller->AreaCompleted(QStringLiteral("118.5,32.5;118.9,31.9"));
    EXPECT_FALSE(controller->CanSavePartitionDistrict());
    controller->SavePartitionDistrict();
    EXPECT_EQ(boundary->GetLatLngs("南京市"), kNanjing);
    EXPECT_EQ(geodata::TBoundary(temp / "boundary.txt").GetLatLngs("南京市"), kNanjing);

    // The same after the current view, or once the shown outline was edited.
    auto edited = nanjing;
    edited[1].lat += 0.01;
    for (const QString& other : {QStringLiteral("118.0,33.0,119.5,31.5"), ReportedBack(edited)}) {
        Click(QStringLiteral("南京市"));
        controller->AreaCompleted(ReportedBack(nanjing));
        controller->AreaCompleted(other);
        controller->SavePartitionDistrict();
        EXPECT_EQ(boundary->GetLatLngs("南京市"), kNanjing) << other.toStdString();
    }
}

TEST_F(PlacesTest, ATaskLoadPairsItsAreaWithTheLastPlace) {
    settings->SetStrSetting(engine::StrSetting::LastNodeText, "玄武区");
    const QString task = QStringLiteral("118.79,32.05,118.85,32.10,118.90,32.04");
    controller->TaskAreaLoaded(task);
    EXPECT_EQ(controller->OutlineName(), QStringLiteral("玄武区"));
    // The page shows the task's area and reports it back: the pair holds.
    controller->AreaCompleted(
        QStringLiteral("118.90000,32.04000,118.85000,32.10000,118.79000,32.05000"));
    controller->SavePartitionDistrict();
    EXPECT_EQ(boundary->GetLatLngs("玄武区"), geodata::TBoundary::EncodePath(task.toStdString()));
}

// The store's own (English) reason goes to the log; the window names the place in Chinese.
TEST_F(PlacesTest, AnOutlineThatCannotBeStoredIsReportedInChinese) {
    Answer(geodata::DistrictSearchUrl("玄武区"),
           R"({"status":"E0","total":1,"list":[{"name":"玄武区","coords":)"
           R"("118.79,32.05;118.85,32.10;118.90,32.04"}]})");
    Answer(geodata::GeocodeUrl("玄武区"), R"({"status":"ZERO_RESULTS"})");
    Click(QStringLiteral("玄武区"));
    WaitIdle();
    controller->GetPartitionDistrict();
    WaitIdle();
    // The store's file cannot be replaced any more.
    std::filesystem::remove(temp / "boundary.txt");
    std::filesystem::create_directory(temp / "boundary.txt");
    fake.messages.shown.clear();
    controller->SavePartitionDistrict();
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].kind, QStringLiteral("error"));
    EXPECT_EQ(fake.messages.shown[0].text, QStringLiteral("“玄武区”的边界线未能保存。"));
    const std::string log = testsupport::ReadFileBytes(engine::DefaultLogFileName());
    EXPECT_NE(log.find("“玄武区”的边界线未能保存。: "), std::string::npos) << log;
    EXPECT_NE(log.find("boundary.txt"), std::string::npos) << log;
}

TEST_F(PlacesTest, TheTreeMenuQueriesThePlaceItWasOpenedOn) {
    Answer(geodata::DistrictSearchUrl("东城区"), R"({"status":"E1"})");
    app::CityTreePanel panel(*controller);
    panel.LoadCityTree(kTree);
    panel.resize(240, 400);
    panel.show();
    Click(QStringLiteral("玄武区"));
    WaitIdle();
    QTreeWidget* tree = panel.Tree();
    tree->expandAll();
    const QRect row = tree->visualItemRect(panel.Item(Node(QStringLiteral("东城区"))));
    ASSERT_FALSE(row.isEmpty());
    const auto searches = [this] {
        std::vector<std::string> names;
        for (const auto& request : server.Requests()) {
            if (request.path == ServerPath(geodata::DistrictSearchUrl("x"))) {
                names.push_back(request.target);
            }
        }
        return names;
    };

    emit tree->customContextMenuRequested(row.center());
    panel.findChild<QMenu*>(QStringLiteral("pmCity"))->close();
    panel.actGetPartitionDistrict->trigger();
    WaitIdle();
    ASSERT_EQ(searches().size(), 1u);
    EXPECT_EQ(searches()[0], "/" + geodata::DistrictSearchUrl("东城区").substr(8))
        << "not the place clicked before (" << LastNodeText().toStdString() << ")";
    EXPECT_EQ(LastNodeText(), QStringLiteral("玄武区")) << "nothing found: nothing changes";

    // A found outline becomes the area under the menu's place, and a new task is named after
    // it: the place is the last one chosen by the time the page reports the area back.
    Answer(geodata::DistrictSearchUrl("东城区"),
           R"({"status":"E0","total":1,"list":[{"name":"东城区","coords":)"
           R"("116.38,39.92;116.44,39.92;116.44,39.88"}]})");
    emit tree->customContextMenuRequested(row.center());
    panel.findChild<QMenu*>(QStringLiteral("pmCity"))->close();
    panel.actGetPartitionDistrict->trigger();
    WaitIdle();
    ASSERT_TRUE(fake.page.scripts.back().startsWith(QStringLiteral("showBoundary(")));
    EXPECT_EQ(controller->OutlineName(), QStringLiteral("东城区"));
    EXPECT_EQ(LastNodeText(), QStringLiteral("东城区"));
}

TEST_F(PlacesTest, NoDistrictFoundDoesNothing) {
    Answer(geodata::DistrictSearchUrl("日本"), R"({"status":"E1"})");
    Click(QStringLiteral("南京市"));
    settings->SetStrSetting(engine::StrSetting::LastNodeText, "日本");
    controller->GetPartitionDistrict();
    WaitIdle();
    EXPECT_EQ(controller->EncodedPath(), QString(kNanjing));
    EXPECT_EQ(fake.page.scripts.size(), 1);
}

// A lookup whose answer cannot be had or read says so without a message box; a readable answer
// that names nothing stays silent, as before.
TEST_F(PlacesTest, FailedLookupsAreSaidAndEmptyAnswersAreNot) {
    struct Case {
        const char* label;
        std::string url;
        std::string body;
        int status;
        std::function<void()> run;
        const char* message;  // nullptr: no word
    };
    const auto geocode = [this] { Click(QStringLiteral("玄武区")); };
    const auto district = [this] {
        SetCentre(32.06, 118.79, 12);
        controller->QueryDistThread();
    };
    const auto outline = [this] { controller->GetPartitionDistrict(QStringLiteral("东城区")); };
    const std::string geocodeUrl = geodata::GeocodeUrl("玄武区");
    const std::string districtUrl = geodata::DistrictQueryUrl(32.06, 118.79);
    const std::string outlineUrl = geodata::DistrictSearchUrl("东城区");
    const Case cases[] = {
        {"geocoding, HTTP 500", geocodeUrl, "Internal Server Error", 500, geocode,
         "“玄武区”的位置查询失败：无法读取地理编码服务的答复。"},
        {"geocoding, nothing found", geocodeUrl, R"({"status":"ZERO_RESULTS","results":[]})", 200,
         geocode, nullptr},
        {"current district, not JSON", districtUrl, "<html>维护中</html>", 200, district,
         "当前位置查询失败：无法读取行政区服务的答复。"},
        {"current district, none there", districtUrl, R"({"report":"0","dist":""})", 200, district,
         nullptr},
        {"outline, HTTP 500", outlineUrl, "", 500, outline,
         "“东城区”的边界线查询失败：无法读取边界服务的答复。"},
        {"outline, nothing found", outlineUrl, R"({"status":"E0","total":"0","list":[]})", 200,
         outline, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        Answer(c.url, c.body, c.status);
        const qsizetype scripts = fake.page.scripts.size();
        QSignalSpy failed(controller.get(), &PlacesController::lookupFailed);
        c.run();
        WaitIdle();
        if (c.message != nullptr) {
            ASSERT_EQ(failed.count(), 1);
            EXPECT_EQ(failed[0][0].toString(), QString::fromUtf8(c.message));
        } else {
            EXPECT_EQ(failed.count(), 0);
        }
        EXPECT_EQ(fake.page.scripts.size(), scripts);
        EXPECT_TRUE(fake.messages.shown.empty());
    }
}

TEST_F(PlacesTest, BoundaryExportInEveryFormatAndDatum) {
    area = QStringLiteral(
        "118.790000,32.050000,118.850000,0,118.850000,32.100000,118.900000,32.040000");
    const std::vector<engine::TGLatLng> gcj = {{32.05, 118.79}, {32.10, 118.85}, {32.04, 118.90}};
    controller->SelectNode(Node(QStringLiteral("鼓楼区(320106)")));
    controller->ExportBoundary();  // cancelled
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].filterIndex, 3) << "KML offered first";
    for (int type = 0; type < 3; ++type) {
        for (int filter = 1; filter <= 4; ++filter) {
            const auto file = temp / ("area" + std::to_string(type) + std::to_string(filter));
            dialogs.file = QString::fromStdString(file.string());
            dialogs.filterIndex = filter;
            dialogs.encodingIndex = type;
            fake.opener.opened.clear();
            controller->ExportBoundary();
            const auto& request = dialogs.shown.back();
            EXPECT_EQ(request.fileName, QStringLiteral("南京市鼓楼区(320106)"));
            EXPECT_EQ(request.defaultExt, QStringLiteral("kml"));
            EXPECT_EQ(request.encodings.size(), 3);
            const std::string bytes = testsupport::ReadFileBytes(file);
            const auto ctype = static_cast<engine::TCoordType>(type);
            if (filter <= 2) {
                std::string expected = "\xEF\xBB\xBF";
                for (const auto& p : gcj) {
                    const auto q = geodata::ConvertFromGcj02(p, ctype);
                    expected += engine::FormatFixed(q.lng, 6) + (filter == 1 ? "\t" : ",") +
                                engine::FormatFixed(q.lat, 6) + "\r\n";
                }
                EXPECT_EQ(bytes, expected) << type << filter;
                ASSERT_EQ(fake.opener.opened.size(), 1u);
                EXPECT_EQ(fake.opener.opened[0].toLocalFile().toStdString(), file.string());
            } else if (filter == 3) {
                EXPECT_EQ(bytes, geodata::TBoundary::KmlText(area.toStdString(),
                                                             file.filename().string(), ctype));
            } else {
                EXPECT_EQ(bytes, geodata::TBoundary::GeoJsonText(area.toStdString(), ctype));
            }
            EXPECT_EQ(settings->GetIntSetting(engine::IntSetting::ExportBoundaryDlgFilterIndex),
                      filter);
        }
    }
    // The datum and the filter chosen last are offered again.
    dialogs.encodingIndex = -1;
    dialogs.filterIndex = 0;
    dialogs.file.clear();
    controller->ExportBoundary();
    EXPECT_EQ(dialogs.shown.back().encodingIndex, 2);
    EXPECT_EQ(dialogs.shown.back().filterIndex, 4);

    area.clear();
    EXPECT_FALSE(controller->CanExportBoundary());
}

TEST_F(PlacesTest, TypedCoordinatesAndHelp) {
    EXPECT_FALSE(PlacesController::CanShowBoundOnMap(QStringLiteral("1,2,3,4")));
    const QString example = controller->ShowBoundHelp();
    EXPECT_EQ(example, QStringLiteral("110.56641,25.41847,109.93469,25.02091"));
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].caption, QStringLiteral("帮助"));
    EXPECT_TRUE(fake.messages.shown[0].text.startsWith(
        QStringLiteral("请输入经纬度,经纬度之间用逗号隔开,至少两个点。\r\n\r\n")));

    settings->SetStrSetting(engine::StrSetting::LastNodeText, "桂林");
    controller->ShowBoundOnMap(example);
    const std::string encoded = geodata::TGPolyLine(0.00001).EncodePointsEx(example.toStdString());
    EXPECT_EQ(
        fake.page.scripts.back(),
        app::pagescript::ShowBoundary(QString::fromStdString(geodata::PlainEncodedText(encoded))));
    EXPECT_EQ(controller->OutlineName(), QStringLiteral("桂林"));

    // Points off the globe or a single point: a message, and the outline stays as it was.
    for (const char* typed : {"200.5,25.4,109.9,25.0", "110.5,95.25,109.9,25.0",
                              "110.5,25.4,109.9,-90.5", "110.56641,25.41847", ",110.5,25.4,109"}) {
        const QString before = controller->EncodedPath();
        const auto scripts = fake.page.scripts.size();
        fake.messages.shown.clear();
        controller->ShowBoundOnMap(QString::fromUtf8(typed));
        ASSERT_EQ(fake.messages.shown.size(), 1u) << typed;
        EXPECT_TRUE(fake.messages.shown[0].text.startsWith(QStringLiteral("坐标格式不正确：")))
            << typed;
        EXPECT_EQ(fake.page.scripts.size(), scripts) << typed;
        EXPECT_EQ(controller->EncodedPath(), before) << typed;
    }
    controller->ShowBoundOnMap(QStringLiteral("-180,-90,180,90"));
    EXPECT_EQ(fake.page.scripts.back(),
              app::pagescript::ShowBoundary(QString::fromStdString(geodata::PlainEncodedText(
                  geodata::TGPolyLine(0.00001).EncodePointsEx("-180,-90,180,90")))));

    controller->UseCurrentView();
    EXPECT_EQ(fake.page.scripts.back(), QStringLiteral("showCurrentView();"));

    for (const QChar ch : QStringLiteral("0129,-.\b")) {
        EXPECT_TRUE(app::CoordinateBoxAccepts(ch)) << static_cast<int>(ch.unicode());
    }
    for (const QChar ch : QStringLiteral("aZ ;，。１")) {
        EXPECT_FALSE(app::CoordinateBoxAccepts(ch)) << static_cast<int>(ch.unicode());
    }
}

}  // namespace
