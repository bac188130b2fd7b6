#include "engine/download/url_builder.h"

#include <gtest/gtest.h>

#include <set>

#include "engine/core/catalogue.h"

namespace engine {
namespace {

// Always the last server of the range, so that an off-by-one in a range shows in the host.
int LastServer(int n) {
    return n - 1;
}
int FirstServer(int) {
    return 0;
}

UrlSettings Defaults() {
    return {};
}
UrlSettings English() {
    UrlSettings s;
    s.MapLanguageCode = "en";
    s.MapSeverIndex = 1;
    return s;
}
UrlSettings BigFont() {
    UrlSettings s;
    s.BigFontMode = true;
    return s;
}
UrlSettings NoLabel() {
    UrlSettings s;
    s.DownloadNoLabel = true;
    return s;
}
UrlSettings Provincial() {
    UrlSettings s;
    s.TiandituIndex = 1;
    return s;
}
// Distinct Baidu versions, so that a swapped pair shows.
UrlSettings Baidu(bool bigFont) {
    UrlSettings s;
    s.BNormalUDT = "N1";
    s.BNormalVer = "N2";
    s.BSatelliteUDT = "S1";
    s.BSatelliteVer = "S2";
    s.BSatelliteStreetUDT = "T1";
    s.BSatelliteStreetVer = "T2";
    s.BigFontMode = bigFont;
    return s;
}

struct UrlCase {
    int layer;
    TTile tile;
    UrlSettings settings;
    const char* base;
    const char* overlay;
};

const TTile kTile{843, 388, 10};

TEST(UrlBuilder, WholeUrlsOfEveryLayerGroup) {
    const UrlCase cases[] = {
        // AMap
        {0, kTile, Defaults(),
         "http://webrd04.is.autonavi.com/"
         "appmaptile?lang=zh_cn&size=1&scale=1&style=8&x=843&y=388&z=10",
         ""},
        {0, kTile, BigFont(), "http://wprd04.is.autonavi.com/appmaptile?style=7&x=843&y=388&z=10",
         ""},
        {2, kTile, Defaults(),
         "http://webst04.is.autonavi.com/"
         "appmaptile?lang=zh_cn&size=1&scale=1&style=6&x=843&y=388&z=10",
         "http://webst04.is.autonavi.com/"
         "appmaptile?lang=zh_cn&size=1&scale=1&style=8&x=843&y=388&z=10"},
        // Google
        {3, kTile, Defaults(),
         "http://mt3.google.cn/vt/lyrs=m@266&hl=zh-cn&gl=cn&src=app&x=843&y=388&z=10&s=Galileo",
         ""},
        {3, kTile, English(),
         "http://mt3.google.com/vt/lyrs=m@266&hl=en&src=app&x=843&y=388&z=10&s=Galileo", ""},
        {5, kTile, English(), "http://khm3.google.com/kh/v=152&src=app&x=843&y=388&z=10&s=Galileo",
         "http://t6.tianditu.cn/DataServer?T=cia_w&x=843&y=388&l=10"},
        {5, TTile{843, 388, 18}, Defaults(),
         "http://khm3.google.com/kh/v=152&src=app&x=843&y=388&z=18&s=Galileo",
         "http://t6.tianditu.cn/DataServer?T=cia_w&x=843&y=388&l=18"},
        {5, TTile{843, 388, 19}, Defaults(),
         "http://khm3.google.com/kh/v=152&src=app&x=843&y=388&z=19&s=Galileo", ""},
        {6, kTile, English(),
         "http://mt3.google.com/vt/lyrs=s@152&src=app&x=843&y=388&z=10&s=Galileo",
         "http://mt3.google.cn/vt/"
         "imgtp=png32&lyrs=h@266&hl=en&gl=cn&src=app&x=843&y=388&z=10&s=Galil"},
        {7, kTile, NoLabel(),
         "http://mt3.google.cn/vt/"
         "lyrs=t@132,r@152&hl=zh-cn&gl=cn&src=app&x=843&y=388&z=10&s=Galileo"
         "&apistyle=s.e%3Al%7Cp.v%3Aoff%2Cs.t%3A3%7Cp.v%3Aoff&style=37%7Csmartmaps",
         ""},
        {8, kTile, Defaults(),
         "http://mt3.google.cn/vt/lyrs=m@266&hl=zh-cn&gl=cn&src=app&x=843&y=388&z=10&s=Galileo"
         "&apistyle=s.e%3Al%7Cp.v%3Aoff&style=47,37%7Csmartmaps",
         ""},
        {9, kTile, Defaults(),
         "http://mt3.google.cn/vt/lyrs=s@152&gl=cn&src=app&x=843&y=388&z=10&s=Galileo",
         "http://mt3.google.cn/vt/imgtp=png32&lyrs=h@266&hl=zh-cn&gl=cn&src=app&x=843&y=388&z=10"
         "&s=Galil&apistyle=s.e%3Al%7Cp.v%3Aoff&style=47,37%7Csmartmaps"},
        {10, kTile, English(),
         "http://mt3.google.com/vt/lyrs=t@132,r@152&hl=en&src=app&x=843&y=388&z=10&s=Galileo"
         "&apistyle=s.e%3Al%7Cp.v%3Aoff&style=47,37%7Csmartmaps",
         ""},
        // Tencent
        {11, kTile, Defaults(), "http://p3.map.gtimg.com/maptilesv3/10/52/39/843_635.png", ""},
        {11, kTile, BigFont(), "http://p3.map.gtimg.com/hwaptiles/9/52/39/843_635.png", ""},
        {13, kTile, BigFont(), "http://p3.map.gtimg.com/sateTiles/10/52/39/843_635.jpg",
         "http://p3.map.gtimg.com/sateTranTilesv3/10/52/39/843_635.png"},
        {14, kTile, Defaults(), "http://p3.map.gtimg.com/demTiles/10/52/39/843_635.jpg",
         "http://p3.map.gtimg.com/demTranTiles/10/52/39/843_635.png"},
        // Yahoo, Nokia, Bing
        {15, kTile, Defaults(), "http://ditu.aliyun.com/get_png?v=v6&x=843&y=388&z=10", ""},
        {16, TTile{6, 2, 3}, Defaults(),
         "http://maps3.yimg.com/ae/ximg?v=1.9&t=a&s=256&.intl=en&x=6&y=1&z=4&r=1", ""},
        {18, kTile, Defaults(),
         "http://4.maps.nlp.nokia.com/maptile/2.1/maptile/newest/satellite.day/10/843/388/256/png8"
         "?lg=CHI&token=Qm7vTz2LpX9aRc4Nw8YbKe&app_id=7hWqZp3LmNc5TxRa9KdV",
         ""},
        {21, TTile{3, 5, 3}, Defaults(),
         "http://r3.tiles.ditu.live.com/tiles/r213.png?g=101&mkt=en&n=z", ""},
        {22, TTile{3, 5, 3}, Defaults(),
         "http://ecn.t3.tiles.virtualearth.net/tiles/r213.png?g=2560&mkt=en&n=z", ""},
        {24, TTile{3, 5, 3}, Defaults(),
         "http://ecn.t3.tiles.virtualearth.net/tiles/a213.jpeg?g=2560&mkt=en&n=z",
         "http://t6.tianditu.cn/DataServer?T=cia_w&x=3&y=5&l=3"},
        // SuperMap, SmartEarth, ArcGIS (the service follows the layer, not its swapped folder)
        {25, kTile, Defaults(),
         "http://t2.supermapcloud.com/FileService/image?map=quanguo&type=web&x=843&y=388&z=10", ""},
        {26, kTile, Defaults(),
         "http://www.smartearth.cn:9000/SE_PIR?desc=emgutm&uid=smartearth&x=843&y=388&lev=10", ""},
        {30, kTile, Defaults(),
         "http://cache1.arcgisonline.cn/ArcGIS/rest/services/ChinaOnlineStreetCold/MapServer/tile/"
         "10/388/843",
         ""},
        {32, kTile, Defaults(),
         "http://cache1.arcgisonline.cn/ArcGIS/rest/services/ChinaOnlineCommunityENG/MapServer/"
         "tile/10/388/843",
         ""},
        {33, kTile, Defaults(),
         "http://server.arcgisonline.com/ArcGIS/rest/services/World_Imagery/MapServer/tile/10/388/"
         "843",
         ""},
        // TianDiTu, national and provincial
        {34, kTile, Defaults(), "http://t6.tianditu.com/DataServer?T=vec_w&X=843&Y=388&L=10",
         "http://t6.tianditu.cn/DataServer?T=cva_w&x=843&y=388&l=10"},
        {34, kTile, Provincial(),
         "http://jiangsu.tianditu.com/serviceaccess/wmts/JSRaster?SERVICE=WMTS&REQUEST=GetTile"
         "&VERSION=1.0.0&LAYER=0&STYLE=default&TILEMATRIXSET=jsvector&TILEMATRIX=10&TILEROW=388"
         "&TILECOL=843&FORMAT=image/png",
         "http://jiangsu.tianditu.com/serviceaccess/wmts/JSMapZJ?SERVICE=WMTS&REQUEST=GetTile"
         "&VERSION=1.0.0&LAYER=0&STYLE=default&TILEMATRIXSET=jsvector&TILEMATRIX=10&TILEROW=388"
         "&TILECOL=843&FORMAT=image/png"},
        {35, kTile, Defaults(), "http://t6.tianditu.com/DataServer?T=img_w&X=843&Y=388&L=10", ""},
        {36, kTile, Provincial(),
         "http://jiangsu.tianditu.com/serviceaccess/wmts/JSRaster?SERVICE=WMTS&REQUEST=GetTile"
         "&VERSION=1.0.0&LAYER=0&STYLE=default&TILEMATRIXSET=jsvector&TILEMATRIX=10&TILEROW=388"
         "&TILECOL=843&FORMAT=image/png",
         "http://t6.tianditu.cn/DataServer?T=cia_w&x=843&y=388&l=10"},
        {37, kTile, Defaults(), "http://t6.tianditu.com/DataServer?T=ter_w&X=843&Y=388&L=10",
         "http://t6.tianditu.cn/DataServer?T=cta_w&x=843&y=388&l=10"},
        // Relief layers: the WMS box is appended to a template that holds URL escapes
        {38, TTile{0, 0, 1}, Defaults(),
         "http://maps.topomapper.com/cgi-bin/tilecache-2.11b/tilecache.py?LAYERS=topomapper_gmerc"
         "&FORMAT=image%2Fjpeg&SERVICE=WMS&VERSION=1.1.1&REQUEST=GetMap&STYLES=&SRS=EPSG%3A900913"
         "&WIDTH=256&HEIGHT=256&BBOX=-20037508.34279,0,0,20037508.34279",
         ""},
        {39, TTile{1, 2, 2}, Defaults(),
         "http://maps.topomapper.com/cgi-bin/tilecache-2.10/tilecache.py?LAYERS=relief_physical_z"
         "&FORMAT=image%2Fjpeg&SERVICE=WMS&VERSION=1.1.1&REQUEST=GetMap&STYLES=&SRS=EPSG%3A900913"
         "&WIDTH=256&HEIGHT=256&BBOX=-10018754.171395,-10018754.171395,0,0",
         ""},
        // Historic, OSM, night, NavInfo
        {40, kTile, Defaults(), "http://nls-4.tileserver.com/nls/10/843/388.jpg", ""},
        {41, kTile, Defaults(), "http://c.tile.openstreetmap.org/10/843/388.png", ""},
        {42, kTile, Defaults(),
         "https://mapsengine.google.com/10446176163891957399-13737975182519107424-4/2/maptile/maps"
         "?v=2&authToken=Xk3pQw9RtLm2ZvB7nYc4HA==&x=843&y=388&z=10&s=",
         ""},
        {43, kTile, Defaults(), "http://mapimg.navinfo.com/vi/10/0301/0408/10995523126091.png", ""},
        {44, kTile, Defaults(), "http://mapimg.navinfo.com/vis/10/0301/0408/10995523126091.jpg",
         "http://mapimg.navinfo.com/vis2/10/0301/0408/10995523126091.png"},
        // Baidu
        {45, kTile, Baidu(false),
         "http://online3.map.bdimg.com/tile/?qt=tile&x=843&y=388&z=10&styles=pl&udt=N1", ""},
        {45, kTile, Baidu(true),
         "http://shangetu3.map.bdimg.com/it/u=x=843;y=388;z=10;v=N2;type=web&fm=41&udt=N1", ""},
        {46, kTile, Baidu(true),
         "http://shangetu2.map.bdimg.com/it/u=x=843;y=388;z=10;v=S2;type=sate&fm=46&udt=S1", ""},
        {47, kTile, Baidu(false),
         "http://shangetu2.map.bdimg.com/it/u=x=843;y=388;z=10;v=S2;type=sate&fm=46&udt=S1",
         "http://online2.map.bdimg.com/tile/?qt=tile&x=843&y=388&z=10&styles=sl&v=T2&udt=T1"},
        {47, kTile, Baidu(true),
         "http://shangetu2.map.bdimg.com/it/u=x=843;y=388;z=10;v=S2;type=sate&fm=46&udt=S1",
         "http://shangetu3.map.bdimg.com/it/u=x=843;y=388;z=10;v=T2;type=web&fm=43&udt=T1"},
        // Row 1220.5 is taken to the even neighbour.
        {48, TTile{3, 0, 15}, Defaults(),
         "http://d2.map.baidu.com/resource/mappic/bj/2/3/lv6/3,1219.jpg", ""},
    };
    for (const auto& c : cases) {
        const TileUrlBuilder builder(MapTypeOf(c.layer), LastServer);
        const TileUrls urls = builder.BuildTileUrl(c.tile, c.settings);
        EXPECT_EQ(urls.Base, c.base) << "layer " << c.layer;
        EXPECT_EQ(urls.Overlay, c.overlay) << "layer " << c.layer;
    }
}

TEST(UrlBuilder, FirstServerOfEachRange) {
    const struct {
        int layer;
        const char* prefix;
    } cases[] = {
        {0, "http://webrd01."},  {3, "http://mt0."},        {17, "http://1.maps."},
        {34, "http://t0."},      {40, "http://nls-0."},     {41, "http://b.tile."},
        {45, "http://online1."}, {46, "http://shangetu0."}, {48, "http://d0."},
    };
    for (const auto& c : cases) {
        const std::string base =
            TileUrlBuilder(MapTypeOf(c.layer), FirstServer).BuildTileUrl(kTile, Defaults()).Base;
        EXPECT_EQ(base.rfind(c.prefix, 0), 0u) << c.layer << " " << base;
    }
}

TEST(UrlBuilder, OverlaysFollowTheCatalogueAndDownloadNoLabelEmptiesThemAll) {
    for (int layer = 0; layer < kMapTypeCount; ++layer) {
        const TileUrlBuilder builder(MapTypeOf(layer), LastServer);
        const TileUrls plain = builder.BuildTileUrl(kTile, Defaults());
        EXPECT_FALSE(plain.Base.empty()) << layer;
        EXPECT_EQ(!plain.Overlay.empty(), HasOverlay(MapTypeOf(layer))) << layer;
        for (const UrlSettings& s : {NoLabel(), [] {
                                         UrlSettings p = Provincial();
                                         p.DownloadNoLabel = true;
                                         return p;
                                     }()}) {
            const TileUrls bare = builder.BuildTileUrl(kTile, s);
            EXPECT_FALSE(bare.Base.empty()) << layer;
            EXPECT_TRUE(bare.Overlay.empty()) << layer;
        }
    }
}

TEST(UrlBuilder, RealRandomServersStayInTheirRanges) {
    std::set<std::string> osm, tianditu;
    const TileUrlBuilder osmBuilder(TMapType::mtOsmRoadMap);
    const TileUrlBuilder tdtBuilder(TMapType::mtTDTRoadMap);
    for (int i = 0; i < 400; ++i) {
        osm.insert(osmBuilder.BuildTileUrl(kTile, Defaults()).Base.substr(0, 8));
        tianditu.insert(tdtBuilder.BuildTileUrl(kTile, Defaults()).Base.substr(0, 10));
    }
    EXPECT_EQ(osm, (std::set<std::string>{"http://b", "http://c"}));  // never "a"
    EXPECT_EQ(tianditu.size(), 7u);
    EXPECT_EQ(*tianditu.begin(), "http://t0.");
    EXPECT_EQ(*tianditu.rbegin(), "http://t6.");
}

TEST(UrlBuilder, SettingTextsAreTakenLiterally) {
    UrlSettings s;
    s.MapLanguageCode = "%d%s";
    s.RoadMapTileVer = "%s";
    const TileUrls urls =
        TileUrlBuilder(TMapType::mtGoogleRoadMap, LastServer).BuildTileUrl(kTile, s);
    EXPECT_EQ(urls.Base,
              "http://mt3.google.cn/vt/lyrs=m@%s&hl=%d%s&gl=cn&src=app&x=843&y=388&z=10&s=Galileo");
}

TEST(UrlBuilder, TileNames) {
    EXPECT_EQ(TileXYToQuadKey(3, 5, 3), "213");
    EXPECT_EQ(TileXYToQuadKey(0, 0, 0), "");
    EXPECT_EQ(TileXYToQuadKey(0, 0, 2), "00");

    EXPECT_EQ(TencentTileName({0, 0, 1}, false), "1/0/0/0_1");
    EXPECT_EQ(TencentTileName({0, 0, 1}, true), "0/0/0/0_1");
    // Columns outside the grid wrap; rows outside give column -1, shifted as unsigned.
    EXPECT_EQ(TencentTileName({-1, 0, 2}, false), "2/0/0/3_3");
    EXPECT_EQ(TencentTileName({5, 1, 2}, false), "2/0/0/1_2");
    EXPECT_EQ(TencentTileName({0, 4, 2}, false), "2/268435455/268435455/-1_-1");

    EXPECT_EQ(NavInfoTilePath({5, 7, 3}), "3/" + std::to_string((7LL << 20) + 5 + (3LL << 40)));
    EXPECT_EQ(NavInfoTilePath({3000, 1500, 12}), "12/0000/1105/1113/13195712400312");

    EXPECT_EQ(TileToWmsBBox({0, 0, 0}),
              "-20037508.34279,-20037508.34279,20037508.34279,20037508.34279");
}

}  // namespace
}  // namespace engine
