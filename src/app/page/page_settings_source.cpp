#include "page_settings_source.h"

namespace app {

PageSettings PageSettingsFrom(const engine::TSettings& s) {
    using engine::BoolSetting;
    using engine::FloatSetting;
    using engine::IntSetting;
    using engine::StrSetting;
    PageSettings p;
    p.ShowCopyright = s.GetBoolSetting(BoolSetting::ShowCopyright);
    p.ShowResolutionMapScale = s.GetBoolSetting(BoolSetting::ShowResolutionMapScale);
    p.OfflineMode = s.GetBoolSetting(BoolSetting::OfflineMode);
    p.ShowCoordGrid = s.GetBoolSetting(BoolSetting::ShowCoordGrid);
    p.ShowAreaLabel = s.GetBoolSetting(BoolSetting::ShowAreaLabel);
    p.RoadMapTileVer = s.GetStrSetting(StrSetting::RoadMapTileVer);
    p.SatMapTileVer = s.GetStrSetting(StrSetting::SatMapTileVer);
    p.MapTypeIndex = s.GetIndexSetting(IntSetting::MapTypeIndex);
    p.Latitude = s.GetFloatSetting(FloatSetting::Latitude);
    p.Longitude = s.GetFloatSetting(FloatSetting::Longitude);
    p.ZoomLevel = s.GetIntSetting(IntSetting::ZoomLevel);
    p.MapLanguageCode = s.GetStrSetting(StrSetting::MapLanguageCode);
    p.MapSeverIndex = s.GetIndexSetting(IntSetting::MapSeverIndex);
    p.StyleParamsURL = s.GetStrSetting(StrSetting::StyleParamsURL);
    p.OutPutDirectory = s.GetStrSetting(StrSetting::OutPutDirectory);
    p.PolygonStrokeColor = s.GetStrSetting(StrSetting::PolygonStrokeColor);
    p.PolygonFillColor = s.GetStrSetting(StrSetting::PolygonFillColor);
    p.PolygonFillOpacity = s.GetIntSetting(IntSetting::PolygonFillOpacity);
    p.PolygonStrokeWeight = s.GetIntSetting(IntSetting::PolygonStrokeWeight);
    p.PolygonStrokeOpacity = s.GetIntSetting(IntSetting::PolygonStrokeOpacity);
    p.BNormalUDT = s.GetStrSetting(StrSetting::BNormalUDT);
    p.BNormalVer = s.GetStrSetting(StrSetting::BNormalVer);
    p.BSatelliteUDT = s.GetStrSetting(StrSetting::BSatelliteUDT);
    p.BSatelliteVer = s.GetStrSetting(StrSetting::BSatelliteVer);
    p.BSatelliteStreetUDT = s.GetStrSetting(StrSetting::BSatelliteStreetUDT);
    p.BSatelliteStreetVer = s.GetStrSetting(StrSetting::BSatelliteStreetVer);
    return p;
}

}  // namespace app
