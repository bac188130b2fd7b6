// The packed map pages driven through the page host, with every request that would leave the
// machine blocked by the test's own profile.
#ifdef VANTOREL_HAS_PAGE_RESOURCES

#include <QWebEngineProfile>
#include <QWebEngineUrlRequestInterceptor>
#include <atomic>

#include <gtest/gtest.h>

#include "app/page/page_host.h"
#include "app/support/page_answer.h"
#include "app/support/qt_print.h"
#include "support/temp_dir.h"
#include "web_page_harness.h"

namespace {

using testmainwindow::RunScript;
using testmainwindow::WaitUntil;

// Lets through only what lives on this machine.
class LocalOnly final : public QWebEngineUrlRequestInterceptor {
  public:
    void interceptRequest(QWebEngineUrlRequestInfo& info) override {
        const QString scheme = info.requestUrl().scheme();
        if (scheme != "file" && scheme != "qrc" && scheme != "data" && scheme != "blob") {
            info.block(true);
            ++blocked;
        }
    }
    std::atomic<int> blocked{0};
};

class MapPageTest : public ::testing::Test {
  protected:
    MapPageTest() : page_(&profile_) {
        profile_.setUrlRequestInterceptor(&localOnly_);
        host_.SetPage(&page_);
        host_.JsProcessor().OnMapZoomChanged = [this](int zoom) { zooms_ << zoom; };
    }
    ~MapPageTest() override { profile_.setUrlRequestInterceptor(nullptr); }

    void Load(engine::TMapType layer) {
        app::PageSettings settings;
        settings.ZoomLevel = 6;
        settings.OfflineMode = true;
        settings.OutPutDirectory = tiles_.path().string();
        host_.SetMapType(layer);
        QSignalSpy finished(&page_, &QWebEnginePage::loadFinished);
        host_.LoadMaps(settings);
        ASSERT_TRUE(finished.wait(60000));
        ASSERT_TRUE(finished.at(0).at(0).toBool());
    }

    void TearDown() override { EXPECT_EQ(page_.errors, QStringList()); }

    testsupport::TempDir tiles_;
    LocalOnly localOnly_;
    QWebEngineProfile profile_;
    testmainwindow::RecordingPage page_;
    app::TChromium host_;
    QList<int> zooms_;
};

TEST_F(MapPageTest, GooglePageReportsItsZoomAndDecodesThroughTheHost) {
    ASSERT_TRUE(host_.InitMaps());
    Load(engine::TMapType::mtGoogleRoadMap);
    ASSERT_TRUE(WaitUntil([this] { return !zooms_.isEmpty(); })) << "no start zoom from the page";
    EXPECT_EQ(zooms_.first(), 6) << "the page starts with the zoom of its settings script";

    // The page's own decoder, answering through setJsReturnValue.
    const auto points = DecodedPathOf(host_, "_p~iF~ps|U_ulLnnqC_mqNvxq`@");
    ASSERT_EQ(points.size(), 3u);
    EXPECT_NEAR(points[0].lat, 38.5, 1e-9);
    EXPECT_NEAR(points[0].lng, -120.2, 1e-9);
    EXPECT_NEAR(points[2].lat, 43.252, 1e-9);
    EXPECT_NEAR(points[2].lng, -126.453, 1e-9);
}

TEST_F(MapPageTest, BaiduPageStartsOnItsLayer) {
    ASSERT_TRUE(host_.InitMaps());
    Load(engine::TMapType::mtBaiduSatellite);
    EXPECT_EQ(RunScript(page_, "zeb.DEFAULT_MAPTYPE_INDEX").toInt(), 2);
    ASSERT_TRUE(WaitUntil([this] { return !zooms_.isEmpty(); })) << "no start zoom from the page";
    EXPECT_EQ(zooms_.first(), 6);
}

}  // namespace

#endif
