// The styled map on the real Google-family page: a wizard edit restyles the page shown without
// loading it again, and a later load starts with the stored style.
#ifdef VANTOREL_HAS_PAGE_RESOURCES

#include <QSignalSpy>

#include <gtest/gtest.h>

#include "app/frame/real_services.h"
#include "app/page/map_view_harness.h"
#include "app/page/page_settings_source.h"
#include "app/settings/settings_store.h"
#include "app/styledmap/styled_map_reload.h"
#include "app/support/qt_print.h"
#include "engine/settings/settings.h"
#include "support/tile_server.h"

namespace {

using testmainwindow::WaitUntil;

bool AskedWith(const testsupport::TileServer& server, const std::string& text) {
    for (const std::string& target : server.Targets()) {
        if (target.find("lyrs=m@") != std::string::npos && target.find(text) != std::string::npos)
            return true;
    }
    return false;
}

TEST(StyledMapPage, AnEditRestylesThePageShownWithoutALoad) {
    testsupport::TileServer server;
    testmainwindow::TempSettings store;
    testmainwindow::MapView view;
    view.Router().RouteTo(QString::fromStdString(server.BaseUrl()));
    app::ChromiumPage page(view.Host(), store.settings);
    styledmap::StyledMapReload reload(store.settings, page);

    app::PageSettings settings;
    settings.Latitude = 33;
    settings.Longitude = 108;
    settings.ZoomLevel = 5;
    ASSERT_TRUE(view.Load(engine::TMapType::mtGoogleRoadMap, settings));
    ASSERT_TRUE(view.WaitForTiles());
    server.ClearCounts();

    QSignalSpy loads(&view.Page(), &QWebEnginePage::loadStarted);
    const QString style = QStringLiteral("&apistyle=s.t:2%7Cp.v:off&style=47,37%7Csmartmaps");
    reload.ReloadGoogleMap(style);
    ASSERT_TRUE(WaitUntil([&] { return AskedWith(server, "apistyle=s.t:2%7Cp.v:off"); }))
        << "the tiles shown were not asked for again with the style";
    EXPECT_TRUE(view.WaitForTiles());
    EXPECT_EQ(loads.count(), 0) << "the page was loaded again";
    EXPECT_EQ(view.Run("zeb.STYLE_PARAMS_URL").toString(), style);

    // Back to the default style: the tiles come without the parameters.
    server.ClearCounts();
    reload.ReloadGoogleMap(QString());
    ASSERT_TRUE(WaitUntil([&] { return AskedWith(server, "lyrs=m@"); }));
    EXPECT_FALSE(AskedWith(server, "apistyle"));
    EXPECT_EQ(loads.count(), 0);

    // A restart (a new load from the settings) shows the style stored last.
    reload.ReloadGoogleMap(style);
    ASSERT_TRUE(
        view.Load(engine::TMapType::mtGoogleRoadMap, app::PageSettingsFrom(store.settings)));
    EXPECT_EQ(view.Run("zeb.STYLE_PARAMS_URL").toString(), style);
    EXPECT_EQ(view.Page().errors, QStringList());
}

}  // namespace

#endif  // VANTOREL_HAS_PAGE_RESOURCES
