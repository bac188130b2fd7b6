#include "engine/download/url_builder.h"

#include <array>
#include <cmath>
#include <initializer_list>
#include <string_view>

#include "engine/core/catalogue.h"
#include "engine/core/number_format.h"
#include "engine/core/text_helpers.h"
#include "engine/core/tile_math.h"

namespace engine {
namespace {

// Provider hosts. A "%d" or "%s" in a host is the server number or letter; it always comes
// before the placeholders of the path.
constexpr std::string_view kAmapRoadHost = "http://webrd0%d.is.autonavi.com";
constexpr std::string_view kAmapRoadBigFontHost = "http://wprd0%d.is.autonavi.com";
constexpr std::string_view kAmapSatelliteHost = "http://webst0%d.is.autonavi.com";
constexpr std::string_view kGoogleChinaHost = "http://mt%d.google.cn";
constexpr std::string_view kGoogleInternationalHost = "http://mt%d.google.com";
constexpr std::string_view kGoogleSatelliteHost = "http://khm%d.google.com";
constexpr std::string_view kTencentHost = "http://p%d.map.gtimg.com";
constexpr std::string_view kYahooRoadHost = "http://ditu.aliyun.com";
constexpr std::string_view kYahooSatelliteHost = "http://maps%d.yimg.com";
constexpr std::string_view kNokiaHost = "http://%d.maps.nlp.nokia.com";
constexpr std::string_view kBingChinaHost = "http://r%d.tiles.ditu.live.com";
constexpr std::string_view kBingHost = "http://ecn.t%d.tiles.virtualearth.net";
constexpr std::string_view kSupermapHost = "http://t2.supermapcloud.com";
constexpr std::string_view kSmartearthHost = "http://www.smartearth.cn:9000";
constexpr std::string_view kArcgisChinaHost = "http://cache1.arcgisonline.cn";
constexpr std::string_view kArcgisOnlineHost = "http://server.arcgisonline.com";
constexpr std::string_view kTiandituHost = "http://t%d.tianditu.com";
constexpr std::string_view kTiandituAnnotationHost = "http://t%d.tianditu.cn";
constexpr std::string_view kTiandituProvincialHost = "http://jiangsu.tianditu.com";
constexpr std::string_view kTopomapperHost = "http://maps.topomapper.com";
constexpr std::string_view kHistoricHost = "http://nls-%d.tileserver.com";
constexpr std::string_view kOsmHost = "http://%s.tile.openstreetmap.org";
constexpr std::string_view kMapsEngineHost = "https://mapsengine.google.com";
constexpr std::string_view kNavInfoHost = "http://mapimg.navinfo.com";
constexpr std::string_view kBaiduMapHost = "http://online%d.map.bdimg.com";
constexpr std::string_view kBaiduSatelliteHost = "http://shangetu%d.map.bdimg.com";
constexpr std::string_view kBaiduBigFontHost = "http://shangetu%d.map.bdimg.com";
constexpr std::string_view kBaidu3DPrefix = "http://d%d.map.baidu.com/resource/mappic/";

constexpr std::string_view kGoogleRoadPath =
    "/vt/lyrs=m@%s&hl=zh-cn&gl=cn&src=app&x=%d&y=%d&z=%d&s=Galileo";
constexpr std::string_view kGoogleSatellitePath =
    "/vt/lyrs=s@%s&gl=cn&src=app&x=%d&y=%d&z=%d&s=Galileo";
constexpr std::string_view kGoogleTerrainPath =
    "/vt/lyrs=t@132,r@%s&hl=zh-cn&gl=cn&src=app&x=%d&y=%d&z=%d&s=Galileo";
constexpr std::string_view kGoogleLabelPath =
    "/vt/imgtp=png32&lyrs=h@%s&hl=zh-cn&gl=cn&src=app&x=%d&y=%d&z=%d&s=Galil";
constexpr std::string_view kGoogleNoLabelStyle =
    "&apistyle=s.e%3Al%7Cp.v%3Aoff&style=47,37%7Csmartmaps";
constexpr std::string_view kGoogleTerrainNoLabelStyle =
    "&apistyle=s.e%3Al%7Cp.v%3Aoff%2Cs.t%3A3%7Cp.v%3Aoff&style=37%7Csmartmaps";
constexpr std::string_view kAmapRoadPath =
    "/appmaptile?lang=zh_cn&size=1&scale=1&style=8&x=%d&y=%d&z=%d";
constexpr std::string_view kAmapSatellitePath =
    "/appmaptile?lang=zh_cn&size=1&scale=1&style=6&x=%d&y=%d&z=%d";
constexpr std::string_view kNokiaPath =
    "/maptile/2.1/maptile/newest/%s.day/%d/%d/%d/256/png8?lg=CHI&token=Qm7vTz2LpX9aRc4Nw8YbKe"
    "&app_id=7hWqZp3LmNc5TxRa9KdV";
constexpr std::string_view kTiandituPathPrefix = "/DataServer?T=";
constexpr std::string_view kTiandituProvincialRaster =
    "/serviceaccess/wmts/JSRaster?SERVICE=WMTS&REQUEST=GetTile&VERSION=1.0.0&LAYER=0"
    "&STYLE=default&TILEMATRIXSET=jsvector&TILEMATRIX=%d&TILEROW=%d&TILECOL=%d&FORMAT=image/png";
constexpr std::string_view kTiandituProvincialAnnotation =
    "/serviceaccess/wmts/JSMapZJ?SERVICE=WMTS&REQUEST=GetTile&VERSION=1.0.0&LAYER=0"
    "&STYLE=default&TILEMATRIXSET=jsvector&TILEMATRIX=%d&TILEROW=%d&TILECOL=%d&FORMAT=image/png";
constexpr std::string_view kTopomapperTerrainPath =
    "/cgi-bin/tilecache-2.11b/tilecache.py?LAYERS=topomapper_gmerc&FORMAT=image%2Fjpeg"
    "&SERVICE=WMS&VERSION=1.1.1&REQUEST=GetMap&STYLES=&SRS=EPSG%3A900913&WIDTH=256&HEIGHT=256"
    "&BBOX=";
constexpr std::string_view kTopomapperReliefPath =
    "/cgi-bin/tilecache-2.10/tilecache.py?LAYERS=relief_physical_z&FORMAT=image%2Fjpeg"
    "&SERVICE=WMS&VERSION=1.1.1&REQUEST=GetMap&STYLES=&SRS=EPSG%3A900913&WIDTH=256&HEIGHT=256"
    "&BBOX=";
constexpr std::string_view kBaiduSatellitePath = "/it/u=x=%d;y=%d;z=%d;v=%s;type=sate&fm=46&udt=%s";

constexpr std::array<std::string_view, 6> kArcgisChinaServices = {
    "ChinaOnlineCommunity",  "ChinaOnlineStreetColor", "ChinaOnlineStreetWarm",
    "ChinaOnlineStreetCold", "ChinaOnlineStreetGray",  "ChinaOnlineCommunityENG"};

// Stands for the language code inside a template until the placeholders are filled, so that
// a code can never be taken for a placeholder.
constexpr char kLanguageMarker = '\x01';

std::string Join(std::string_view host, std::string_view path) {
    std::string text(host);
    text += path;
    return text;
}

// The base template of every layer; the one of layer 48 is kept but its URL is built apart.
const std::array<std::string, kMapTypeCount>& MapUrlTemplates() {
    static const std::array<std::string, kMapTypeCount> templates = [] {
        std::array<std::string, kMapTypeCount> t;
        t[0] = Join(kAmapRoadHost, kAmapRoadPath);
        t[1] = t[2] = Join(kAmapSatelliteHost, kAmapSatellitePath);
        t[3] = t[8] = Join(kGoogleChinaHost, kGoogleRoadPath);
        t[4] = t[6] = t[9] = Join(kGoogleChinaHost, kGoogleSatellitePath);
        t[5] = Join(kGoogleSatelliteHost, "/kh/v=%s&src=app&x=%d&y=%d&z=%d&s=Galileo");
        t[7] = t[10] = Join(kGoogleChinaHost, kGoogleTerrainPath);
        t[11] = Join(kTencentHost, "/maptilesv3/%s.png");
        t[12] = t[13] = Join(kTencentHost, "/sateTiles/%s.jpg");
        t[14] = Join(kTencentHost, "/demTiles/%s.jpg");
        t[15] = Join(kYahooRoadHost, "/get_png?v=v6&x=%d&y=%d&z=%d");
        t[16] = Join(kYahooSatelliteHost, "/ae/ximg?v=1.9&t=a&s=256&.intl=en&x=%d&y=%d&z=%d&r=1");
        for (int i = 17; i <= 20; ++i) {
            t[i] = Join(kNokiaHost, kNokiaPath);
        }
        t[21] = Join(kBingChinaHost, "/tiles/r%s.png?g=101&mkt=en&n=z");
        t[22] = Join(kBingHost, "/tiles/r%s.png?g=2560&mkt=en&n=z");
        t[23] = t[24] = Join(kBingHost, "/tiles/a%s.jpeg?g=2560&mkt=en&n=z");
        t[25] = Join(kSupermapHost, "/FileService/image?map=quanguo&type=web&x=%d&y=%d&z=%d");
        t[26] = Join(kSmartearthHost, "/SE_PIR?desc=emgutm&uid=smartearth&x=%d&y=%d&lev=%d");
        for (int i = 27; i <= 32; ++i) {
            t[i] = Join(kArcgisChinaHost, "/ArcGIS/rest/services/");
            t[i] += kArcgisChinaServices[i - 27];
            t[i] += "/MapServer/tile/%d/%d/%d";
        }
        t[33] =
            Join(kArcgisOnlineHost, "/ArcGIS/rest/services/World_Imagery/MapServer/tile/%d/%d/%d");
        t[34] = Join(kTiandituHost, "/DataServer?T=vec_w&X=%d&Y=%d&L=%d");
        t[35] = t[36] = Join(kTiandituHost, "/DataServer?T=img_w&X=%d&Y=%d&L=%d");
        t[37] = Join(kTiandituHost, "/DataServer?T=ter_w&X=%d&Y=%d&L=%d");
        t[38] = Join(kTopomapperHost, kTopomapperTerrainPath);
        t[39] = Join(kTopomapperHost, kTopomapperReliefPath);
        t[40] = Join(kHistoricHost, "/nls/%d/%d/%d.jpg");
        t[41] = Join(kOsmHost, "/%d/%d/%d.png");
        t[42] = Join(kMapsEngineHost,
                     "/10446176163891957399-13737975182519107424-4/2/maptile/maps?v=2"
                     "&authToken=Xk3pQw9RtLm2ZvB7nYc4HA==&x=%d&y=%d&z=%d&s=");
        t[43] = Join(kNavInfoHost, "/vi/%s.png");
        t[44] = Join(kNavInfoHost, "/vis/%s.jpg");
        t[45] = Join(kBaiduMapHost, "/tile/?qt=tile&x=%d&y=%d&z=%d&styles=pl&udt=%s");
        t[46] = t[47] = t[48] = Join(kBaiduSatelliteHost, kBaiduSatellitePath);
        return t;
    }();
    return templates;
}

// Fills the "%d" and "%s" placeholders of a template in order; the arguments are already
// text and are taken literally.
std::string Fill(std::string_view pattern, std::initializer_list<std::string_view> args) {
    std::string out;
    out.reserve(pattern.size() + 32);
    auto arg = args.begin();
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() &&
            (pattern[i + 1] == 'd' || pattern[i + 1] == 's') && arg != args.end()) {
            out += *arg++;
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

// Every "zh-cn", letters compared without regard to case, becomes the language marker.
void MarkLanguage(std::string& text) {
    text = ReplaceAllNoCase(text, "zh-cn", std::string_view(&kLanguageMarker, 1));
}

void PutLanguage(std::string& text, std::string_view code) {
    text = ReplaceAll(text, std::string_view(&kLanguageMarker, 1), code);
}

std::string Num(std::int64_t value) {
    return FormatInt(value);
}

}  // namespace

TileUrlBuilder::TileUrlBuilder(TMapType mapType, RandomSource random)
    : mapType_(mapType), random_(random ? std::move(random) : RandomSource(RandomIndex)) {}

int TileUrlBuilder::Server(int first, int count) const {
    return first + random_(count);
}

TileUrls TileUrlBuilder::BuildTileUrl(const TTile& tile, const UrlSettings& settings) const {
    const int layer = Ord(mapType_);
    const std::string& tpl = MapUrlTemplates()[layer];
    const std::string x = Num(tile.x);
    const std::string y = Num(tile.y);
    const std::string z = Num(tile.z);
    TileUrls urls;

    // The TianDiTu annotation overlays, shared by several layers.
    auto tiandituAnnotation = [&](std::string_view kind) {
        std::string pattern = Join(kTiandituAnnotationHost, kTiandituPathPrefix);
        pattern += kind;
        pattern += "&x=%d&y=%d&l=%d";
        return Fill(pattern, {Num(Server(0, 7)), x, y, z});
    };

    switch (mapType_) {
        case TMapType::mtMapAbcRoadMap:
        case TMapType::mtMapAbcSatellite:
        case TMapType::mtMapAbcHybrid: {
            std::string pattern = tpl;
            if (mapType_ == TMapType::mtMapAbcRoadMap && settings.BigFontMode) {
                pattern = ReplaceAll(pattern, kAmapRoadHost, kAmapRoadBigFontHost);
                pattern = ReplaceAll(pattern, "lang=zh_cn&size=1&scale=1&style=8", "style=7");
            }
            urls.Base = Fill(pattern, {Num(Server(1, 4)), x, y, z});
            if (mapType_ == TMapType::mtMapAbcHybrid) {
                urls.Overlay =
                    Fill(Join(kAmapSatelliteHost, kAmapRoadPath), {Num(Server(1, 4)), x, y, z});
            }
            break;
        }
        case TMapType::mtGoogleRoadMap:
        case TMapType::mtGoogleSatellite:
        case TMapType::mtGoogleSatellite_EN:
        case TMapType::mtGoogleHybrid:
        case TMapType::mtGoogleTerrain:
        case TMapType::mtGoogleRoadMap_NoLabel:
        case TMapType::mtGoogleHybrid_NoLabel:
        case TMapType::mtGoogleTerrain_NoLabel: {
            std::string pattern = tpl;
            MarkLanguage(pattern);
            if (settings.MapSeverIndex > 0) {
                pattern = ReplaceAll(pattern, kGoogleChinaHost, kGoogleInternationalHost);
                pattern = ReplaceAll(pattern, "&gl=cn", "");
            }
            const bool road = mapType_ == TMapType::mtGoogleRoadMap ||
                              mapType_ == TMapType::mtGoogleRoadMap_NoLabel;
            urls.Base =
                Fill(pattern, {Num(Server(0, 4)),
                               road ? settings.RoadMapTileVer : settings.SatMapTileVer, x, y, z});
            PutLanguage(urls.Base, settings.MapLanguageCode);

            if (mapType_ == TMapType::mtGoogleSatellite_EN) {
                if (tile.z <= 18) {
                    urls.Overlay = tiandituAnnotation("cia_w");
                }
            } else if (mapType_ == TMapType::mtGoogleHybrid ||
                       mapType_ == TMapType::mtGoogleHybrid_NoLabel) {
                // Labels always come from the China host, whatever the base host.
                std::string label = Join(kGoogleChinaHost, kGoogleLabelPath);
                MarkLanguage(label);
                urls.Overlay = Fill(label, {Num(Server(0, 4)), settings.RoadMapTileVer, x, y, z});
                PutLanguage(urls.Overlay, settings.MapLanguageCode);
                if (mapType_ == TMapType::mtGoogleHybrid_NoLabel) {
                    urls.Overlay += kGoogleNoLabelStyle;
                }
            }
            if (mapType_ == TMapType::mtGoogleRoadMap_NoLabel ||
                mapType_ == TMapType::mtGoogleTerrain_NoLabel) {
                urls.Base += kGoogleNoLabelStyle;
            }
            if (mapType_ == TMapType::mtGoogleTerrain && settings.DownloadNoLabel) {
                urls.Base += kGoogleTerrainNoLabelStyle;
            }
            break;
        }
        case TMapType::mtSosoRoadMap:
        case TMapType::mtSosoSatellite:
        case TMapType::mtSosoHybrid:
        case TMapType::mtSosoTerrain: {
            const bool bigFont = mapType_ == TMapType::mtSosoRoadMap && settings.BigFontMode;
            const std::string name = TencentTileName(tile, bigFont);
            urls.Base = Fill(tpl, {Num(Server(0, 4)), name});
            if (bigFont) {
                urls.Base = ReplaceAll(urls.Base, "maptilesv3", "hwaptiles");
            }
            if (mapType_ == TMapType::mtSosoHybrid) {
                urls.Overlay =
                    Fill(Join(kTencentHost, "/sateTranTilesv3/%s.png"), {Num(Server(0, 4)), name});
            } else if (mapType_ == TMapType::mtSosoTerrain) {
                urls.Overlay =
                    Fill(Join(kTencentHost, "/demTranTiles/%s.png"), {Num(Server(0, 4)), name});
            }
            break;
        }
        case TMapType::mtYahooRoadMap:
        case TMapType::mtSupermap:
        case TMapType::mtSmartearth:
        case TMapType::mtEarthNight:
            urls.Base = Fill(tpl, {x, y, z});
            break;
        case TMapType::mtYahooSatellite: {
            // Rows counted from the south, one zoom level up.
            const auto half = static_cast<std::int64_t>(std::ldexp(1.0, tile.z - 1));
            urls.Base = Fill(tpl, {Num(Server(0, 4)), x, Num(half - tile.y - 1), Num(tile.z + 1)});
            break;
        }
        case TMapType::mtNokiaRoadMap:
        case TMapType::mtNokiaSatellite:
        case TMapType::mtNokiaHybrid:
        case TMapType::mtNokiaTerrain:
            urls.Base = Fill(tpl, {Num(Server(1, 4)), NokiaLayerNames[layer - 17], z, x, y});
            break;
        case TMapType::mtBingRoadMap_CN:
        case TMapType::mtBingRoadMap:
        case TMapType::mtBingSatellite:
        case TMapType::mtBingHybrid:
            urls.Base = Fill(tpl, {Num(Server(0, 4)), TileXYToQuadKey(tile.x, tile.y, tile.z)});
            if (mapType_ == TMapType::mtBingHybrid) {
                urls.Overlay = tiandituAnnotation("cia_w");
            }
            break;
        case TMapType::mtArcGIS_Community:
        case TMapType::mtArcGIS_StreetColor:
        case TMapType::mtArcGIS_StreetWarm:
        case TMapType::mtArcGIS_StreetCold:
        case TMapType::mtArcGIS_StreetGray:
        case TMapType::mtArcGIS_CommunityENG:
        case TMapType::mtArcGIS_Satellite:
            urls.Base = Fill(tpl, {z, y, x});
            break;
        case TMapType::mtTDTRoadMap:
        case TMapType::mtTDTSatellite:
        case TMapType::mtTDTHybrid:
        case TMapType::mtTDTTerrain: {
            const bool provincial = settings.TiandituIndex != 0;
            if (provincial) {
                urls.Base =
                    Fill(Join(kTiandituProvincialHost, kTiandituProvincialRaster), {z, y, x});
            } else {
                urls.Base = Fill(tpl, {Num(Server(0, 7)), x, y, z});
            }
            if (mapType_ == TMapType::mtTDTRoadMap) {
                urls.Overlay =
                    provincial ? Fill(Join(kTiandituProvincialHost, kTiandituProvincialAnnotation),
                                      {z, y, x})
                               : tiandituAnnotation("cva_w");
            } else if (mapType_ == TMapType::mtTDTHybrid) {
                urls.Overlay = tiandituAnnotation("cia_w");
            } else if (mapType_ == TMapType::mtTDTTerrain) {
                urls.Overlay = tiandituAnnotation("cta_w");
            }
            break;
        }
        case TMapType::mtTopomapperTerrain:
        case TMapType::mtPhysicalReliefMap:
            // The templates hold URL escapes: completed by appending, never filled.
            urls.Base = tpl + TileToWmsBBox(tile);
            break;
        case TMapType::mtHistoric_nlsmap:
            urls.Base = Fill(tpl, {Num(Server(0, 5)), z, x, y});
            break;
        case TMapType::mtOsmRoadMap:
            urls.Base = Fill(tpl, {ServerLetters[1 + random_(2)], z, x, y});
            break;
        case TMapType::mtNavInfoRoadMap:
        case TMapType::mtNavInfoHybrid: {
            const std::string path = NavInfoTilePath(tile);
            urls.Base = Fill(tpl, {path});
            if (mapType_ == TMapType::mtNavInfoHybrid) {
                urls.Overlay = Fill(Join(kNavInfoHost, "/vis2/%s.png"), {path});
            }
            break;
        }
        case TMapType::mtBaiduRoadMap:
            if (settings.BigFontMode) {
                urls.Base =
                    Fill(Join(kBaiduBigFontHost, "/it/u=x=%d;y=%d;z=%d;v=%s;type=web&fm=41&udt=%s"),
                         {Num(Server(1, 3)), x, y, z, settings.BNormalVer, settings.BNormalUDT});
            } else {
                urls.Base = Fill(tpl, {Num(Server(1, 3)), x, y, z, settings.BNormalUDT});
            }
            break;
        case TMapType::mtBaiduSatellite:
        case TMapType::mtBaiduHybrid:
            urls.Base = Fill(
                tpl, {Num(Server(0, 3)), x, y, z, settings.BSatelliteVer, settings.BSatelliteUDT});
            if (mapType_ == TMapType::mtBaiduHybrid) {
                if (settings.BigFontMode) {
                    urls.Overlay = Fill(
                        Join(kBaiduBigFontHost, "/it/u=x=%d;y=%d;z=%d;v=%s;type=web&fm=43&udt=%s"),
                        {Num(Server(1, 3)), x, y, z, settings.BSatelliteStreetVer,
                         settings.BSatelliteStreetUDT});
                } else {
                    urls.Overlay = Fill(
                        Join(kBaiduMapHost, "/tile/?qt=tile&x=%d&y=%d&z=%d&styles=sl&v=%s&udt=%s"),
                        {Num(Server(0, 3)), x, y, z, settings.BSatelliteStreetVer,
                         settings.BSatelliteStreetUDT});
                }
            }
            break;
        case TMapType::mtBaidu3D:
            urls.Base = Baidu3DTileURL(tile, random_);
            break;
    }

    if (settings.DownloadNoLabel) {
        urls.Overlay.clear();
    }
    return urls;
}

std::string TencentTileName(const TTile& tile, bool bigFont) {
    const int zoom = bigFont ? tile.z - 1 : tile.z;
    const auto n = static_cast<std::int64_t>(std::ldexp(1.0, tile.z));
    const std::int64_t row =
        static_cast<std::int64_t>(std::ldexp(1.0, zoom) * (bigFont ? 2 : 1)) - tile.y - 1;
    std::int64_t column;
    if (tile.y < 0 || tile.y > n - 1) {
        column = -1;
    } else if (tile.x >= 0 && tile.x <= n - 1) {
        column = tile.x;
    } else {
        column = (tile.x % n + n) % n;
    }
    const auto c32 = static_cast<std::int32_t>(column);
    const auto r32 = static_cast<std::int32_t>(row);
    // The folder parts are the column and row shifted as unsigned 32-bit values.
    const auto cBlock = static_cast<std::uint32_t>(c32) >> 4;
    const auto rBlock = static_cast<std::uint32_t>(r32) >> 4;
    return Num(zoom) + "/" + Num(cBlock) + "/" + Num(rBlock) + "/" + Num(c32) + "_" + Num(r32);
}

std::string TileXYToQuadKey(std::int32_t x, std::int32_t y, int z) {
    std::string key;
    for (int i = z; i >= 1; --i) {
        const std::uint32_t mask = std::uint32_t{1} << (i - 1);
        char digit = '0';
        if (static_cast<std::uint32_t>(x) & mask) {
            digit += 1;
        }
        if (static_cast<std::uint32_t>(y) & mask) {
            digit += 2;
        }
        key += digit;
    }
    return key;
}

std::string NavInfoTilePath(const TTile& tile) {
    const int blocks = std::max(0, static_cast<int>(std::ceil((tile.z - 3) / 4.0)));
    std::string path;
    std::int64_t previousColumn = 0;
    std::int64_t previousRow = 0;
    std::int64_t previousSize = 0;
    auto twoDigits = [](std::int64_t v) { return v <= 9 ? "0" + Num(v) : Num(v); };
    for (int k = 0; k < blocks; ++k) {
        const std::int64_t size = std::int64_t{1} << (4 * (blocks - k));
        const std::int64_t column = (tile.x - previousColumn * previousSize) / size;
        const std::int64_t row = (tile.y - previousRow * previousSize) / size;
        path += twoDigits(column) + twoDigits(row) + "/";
        previousColumn = column;
        previousRow = row;
        previousSize = size;
    }
    const long double key = static_cast<long double>(tile.y & 0xFFFFF) * 1048576.0L +
                            static_cast<long double>(tile.x & 0xFFFFF) +
                            static_cast<long double>(tile.z) * 1099511627776.0L;
    return Num(tile.z) + "/" + path + Num(static_cast<std::int64_t>(key));
}

std::string Baidu3DTileURL(const TTile& tile, const RandomSource& random) {
    const RandomSource& draw = random ? random : RandomSource(RandomIndex);
    const double size = 256.0 * std::ldexp(1.0, 20 - tile.z);
    const double row = RoundHalfEven((9998336.0 - tile.y * size) / size);
    std::string url = Fill(kBaidu3DPrefix, {Num(draw(3))});
    url += "bj/2/3/lv";
    url += Num(21 - tile.z) + "/" + Num(tile.x) + "," + Num(static_cast<std::int64_t>(row) - 1);
    url += ".jpg";
    return url;
}

std::string TileToWmsBBox(const TTile& tile) {
    // The half extent of these servers is rounded one digit shorter than elsewhere.
    constexpr double kE = 20037508.34279;
    const double n = std::ldexp(1.0, tile.z);
    const double minX = 2 * kE * tile.x / n - kE;
    const double minY = kE - 2 * kE * (tile.y + 1.0) / n;
    const double maxX = 2 * kE * (tile.x + 1.0) / n - kE;
    const double maxY = kE - 2 * kE * tile.y / n;
    return FormatFloat(minX) + "," + FormatFloat(minY) + "," + FormatFloat(maxX) + "," +
           FormatFloat(maxY);
}

}  // namespace engine
