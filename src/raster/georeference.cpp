#include "raster/georeference.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

#include "engine/core/atomic_file.h"
#include "engine/core/baidu_projection.h"
#include "engine/core/catalogue.h"
#include "engine/core/datum.h"
#include "engine/core/number_format.h"
#include "engine/core/text_helpers.h"
#include "engine/core/tile_math.h"

namespace raster {
namespace {

using engine::FormatInt;

using engine::kUtf8Bom;

// Every line ended by CR LF, the last one included.
std::string JoinLines(const std::vector<std::string>& lines, bool withBom) {
    std::string text = withBom ? std::string(kUtf8Bom) : std::string();
    for (const auto& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

std::string F15(double v) {
    return engine::FormatFixed(v, 15);
}

// The path with its last extension replaced (a.b.jpg -> a.b.txt).
std::filesystem::path WithExtension(const std::filesystem::path& file, std::string_view ext) {
    std::filesystem::path result = file;
    result.replace_extension(std::string(ext));
    return result;
}

// The ESRI ArcGIS 10.0 schema, XML Schema and XML Schema instance namespaces.
const std::string kNamespaces =
    "xmlns:typens=\"http://www.esri.com/schemas/ArcGIS/10.0\" "
    "xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" "
    "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"";

constexpr std::string_view kCacheWkt =
    "PROJCS[\"WGS_1984_Web_Mercator_Auxiliary_Sphere\",GEOGCS[\"GCS_WGS_1984\",DATUM[\"D_WGS_"
    "1984\",SPHEROID[\"WGS_1984\",6378137.0,298.257223563]],PRIMEM[\"Greenwich\",0.0],UNIT["
    "\"Degree\",0.0174532925199433]],PROJECTION[\"Mercator_Auxiliary_Sphere\"],PARAMETER["
    "\"False_Easting\",0.0],PARAMETER[\"False_Northing\",0.0],PARAMETER[\"Central_Meridian\","
    "0.0],PARAMETER[\"Standard_Parallel_1\",0.0],PARAMETER[\"Auxiliary_Sphere_Type\",0.0],UNIT["
    "\"Meter\",1.0],AUTHORITY[\"EPSG\",3857]]";

bool Write(const std::filesystem::path& file, const std::string& text, std::string* error) {
    return engine::WriteFileAtomic(file, text, error, {.mode = {}, .durable = true});
}

}  // namespace

const std::string_view kAuxWebMercatorSrs =
    "PROJCS[&quot;WGS_1984_Web_Mercator&quot;,GEOGCS[&quot;GCS_WGS_1984_Major_Auxiliary_Sphere&"
    "quot;,DATUM[&quot;WGS_1984_Major_Auxiliary_Sphere&quot;,SPHEROID[&quot;WGS_1984_Major_"
    "Auxiliary_Sphere&quot;,6378137.0,0.0]],PRIMEM[&quot;Greenwich&quot;,0.0],UNIT[&quot;Degree&"
    "quot;,0.0174532925199433]],PROJECTION[&quot;Mercator_1SP&quot;],PARAMETER[&quot;False_"
    "Easting&quot;,0.0],PARAMETER[&quot;False_Northing&quot;,0.0],PARAMETER[&quot;Central_"
    "Meridian&quot;,0.0],PARAMETER[&quot;latitude_of_origin&quot;,0.0],UNIT[&quot;Meter&quot;,"
    "1.0]]";

const std::string_view kAuxGeographicSrs =
    "GEOGCS[&quot;GCS_WGS_1984&quot;,DATUM[&quot;D_WGS_1984&quot;,SPHEROID[&quot;WGS_1984&quot;,"
    "6378137.0,298.257223563]],PRIMEM[&quot;Greenwich&quot;,0.0],UNIT[&quot;Degree&quot;,"
    "0.0174532925199433]]";

std::string FormatFloat12(double value) {
    return engine::FormatFixed(value, 12);
}

LevelExtent ComputeLevelExtent(const engine::TGLatLngBounds& bounds, int zoom, int tileSize,
                               TileGrid grid) {
    engine::TTileBound r;
    const auto& ne = bounds.NorthEast;
    const auto& sw = bounds.SouthWest;
    switch (grid) {
        case TileGrid::Geographic:
            engine::LatLngToTileXYGeo(zoom, ne.lat, ne.lng, r.MaxCol, r.MinRow);
            engine::LatLngToTileXYGeo(zoom, sw.lat, sw.lng, r.MinCol, r.MaxRow);
            break;
        case TileGrid::Baidu:
            // Rows grow northwards.
            engine::BaiduLatLngToTile(zoom, r.MaxCol, r.MaxRow, ne.lng, ne.lat);
            engine::BaiduLatLngToTile(zoom, r.MinCol, r.MinRow, sw.lng, sw.lat);
            break;
        case TileGrid::WebMercator:
            engine::LatLngToTileXY(zoom, ne.lat, ne.lng, r.MaxCol, r.MinRow);
            engine::LatLngToTileXY(zoom, sw.lat, sw.lng, r.MinCol, r.MaxRow);
            break;
    }
    return LevelExtentOf(r, zoom, tileSize, grid);
}

LevelExtent LevelExtentOf(const engine::TTileBound& range, int zoom, int tileSize, TileGrid grid) {
    LevelExtent e;
    e.range = range;
    e.grid = grid;
    auto& r = e.range;
    r.zoom = zoom;
    e.width = (std::int64_t{r.MaxCol} - r.MinCol + 1) * tileSize;
    e.height = (std::int64_t{r.MaxRow} - r.MinRow + 1) * tileSize;
    // Two opposite corners of the range.
    double lng1 = 0, lat1 = 0, lng2 = 0, lat2 = 0;
    switch (grid) {
        case TileGrid::Geographic: {
            // Tiles of 360 / 2^z degrees both ways, from longitude -180 and latitude 90.
            const double step = 360.0 / std::ldexp(1.0, zoom);
            lng1 = r.MinCol * step - 180;
            lng2 = (std::int64_t{r.MaxCol} + 1) * step - 180;
            lat1 = 90 - r.MinRow * step;
            lat2 = 90 - (std::int64_t{r.MaxRow} + 1) * step;
            break;
        }
        case TileGrid::Baidu: {
            // The north-west corner of the top-left tile and that of the tile beyond the
            // bottom-right one, in the map's own degrees.
            const auto nw = engine::BaiduTileToLatLng(r.MinCol, r.MaxRow, zoom);
            const auto se = engine::BaiduTileToLatLng(std::int64_t{r.MaxCol} + 1,
                                                      std::int64_t{r.MinRow} - 1, zoom);
            if (nw && se) {
                lng1 = nw->lng;
                lat1 = nw->lat;
                lng2 = se->lng;
                lat2 = se->lat;
            }
            break;
        }
        case TileGrid::WebMercator:
            engine::TileXYToLatLng(r.MinCol, r.MinRow, zoom, lng1, lat1);
            engine::TileXYToLatLng(std::int64_t{r.MaxCol} + 1, std::int64_t{r.MaxRow} + 1, zoom,
                                   lng2, lat2);
            break;
    }
    e.west = std::min(lng1, lng2);
    e.east = std::max(lng1, lng2);
    e.north = std::max(lat1, lat2);
    e.south = std::min(lat1, lat2);
    engine::LngLatToMercator(e.west, e.north, e.xw, e.yn);
    engine::LngLatToMercator(e.east, e.south, e.xe, e.ys);
    return e;
}

engine::TTileBound ClampToGrid(engine::TTileBound range, int zoom, TileGrid grid) {
    if (grid == TileGrid::Baidu) {
        return range;
    }
    engine::ClampToTileGrid(range, zoom, grid == TileGrid::Geographic);
    return range;
}

std::array<double, 6> GeoTransformOf(const LevelExtent& e) {
    const double width = static_cast<double>(e.width);
    const double height = static_cast<double>(e.height);
    if (e.grid == TileGrid::Geographic) {
        return {e.west, (e.east - e.west) / width, 0, e.north, 0, (e.south - e.north) / height};
    }
    return {e.xw, (e.xe - e.xw) / width, 0, e.yn, 0, (e.ys - e.yn) / height};
}

bool WriteGeoreferenceFiles(const std::filesystem::path& imageFile, const LevelExtent& e,
                            engine::TImgType imgType, std::array<double, 6>& geoTransform,
                            std::string* error) {
    geoTransform = GeoTransformOf(e);
    const double a = geoTransform[1];
    const double pixelHeight = geoTransform[5];
    const auto& r = e.range;

    // Plain ASCII: GDAL does not read a world file that starts with a byte-order mark.
    const std::vector<std::string> world = {
        FormatFloat12(a),
        FormatFloat12(0),
        FormatFloat12(0),
        FormatFloat12(pixelHeight),
        FormatFloat12(geoTransform[0] + a / 2),
        FormatFloat12(geoTransform[3] + pixelHeight / 2),
    };
    const auto worldExt = engine::ImgWorldFileExts[static_cast<int>(imgType)];
    if (!Write(WithExtension(imageFile, worldExt), JoinLines(world, false), error)) {
        return false;
    }

    const std::vector<std::string> info = {
        "图片宽度(像素):" + FormatInt(e.width),
        "图片高度(像素):" + FormatInt(e.height),
        "瓦片行范围:" + FormatInt(r.MinRow) + "-" + FormatInt(r.MaxRow),
        "瓦片列范围:" + FormatInt(r.MinCol) + "-" + FormatInt(r.MaxCol),
        "",
        "WGS84坐标系（经纬度坐标）",
        "左下角:" + F15(e.west) + "," + F15(e.south),
        "左上角:" + F15(e.west) + "," + F15(e.north),
        "右上角:" + F15(e.east) + "," + F15(e.north),
        "右下角:" + F15(e.east) + "," + F15(e.south),
        "",
        "Web墨卡托坐标系（地图原始坐标）",
        "左下角:" + FormatFloat12(e.xw) + "," + FormatFloat12(e.ys),
        "左上角:" + FormatFloat12(e.xw) + "," + FormatFloat12(e.yn),
        "右上角:" + FormatFloat12(e.xe) + "," + FormatFloat12(e.yn),
        "右下角:" + FormatFloat12(e.xe) + "," + FormatFloat12(e.ys),
    };
    if (!Write(WithExtension(imageFile, ".txt"), JoinLines(info, true), error)) {
        return false;
    }

    if (imgType != engine::TImgType::itTIFF) {
        std::filesystem::path aux = imageFile;
        aux += ".aux.xml";
        const std::string_view srs =
            e.grid == TileGrid::Geographic ? kAuxGeographicSrs : kAuxWebMercatorSrs;
        const std::string line = "<PAMDataset><SRS>" + std::string(srs) + "</SRS></PAMDataset>";
        if (!Write(aux, JoinLines({line}, true), error)) {
            return false;
        }
    }
    return true;
}

namespace {

// Metres per pixel of a Web Mercator level of `tileSize`-pixel tiles, from the formula and in
// the fewest digits that read back as the same double: readers place tiles by it, and the
// six-decimal table shifted them by up to some 200 m at the deepest levels.
double LevelResolution(int z, int tileSize) {
    return std::ldexp(156543.03392804097 * 256.0 / tileSize, -z);
}

std::string LevelResolutionText(int z, int tileSize) {
    const double resolution = LevelResolution(z, tileSize);
    char text[64];
    const auto end = std::to_chars(text, text + sizeof text, resolution, std::chars_format::fixed);
    return std::string(text, end.ptr);
}

// The map scale of that level: the stored one of 256-pixel tiles, smaller as the pixels are.
std::string LevelScaleText(int z, int tileSize) {
    return engine::FormatFixed(engine::ZoomScales[z] * 256.0 / tileSize, 6);
}

}  // namespace

bool WriteArcGISCacheConfig(const std::filesystem::path& cacheDir,
                            const engine::TGLatLngBounds& bounds,
                            const engine::TZoomLevelArray& zoomLevels, engine::TImgType imgType,
                            int tileSize, std::string* error) {
    if (tileSize <= 0) {
        tileSize = 256;
    }
    int highest = 0;
    for (int z = 0; z < engine::kZoomLevelCount; ++z) {
        if (zoomLevels[z].Checked) {
            highest = z;
        }
    }
    // The cache holds only the tiles that exist.
    const LevelExtent e =
        LevelExtentOf(ClampToGrid(ComputeLevelExtent(bounds, highest, tileSize).range, highest,
                                  TileGrid::WebMercator),
                      highest, tileSize);
    const std::string declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";

    const std::string cdi =
        declaration + " <EnvelopeN " + kNamespaces + " xsi:type=\"typens:EnvelopeN\">   <XMin>" +
        FormatFloat12(e.xw) + "</XMin>   <YMin>" + FormatFloat12(e.ys) + "</YMin>   <XMax>" +
        FormatFloat12(e.xe) + "</XMax>   <YMax>" + FormatFloat12(e.yn) + "</YMax></EnvelopeN>";
    if (!Write(cacheDir / "conf.cdi", JoinLines({cdi}, true), error)) {
        return false;
    }

    std::vector<std::string> lines;
    const std::string size = FormatInt(tileSize);
    lines.push_back(
        declaration + "<CacheInfo " + kNamespaces +
        " xsi:type=\"typens:CacheInfo\"><TileCacheInfo xsi:type=\"typens:TileCacheInfo\">"
        "<SpatialReference xsi:type=\"typens:ProjectedCoordinateSystem\"><WKT>" +
        std::string(kCacheWkt) +
        "</WKT><XOrigin>-20037700</XOrigin><YOrigin>-30241100</YOrigin>"
        "<XYScale>148923141.92838538</XYScale><ZOrigin>-100000</ZOrigin><ZScale>10000</ZScale>"
        "<MOrigin>-100000</MOrigin><MScale>10000</MScale><XYTolerance>0.001</XYTolerance>"
        "<ZTolerance>0.001</ZTolerance><MTolerance>0.001</MTolerance>"
        "<HighPrecision>true</HighPrecision><WKID>3857</WKID></SpatialReference>"
        "<TileOrigin xsi:type=\"typens:PointN\"><X>-20037508.3427892</X>"
        "<Y>20037508.3430388</Y></TileOrigin><TileCols>" +
        size + "</TileCols><TileRows>" + size +
        "</TileRows><DPI>96</DPI><LODInfos xsi:type=\"typens:ArrayOfLODInfo\">");
    for (int z = 0; z < engine::kZoomLevelCount; ++z) {
        if (zoomLevels[z].Checked) {
            lines.push_back("<LODInfo xsi:type=\"typens:LODInfo\"><LevelID>" + FormatInt(z) +
                            "</LevelID><Scale>" + LevelScaleText(z, tileSize) +
                            "</Scale><Resolution>" + LevelResolutionText(z, tileSize) +
                            "</Resolution></LODInfo>");
        }
    }
    lines.push_back(
        "</LODInfos></TileCacheInfo><TileImageInfo xsi:type=\"typens:TileImageInfo\">"
        "<CacheTileFormat>" +
        std::string(engine::ImgGdalDrivers[static_cast<int>(imgType)]) +
        "</CacheTileFormat><CompressionQuality>0</CompressionQuality><Antialiasing>false"
        "</Antialiasing></TileImageInfo><CacheStorageInfo xsi:type=\"typens:CacheStorageInfo\">"
        "<StorageFormat>esriMapCacheStorageModeExploded</StorageFormat><PacketSize>0"
        "</PacketSize></CacheStorageInfo></CacheInfo>");
    return Write(cacheDir / "conf.xml", JoinLines(lines, true), error);
}

}  // namespace raster
