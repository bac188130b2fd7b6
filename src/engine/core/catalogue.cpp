#include "engine/core/catalogue.h"

namespace engine {

const std::array<std::string_view, kMapTypeCount> MapTypeIds = {
    "MAPABC_ROAD",
    "MAPABC_SATELLITE",
    "MAPABC_HYBRID",
    "GOOGLE_ROAD",
    "GOOGLE_SATELLITE",
    "GOOGLE_SATELLITE_EN",
    "GOOGLE_HYBRID",
    "GOOGLE_TERRAIN",
    "GOOGLE_ROAD_NOLABEL",
    "GOOGLE_HYBRID_NOLABEL",
    "GOOGLE_TERRAIN_NOLABEL",
    "SOSO_ROAD",
    "SOSO_SATELLITE",
    "SOSO_HYBRID",
    "SOSO_TERRAIN",
    "YAHOO_ROAD",
    "YAHOO_SATELLITE",
    "NOKIA_ROAD",
    "NOKIA_SATELLITE",
    "NOKIA_HYBRID",
    "NOKIA_TERRAIN",
    "BING_ROAD_CN",
    "BING_ROAD",
    "BING_SATELLITE",
    "BING_HYBRID",
    "SUPERMAP_ROAD",
    "SMARTEARTH_ROAD",
    "ARCGIS_COMMUNITY",
    "ARCGIS_STREETCOLOR",
    "ARCGIS_STREETWARM",
    "ARCGIS_STREETCOLD",
    "ARCGIS_STREETGRAY",
    "ARCGIS_COMMUNITYENG",
    "ARCGIS_SATELLITE",
    "TIANDITU_ROAD",
    "TIANDITU_SATELLITE",
    "TIANDITU_HYBRID",
    "TIANDITU_TERRAIN",
    "TOPOMAPPER_TERRAIN",
    "physical_relief_map",
    "HISTORIC_NLSMAP",
    "OSM_ROAD",
    "EARTH_NIGHT",
    "NAVINFO_ROAD",
    "NAVINFO_HYBRID",
    // The Baidu page numbers its layers by ordinal; these identifiers are kept as stored.
    "MAPABC_ROAD",
    "MAPABC_SATELLITE",
    "MAPABC_HYBRID",
    "MAPABC_HYBRID",
};

const std::array<std::string_view, kMapTypeCount> MapTypeCaptions = {
    "高德地图",
    "高德卫星",
    "高德混合",
    "谷歌地图",
    "谷歌卫星",
    "谷歌卫星_无偏移",
    "谷歌混合",
    "谷歌地形",
    "谷歌地图_无标签",
    "谷歌混合_无标签",
    "谷歌地形_无标签",
    "腾讯地图",
    "腾讯卫星",
    "腾讯混合",
    "腾讯地形",
    "雅虎地图",
    "雅虎卫星",
    "诺基亚地图",
    "诺基亚卫星",
    "诺基亚混合",
    "诺基亚地形",
    "微软中国地图",
    "微软地图_无偏移",
    "微软卫星_无偏移",
    "微软混合_无偏移",
    "超图云地图",
    "SmartEarth",
    "ArcGIS彩色版(含POI)",
    "ArcGIS彩色版(无POI)",
    "ArcGIS暖色版(无POI)",
    "ArcGIS冷色版(无POI)",
    "ArcGIS灰色版(无POI)",
    "ArcGIS中英文(含POI)",
    "ArcGIS卫星图",
    "天地图地图",
    "天地图卫星",
    "天地图混合",
    "天地图地形",
    "Topographic",
    "physical_relief",
    "historic_nlsmap",
    "OSM",
    "EARTH_NIGHT",
    "四维地图",
    "四维影像",
    "百度地图",
    "百度卫星",
    "百度混合",
    "百度三维",
};

const std::array<std::string_view, kMapTypeCount> MapTileFolders = {
    R"(\mapabc\roadmap\)",
    R"(\mapabc\satellite\)",
    R"(\mapabc\satellite\)",
    R"(\googlemaps\roadmap\)",
    R"(\googlemaps\satellite\)",
    R"(\googlemaps\satellite_en\)",
    R"(\googlemaps\satellite\)",
    R"(\googlemaps\terrain\)",
    R"(\googlemaps\roadmap_nolabel\)",
    R"(\googlemaps\satellite\)",
    R"(\googlemaps\terrain_nolabel\)",
    R"(\sosomaps\roadmap\)",
    R"(\sosomaps\satellite\)",
    R"(\sosomaps\satellite\)",
    R"(\sosomaps\terrain\)",
    R"(\yahoomaps\roadmap\)",
    R"(\yahoomaps\satellite\)",
    R"(\nokiamaps\roadmap\)",
    R"(\nokiamaps\satellite\)",
    R"(\nokiamaps\hybrid\)",
    R"(\nokiamaps\terrain\)",
    R"(\bingmaps\roadmap_cn\)",
    R"(\bingmaps\roadmap\)",
    R"(\bingmaps\satellite\)",
    R"(\bingmaps\hybrid\)",
    R"(\supermap\roadmap\)",
    R"(\smartearth\roadmap\)",
    R"(\arcgis\Community\)",
    R"(\arcgis\StreetColor\)",
    R"(\arcgis\StreetWarm\)",
    // The cold and grey street layers store their tiles under each other's name; tile trees
    // written earlier, the stitcher and the exporters all rely on it.
    R"(\arcgis\StreetGray\)",
    R"(\arcgis\StreetCold\)",
    R"(\arcgis\CommunityEN\)",
    R"(\arcgis\satellite\)",
    R"(\tianditu\roadmap\)",
    R"(\tianditu\satellite\)",
    R"(\tianditu\satellite\)",
    R"(\tianditu\terrain\)",
    R"(\topomapper\terrain\)",
    R"(\topomapper\physical_relief_map\)",
    R"(\historic_nlsmap\terrain\)",
    R"(\OSM\roadmap\)",
    R"(\googlemaps\earthnight\)",
    R"(\NavInfo\roadmap\)",
    R"(\NavInfo\satellite\)",
    R"(\baidumaps\roadmap\)",
    R"(\baidumaps\satellite\)",
    R"(\baidumaps\satellite\)",
    R"(\baidumaps\3d\)",
};

const std::array<std::string_view, kMapTypeCount> MapOverlayFolders = [] {
    std::array<std::string_view, kMapTypeCount> folders{};
    auto set = [&folders](TMapType t, std::string_view folder) { folders[Ord(t)] = folder; };
    set(TMapType::mtMapAbcHybrid, R"(\mapabc\overlay\)");
    set(TMapType::mtGoogleSatellite_EN, R"(\tianditu\overlay_s\)");
    set(TMapType::mtGoogleHybrid, R"(\googlemaps\overlay\)");
    set(TMapType::mtGoogleHybrid_NoLabel, R"(\googlemaps\overlay_nolabel\)");
    set(TMapType::mtSosoHybrid, R"(\sosomaps\overlay\)");
    set(TMapType::mtSosoTerrain, R"(\sosomaps\overlay_t\)");
    set(TMapType::mtBingHybrid, R"(\tianditu\overlay_s\)");
    set(TMapType::mtTDTRoadMap, R"(\tianditu\overlay_r\)");
    set(TMapType::mtTDTHybrid, R"(\tianditu\overlay_s\)");
    set(TMapType::mtTDTTerrain, R"(\tianditu\overlay_t\)");
    set(TMapType::mtNavInfoHybrid, R"(\NavInfo\overlay\)");
    set(TMapType::mtBaiduHybrid, R"(\baidumaps\overlay\)");
    return folders;
}();

const std::array<std::string_view, kImgTypeCount> ImgGdalDrivers = {"BMP",   "JPEG", "PNG",
                                                                    "GTiff", "JPEG", ".err"};
const std::array<std::string_view, kImgTypeCount> ImgFileExts = {".bmp", ".jpg", ".png",
                                                                 ".tif", ".jpg", ".err"};
const std::array<std::string_view, kImgTypeCount> ImgWorldFileExts = {".bpw", ".jgw", ".pgw",
                                                                      ".tfw", ".jgw", ".err"};

const std::array<std::string_view, 4> NokiaLayerNames = {"normal", "satellite", "hybrid",
                                                         "terrain"};
const std::array<std::string_view, 11> ServerLetters = {"a", "b", "c", "d", "e", "f",
                                                        "g", "h", "i", "j", "k"};
const std::array<std::string_view, 4> Baidu3DCities = {"北京", "上海", "广州", "深圳"};
const std::array<std::string_view, 4> Baidu3DCityCenters = {
    "39.914889,116.403874,16", "31.249162,121.487899,16", "23.120049,113.30765,16",
    "22.546054,114.025974,16"};

// "eu"/"Basque" stands twice (1 and 13) as stored: settings keep the index of the list.
const std::array<std::string_view, kMapLanguageCount> MapLanguageCodes = {
    "ar", "eu", "bg", "bn",    "ca",    "cs", "da", "de",    "el",    "en", "en-AU", "en-GB",
    "es", "eu", "fa", "fi",    "fil",   "fr", "gl", "gu",    "hi",    "hr", "hu",    "id",
    "it", "iw", "ja", "kn",    "ko",    "lt", "lv", "ml",    "mr",    "nl", "nn",    "no",
    "or", "pl", "pt", "pt-BR", "pt-PT", "rm", "ro", "ru",    "sk",    "sl", "sr",    "sv",
    "tl", "ta", "te", "th",    "tr",    "uk", "vi", "zh-CN", "zh-TW",
};

const std::array<std::string_view, kMapLanguageCount> MapLanguageNames = {
    "Arabic",
    "Basque",
    "Bulgarian",
    "Bengali",
    "Catalan",
    "Czech",
    "Danish",
    "German",
    "Greek",
    "English",
    "English (Australian)",
    "English (Great britai)",
    "Spanish",
    "Basque",
    "Farsi",
    "Finnish",
    "Filipino",
    "French",
    "Galician",
    "Gujarati",
    "Hindi",
    "Croatian",
    "Hungarian",
    "Indonesian",
    "Italian",
    "Hebrew",
    "Japanese",
    "Kannada",
    "Korean",
    "Lithuanian",
    "Latvian",
    "Malayalam",
    "Marathi",
    "Dutch",
    "Norwegian nynorsk",
    "Norwegian",
    "Oriya",
    "Polish",
    "Portuguese",
    "Portuguese (Brazil)",
    "Portuguese (Portugal)",
    "Romansch",
    "Romanian",
    "Russian",
    "Slovak",
    "Slovenian",
    "Serbian",
    "Swedish",
    "Tagalog",
    "Tamil",
    "Telugu",
    "Thai",
    "Turkish",
    "Ukrainian",
    "Vietnamese",
    "中文简体",
    "中文繁體",
};

const std::array<double, 24> ZoomScales = {
    591658710.909131, 295829355.454566, 147914677.727283, 73957338.863641, 36978669.431821,
    18489334.71591,   9244667.357955,   4622333.678978,   2311166.839489,  1155583.419744,
    577791.709872,    288895.854936,    144447.927468,    72223.963734,    36111.981867,
    18055.990934,     9027.995467,      4513.997733,      2256.998867,     1128.499433,
    564.249717,       282.124858,       141.062429,       70.53,
};

const std::array<double, 24> ZoomResolutions = {
    156543.0339, 78271.51696, 39135.75848, 19567.87924, 9783.939621, 4891.96981,
    2445.984905, 1222.992453, 611.496226,  305.748113,  152.874057,  76.437028,
    38.218514,   19.109257,   9.554629,    4.777314,    2.388657,    1.194329,
    0.597164,    0.298582,    0.149291,    0.074646,    0.037323,    0.0187,
};

TImgType DefaultImgType(TMapType mapType) {
    switch (mapType) {
        case TMapType::mtMapAbcRoadMap:
        case TMapType::mtGoogleRoadMap:
        case TMapType::mtGoogleRoadMap_NoLabel:
        case TMapType::mtSosoRoadMap:
        case TMapType::mtYahooRoadMap:
        case TMapType::mtNokiaRoadMap:
        case TMapType::mtNokiaSatellite:
        case TMapType::mtNokiaHybrid:
        case TMapType::mtNokiaTerrain:
        case TMapType::mtBingRoadMap_CN:
        case TMapType::mtBingRoadMap:
        case TMapType::mtSupermap:
        case TMapType::mtSmartearth:
        case TMapType::mtTDTRoadMap:
        case TMapType::mtOsmRoadMap:
        case TMapType::mtNavInfoRoadMap:
        case TMapType::mtBaiduRoadMap:
        case TMapType::mtBaidu3D:
            return TImgType::itPNG;
        default:
            return TImgType::itJPG;
    }
}

bool IsBaiduMapType(TMapType mapType) {
    return Ord(mapType) >= Ord(TMapType::mtBaiduRoadMap) &&
           Ord(mapType) <= Ord(TMapType::mtBaidu3D);
}

bool HasOverlay(TMapType mapType) {
    return !MapOverlayFolders[Ord(mapType)].empty();
}

}  // namespace engine
