#include "map_type_menu.h"

namespace app {

const std::vector<MapProvider>& MapProviders() {
    static const std::vector<MapProvider> providers{
        {"mniMapAMap", "高德地图", {{0, "街道图"}, {1, "卫星图"}, {2, "混合图"}}},
        {"mniMapGoogle",
         "谷歌地图",
         {{3, "街道图"},
          {4, "卫星图 "},
          {6, "混合图"},
          {5, "混合图(无偏移)"},
          {7, "地形图"},
          {8, "街道图(无标签)"},
          {9, "混合图(无标签)"},
          {10, "地形图(无标签)"}}},
        {"mniMapTencent",
         "腾讯地图",
         {{11, "街道图"}, {12, "卫星图"}, {13, "混合图"}, {14, "地形图"}}},
        {"mniMapYahoo", "雅虎地图", {{15, "街道图"}, {16, "卫星图"}}},
        {"mniMapNokia",
         "诺基亚图",
         {{17, "街道图"}, {18, "卫星图"}, {19, "混合图"}, {20, "地形图"}}},
        {"mniMapMicrosoft",
         "微软地图",
         {{21, "街道图(中国)"},
          {22, "街道图(无偏移)"},
          {23, "卫星图(无偏移)"},
          {24, "混合图(无偏移)"}}},
        {"mniMapArcGIS",
         "ArcGIS",
         {{27, "彩色版(含POI)"},
          {28, "彩色版(无POI)"},
          {29, "暖色版(无POI)"},
          {30, "冷色版(无POI)"},
          {31, "灰色版(无POI)"},
          {32, "中英文(含POI)"},
          {33, "卫星图(无偏移)"}}},
        {"mniMapTianditu",
         "天地图",
         {{34, "街道图(无偏移)"},
          {35, "卫星图(无偏移)"},
          {36, "混合图(无偏移)"},
          {37, "地形图(无偏移)"}}},
        {"mniMapNavInfo", "四维图新", {{43, "街道图"}, {44, "影像图"}}},
        {"mniMapBaidu",
         "百度地图",
         {{45, "街道图"}, {46, "卫星图"}, {47, "混合图"}, {48, "三维图"}}},
        {"mniMapOther",
         "其他地图",
         {{25, "Super Map"},
          {26, "SmartEarth"},
          {40, "英国1919-47"},
          {41, "Open Street Map"},
          {42, "世界夜间图(2012)"}}},
    };
    return providers;
}

const MapProvider* ProviderOf(int tag) {
    for (const MapProvider& provider : MapProviders()) {
        for (const MapTypeItem& item : provider.items) {
            if (item.tag == tag) {
                return &provider;
            }
        }
    }
    return nullptr;
}

const MapTypeItem* ItemOf(int tag) {
    for (const MapProvider& provider : MapProviders()) {
        for (const MapTypeItem& item : provider.items) {
            if (item.tag == tag) {
                return &item;
            }
        }
    }
    return nullptr;
}

ZoomRange ZoomLevelRange(engine::TMapType mapType, bool bigFontMode) {
    const int layer = static_cast<int>(mapType);
    switch (layer) {
        case 0:
            return {0, bigFontMode ? 19 : 18};
        case 3:
        case 4:
        case 5:
        case 6:
        case 8:
        case 9:
        case 17:
        case 18:
        case 19:
        case 20:
        case 23:
        case 24:
            return {0, 21};
        case 7:
        case 10:
        case 14:
            return {0, 15};
        case 16:
        case 45:
        case 46:
        case 47:
            return {1, 19};
        case 27:
        case 32:
        case 33:
            return {0, 17};
        case 28:
        case 29:
        case 30:
        case 31:
            return {0, 16};
        case 37:
            return {2, 14};
        case 38:
            return {1, 13};
        case 39:
            return {0, 11};
        case 40:
            return {4, 14};
        default:
            return {0, 18};
    }
}

ZoomItemStates ZoomItemsFor(ZoomRange range, const engine::TZoomLevelArray& selection) {
    ZoomItemStates states{};
    for (int level = 0; level < engine::kZoomLevelCount; ++level) {
        states[level].enabled = level >= range.low && level <= range.high;
        states[level].checked = states[level].enabled && selection[level].Checked;
    }
    return states;
}

QString MapTypeCaption(const QString& appTitle, int tag) {
    const MapProvider* provider = ProviderOf(tag);
    const MapTypeItem* item = ItemOf(tag);
    if (!provider || !item) {
        return appTitle;
    }
    return appTitle + QStringLiteral(" - ") + QString::fromUtf8(provider->caption) +
           QLatin1Char('-') + QString::fromUtf8(item->caption);
}

}  // namespace app
