// The page's table of its 45 layers and the tile URL of each layer (online and offline).
import { format } from './format.js';
import { HOSTS } from './hosts.js';
import { tencentTileName, quadKey, navInfoTilePath, wmsBox, nightTilePath } from './tile_names.js';
import { offlineTileUrl, offlineOverlayUrl } from './offline.js';

export const NOKIA_TOKES = ['normal', 'satellite', 'hybrid', 'terrain'];
export const STYLEMAP_NOLABEL = '&apistyle=s.e%3Al%7Cp.v%3Aoff&style=47,37%7Csmartmaps';
export const NOKIA_TOKEN = 'Qm7vTz2LpX9aRc4Nw8YbKe';
export const NOKIA_APP_ID = '7hWqZp3LmNc5TxRa9KdV';
export const ARCGIS_CHINA_ROOT = HOSTS.arcgisChina + '/ArcGIS/rest/services/';
export const ESRI_CHINA_COPYRIGHT = '@esrichina GS(2010)6011 Data ©AutoNavi';

// Index names of the page object, in layer order.
export const LAYER_INDEX_NAMES = [
  'MAPABC_ROAD', 'MAPABC_SATELLITE', 'MAPABC_HYBRID', 'GOOGLE_ROAD', 'GOOGLE_SATELLITE',
  'GOOGLE_SATELLITE_EN', 'GOOGLE_HYBRID', 'GOOGLE_TERRAIN', 'GOOGLE_ROAD_NOLABEL',
  'GOOGLE_HYBRID_NOLABEL', 'GOOGLE_TERRAIN_NOLABEL', 'SOSO_ROAD', 'SOSO_SATELLITE', 'SOSO_HYBRID',
  'SOSO_TERRAIN', 'YAHOO_ROAD', 'YAHOO_SATELLITE', 'NOKIA_ROAD', 'NOKIA_SATELLITE', 'NOKIA_HYBRID',
  'NOKIA_TERRAIN', 'BING_ROAD_CN', 'BING_ROAD', 'BING_SATELLITE', 'BING_HYBRID', 'SUPERMAP_ROAD',
  'SMARTEARTH_ROAD', 'ARCGIS_Community', 'ARCGIS_StreetColor', 'ARCGIS_StreetWarm',
  'ARCGIS_StreetCold', 'ARCGIS_StreetGray', 'ARCGIS_CommunityENG', 'ARCGIS_SATELLITE', 'TDT_ROAD',
  'TDT_SATELLITE', 'TDT_HYBRID', 'TDT_TERRAIN', 'TOPOMAPPER_TERRAIN', 'PhysicalRelief',
  'HISTORIC_NLSMAP', 'OSM_ROAD', 'EARTH_NIGHT', 'NAVINFO_ROAD', 'NAVINFO_HYBRID',
];

// Layers that carry a label overlay.
export const OVERLAY_LAYERS = [42, 24, 6, 9, 13, 14, 2, 34, 36, 37, 5, 44];

const AMAP_CR = '©高德软件 AutoNavi GS(2012) 6035号';
const SAT_CR = 'Imagery ©2014 Cnes/Spot Image,DigitalGlobe,GeoEye';
const HYB_CR = 'Imagery ©2014 TerraMetrics, Data ©2014 GS(2011)6020 AutoNavi';
const TER_CR = 'Data ©2014 GS(2011)6020 AutoNavi';
const TDT_CR = '国家测绘地理信息局 - GS(2012)6013号';
const AFL_CR = 'Image data hosted by Aflogis';
const NAV_CR = '©Navinfo - GS(2011)6002号';

const arcgis = (service) => `${ARCGIS_CHINA_ROOT}${service}/MapServer/tile/{0}/{1}/{2}`;
const nokia = `${HOSTS.nokia}/maptile/2.1/maptile/newest/{1}.day/{2}/{3}/{4}/256/png8?lg=CHI&token=${NOKIA_TOKEN}&app_id=${NOKIA_APP_ID}`;

// Builds the table from the page object's versions, language and Google host.
export function buildMapTypes(zeb) {
  const ms = zeb.mapsever || HOSTS.googleChinaPattern;
  const gc = HOSTS.googleChina;
  const lang = zeb.languageCode;
  const hd = zeb.GOOGLE_HD_VER || '';
  const style = zeb.STYLE_PARAMS_URL || '';
  const m = zeb.GOOGLE_M_VER;
  const h = zeb.GOOGLE_H_VER;
  const s = zeb.GOOGLE_S_VER;
  const googleSat = `${ms}/vt/lyrs=s@${s}&hl=${lang}&gl=cn&src=app&x={1}&y={2}&z={3}&s=Galileo${hd}`;
  const googleLabels = `${ms}/vt/imgtp=png32&lyrs=h@${h}&hl=${lang}&gl=cn&src=app&x={1}&y={2}&z={3}&s=Galileo${hd}${style}`;
  const tdtOn = (host, t, k = ['x', 'y', 'l']) => `${host}/DataServer?T=${t}&${k[0]}={1}&${k[1]}={2}&${k[2]}={3}`;
  const tdt = (t, k) => tdtOn(HOSTS.tianditu, t, k);
  const tdtLabels = (t, k) => tdtOn(HOSTS.tiandituAnnotation, t, k);
  const tdtLabelsS = tdtLabels('cia_w');
  const row = (id, name, tileUrl, ext, overlayTileUrl, copyright) =>
    ({ id, name, tileUrl, ext, overlayTileUrl, copyright });
  return [
    row('MAPABC_ROAD', 'AMap Road', `${HOSTS.amapRoad}/appmaptile?x={1}&y={2}&z={3}&lang=zh_cn&size=1&scale=1&style=8`, 'png', '', AMAP_CR),
    row('MAPABC_SATELLITE', 'AMap satellite', `${HOSTS.amapSatellite}/appmaptile?x={1}&y={2}&z={3}&lang=zh_cn&size=1&scale=1&style=6`, 'jpg', '', AMAP_CR),
    row('MAPABC_HYBRID', 'AMap hybrid', `${HOSTS.amapSatellite}/appmaptile?lang=zh_cn&size=1&scale=1&style=6&x={1}&y={2}&z={3}`, 'jpg',
      `${HOSTS.amapSatellite}/appmaptile?lang=zh_cn&size=1&scale=1&style=8&x={1}&y={2}&z={3}`, AMAP_CR),
    row('GOOGLE_ROAD', 'google road', `${ms}/vt/lyrs=m@${m}&hl=${lang}&gl=cn&src=app&x={1}&y={2}&z={3}&s=Galileo${hd}${style}`, 'png', '', '©Google GS(2011)6020 AutoNavi'),
    row('GOOGLE_SATELLITE', 'google satellite', `${ms}/vt/lyrs=s@${s}&hl=${lang}&gl=cn&x={1}&y={2}&z={3}&s=Galileo${hd}`, 'jpg', '', SAT_CR),
    row('GOOGLE_SATELLITE_EN', 'google satellite en', `${HOSTS.googleImagery}/kh/v=${s}&x={1}&y={2}&z={3}&s=Galileo`, 'jpg', '', SAT_CR),
    row('GOOGLE_HYBRID', 'google hybrid', googleSat, 'jpg', googleLabels, HYB_CR),
    row('GOOGLE_TERRAIN', 'google terrain', `${ms}/vt/lyrs=t@132,r@${m}&hl=${lang}&gl=cn&src=app&x={1}&y={2}&z={3}&s=Gali${hd}${style}`, 'jpg', '', TER_CR),
    row('GOOGLE_ROAD_NOLABEL', 'GOOGLE_ROAD_NOLABEL', `${gc}/vt/lyrs=m@${m}&hl=zh-CN&gl=cn&src=app&x={1}&y={2}&z={3}&s=Galileo${STYLEMAP_NOLABEL}${hd}`, 'png', '', TER_CR),
    row('GOOGLE_HYBRID_NOLABEL', 'google hybrid no label', googleSat, 'jpg',
      `${ms}/vt/imgtp=png32&lyrs=h@${h}&hl=${lang}&gl=cn&src=app&x={1}&y={2}&z={3}&s=Galil${STYLEMAP_NOLABEL}${hd}`, HYB_CR),
    row('GOOGLE_TERRAIN_NOLABEL', 'google terrain nolabel', `${ms}/vt/lyrs=t@132,r@${m}&hl=${lang}&gl=cn&src=app&x={1}&y={2}&z={3}&s=Gali${STYLEMAP_NOLABEL}${hd}`, 'jpg', '', TER_CR),
    row('SOSO_ROAD', 'soso road', `${HOSTS.tencent}/maptilesv3/{1}.png`, 'png', '', '©2014 Tencent - GS(2014)6026号 Data ©NavInfo'),
    row('SOSO_SATELLITE', 'soso satellite', `${HOSTS.tencent}/sateTiles/{1}.jpg`, 'jpg', '', '©2014 Tencent - GS(2014)6026号 Imagery ©DigitalGlobe,Chinasiwei'),
    row('SOSO_HYBRID', 'soso hybrid', `${HOSTS.tencent}/sateTiles/{1}.jpg`, 'jpg', `${HOSTS.tencent}/sateTranTilesv3/{1}.png`,
      '©2014 Tencent - GS(2014)6026号 Imagery ©DigitalGlobe,Chinasiwei,Data ©NavInfo'),
    row('SOSO_TERRAIN', 'soso TERRAIN', `${HOSTS.tencent}/demTiles/{1}.jpg`, 'jpg', `${HOSTS.tencent}/demTranTiles/{1}.png`,
      '©2014 Tencent - GS(2013)6030号  Data© CIAT,Data©  AutoNav'),
    row('YAHOO_ROAD', 'yahoo road', `${HOSTS.aliyun}/get_png?v=v6&x={0}&y={1}&z={2}`, 'png', '', '©2014 Aliyun-Map Data ©AutoNavi GS(2010)6011'),
    row('YAHOO_SATELLITE', 'yahoo satellite', `${HOSTS.yahooImagery}/ae/ximg?v=1.9&t=a&s=256&r=1&x={0}&y={1}&z={2}`, 'png', '', '©2014 Yahoo Maps'),
    row('NOKIA_ROAD', 'nokia road', nokia, 'png', '', '©2014 Nokia'),
    row('NOKIA_SATELLITE', 'nokia satellite', nokia, 'png', '', '©2014 Nokia'),
    row('NOKIA_HYBRID', 'nokia hybrid', nokia, 'png', '', '©2014 Nokia'),
    row('NOKIA_TERRAIN', 'nokia terrain', nokia, 'png', '', '©2014 Nokia'),
    row('BING_ROAD_CN', 'bing maps cn', `${HOSTS.bingChina}/tiles/r{1}.png?g=96&mkt=zh-cn`, 'png', '', '©2014 AutoNavi ©2014 Microsoft'),
    row('BING_ROAD', 'bing maps', `${HOSTS.bing}/tiles/r{1}.png?g=2560`, 'png', '', '©2014 Nokia ©2014 Microsoft'),
    row('BING_SATELLITE', 'bing satellite', `${HOSTS.bing}/tiles/a{1}.jpeg?g=2560&mkt=en&n=z`, 'jpg', '', '©2014 Microsoft'),
    row('BING_HYBRID', 'bing hybrid', `${HOSTS.bing}/tiles/a{1}.jpeg?g=2560&mkt=en&n=z`, 'jpg', tdtLabelsS, '©2014 Microsoft'),
    row('SUPERMAP_ROAD', 'supermap road', `${HOSTS.supermap}/FileService/image?map=quanguo&type=web&x={0}&y={1}&z={2}`, 'png', '', '©2014 SuperMap - GS(2011)6014号'),
    row('SMARTEARTH_ROAD', 'smartearth road', `${HOSTS.smartearth}/SE_PIR?desc=emgutm&uid=smartearth&x={0}&y={1}&lev={2}`, 'png', '', '©2014 SmartEarth - GS(2012)6024号'),
    row('ARCGIS_COMMUNITY', 'ARCGIS_Community', arcgis('ChinaOnlineCommunity'), 'png', '', ESRI_CHINA_COPYRIGHT),
    row('ARCGIS_STREETCOLOR', 'ARCGIS_StreetColor', arcgis('ChinaOnlineStreetColor'), 'png', '', ESRI_CHINA_COPYRIGHT),
    row('ARCGIS_STREETWARM', 'ARCGIS_StreetWarm', arcgis('ChinaOnlineStreetWarm'), 'png', '', ESRI_CHINA_COPYRIGHT),
    row('ARCGIS_STREETCOLD', 'ARCGIS_StreetCold', arcgis('ChinaOnlineStreetCold'), 'png', '', ESRI_CHINA_COPYRIGHT),
    row('ARCGIS_STREETGRAY', 'ARCGIS_StreetGray', arcgis('ChinaOnlineStreetGray'), 'png', '', ESRI_CHINA_COPYRIGHT),
    row('ARCGIS_COMMUNITYENG', 'ARCGIS_CommunityENG', arcgis('ChinaOnlineCommunityENG'), 'png', '', ESRI_CHINA_COPYRIGHT),
    row('ARCGIS_SATELLITE', 'ARCGIS_SATELLITE', `${HOSTS.arcgisWorld}/ArcGIS/rest/services/World_Imagery/MapServer/tile/{0}/{1}/{2}`, 'jpg', '', ESRI_CHINA_COPYRIGHT),
    row('TIANDITU_ROAD', 'tianditu road', tdt('vec_w'), 'png', tdtLabels('cva_w'), TDT_CR),
    row('TIANDITU_SATELLITE', 'tianditu satellite', tdt('img_w'), 'jpg', '', TDT_CR),
    row('TIANDITU_HYBRID', 'tianditu hybrid', tdt('img_w'), 'jpg', tdtLabelsS, TDT_CR),
    row('TIANDITU_TERRAIN', 'tianditu terrain', tdt('ter_w', ['X', 'Y', 'L']), 'jpg', tdtLabels('cta_w', ['X', 'Y', 'L']), TDT_CR),
    row('TOPOMAPPER_TERRAIN', 'Topomapper terrain', `${HOSTS.topomapper}/cgi-bin/tilecache-2.11b/tilecache.py?LAYERS=topomapper_gmerc&FORMAT=image%2Fjpeg&SERVICE=WMS&VERSION=1.1.1&REQUEST=GetMap&STYLES=&SRS=EPSG%3A900913&BBOX={0}&WIDTH=256&HEIGHT=256`, 'jpg', '', AFL_CR),
    row('physical_relief_map', 'physical_relief_map', `${HOSTS.topomapper}/cgi-bin/tilecache-2.10/tilecache.py?LAYERS=relief_physical_z&FORMAT=image%2Fjpeg&SERVICE=WMS&VERSION=1.1.1&REQUEST=GetMap&STYLES=&SRS=EPSG%3A900913&BBOX={0}&WIDTH=256&HEIGHT=256`, 'jpg', '', AFL_CR),
    row('HISTORIC_NLSMAP', 'HISTORIC_NLSMAP', `${HOSTS.historic}/nls/{1}/{2}/{3}.jpg`, 'jpg', '', AFL_CR),
    row('OSM_ROAD', 'OSM_ROAD', `${HOSTS.osm}/{1}/{2}/{3}.png`, 'png', '', 'Image data hosted by OSM'),
    row('EARTH_NIGHT', 'EARTH_NIGHT', '', 'jpg',
      `${gc}/vt?lyrs=m@${m}&hl=${lang}&x={1}&y={2}&z={3}&s=Gal&apistyle=s.t%3A3%7Cp.v%3Aoff%2Cs.t%3A4%7Cp.v%3Aoff%2Cs.t%3A2%7Cp.v%3Aoff%2Cs.t%3A6%7Cp.v%3Aoff%2Cs.t%3A21%7Cp.v%3Aoff&style=4,37%7Csmartmaps`, '@2013 NASA'),
    row('NAVINFO_ROAD', 'NAVINFO_ROAD', `${HOSTS.navinfo}/vi/{0}.png`, 'png', '', NAV_CR),
    row('NAVINFO_HYBRID', 'NAVINFO_HYBRID', `${HOSTS.navinfo}/vis/{0}.jpg`, 'jpg', `${HOSTS.navinfo}/vis2/{0}.png`, NAV_CR),
  ];
}

// Zoom range of each layer.
export function zoomRange(layer) {
  if (layer <= 2) return [1, 18];
  if (layer <= 10) return layer === 7 || layer === 10 ? [1, 15] : [1, 21];
  if (layer <= 14) return layer === 14 ? [2, 15] : [2, 18];
  if (layer <= 16) return [3, 17];
  if (layer <= 20) return [1, 20];
  if (layer <= 24) return layer >= 23 ? [1, 19] : [1, 18];
  if (layer <= 26) return [1, 18];
  if (layer <= 33) return layer === 27 || layer === 32 || layer === 33 ? [1, 17] : [1, 16];
  if (layer <= 37) return [1, 18];
  if (layer === 38) return [1, 13];
  if (layer === 39) return [1, 11];
  if (layer === 40) return [4, 14];
  return [1, 18];
}

export function isInsideWorld(x, y, z) {
  const n = Math.pow(2, z);
  return Number.isInteger(x) && Number.isInteger(y) && x >= 0 && y >= 0 && x < n && y < n;
}

// rand(n) draws 0 .. n-1, each value equally likely.
export const defaultRand = (n) => Math.floor(Math.random() * n);

// Online URL of a base tile, or null outside the world.
export function onlineTileUrl(types, layer, x, y, z, rand = defaultRand) {
  if (!isInsideWorld(x, y, z)) return null;
  const t = types[layer].tileUrl;
  if (layer <= 2) return format(t, rand(4) + 1, x, y, z);
  if (layer <= 10) return format(t, rand(4), x, y, z);
  if (layer <= 14) return format(t, rand(4), tencentTileName(x, y, z));
  if (layer === 15) return format(t, x, y, z);
  if (layer === 16) return format(t, x, Math.pow(2, z - 1) - 1 - y, z + 1);
  if (layer <= 20) return format(t, rand(4) + 1, NOKIA_TOKES[layer - 17], z, x, y);
  if (layer <= 24) return format(t, rand(4), quadKey(x, y, z));
  if (layer <= 26) return format(t, x, y, z);
  if (layer <= 33) return format(t, z, y, x);
  if (layer <= 37) return format(t, rand(7), x, y, z);
  if (layer <= 39) return format(t, wmsBox(x, y, z));
  if (layer === 40) return format(t, rand(5), z, x, y);
  if (layer === 41) return format(t, 'abc'[rand(3)], z, x, y);
  if (layer === 42) return HOSTS.night + nightTilePath(x, y, z);
  return format(t, navInfoTilePath(x, y, z));
}

// Online URL of a label overlay tile, or null (outside the world, or no overlay).
export function onlineOverlayUrl(types, layer, x, y, z, rand = defaultRand) {
  if (!isInsideWorld(x, y, z)) return null;
  switch (layer) {
    case 6: case 9: case 42:
      return format(types[layer].overlayTileUrl, rand(4), x, y, z);
    case 2:
      return format(types[layer].overlayTileUrl, rand(4) + 1, x, y, z);
    case 13: case 14:
      return format(types[layer].overlayTileUrl, rand(4), tencentTileName(x, y, z));
    case 44:
      return format(types[layer].overlayTileUrl, navInfoTilePath(x, y, z));
    case 34: case 36: case 37:
      return format(types[layer].overlayTileUrl, rand(7), x, y, z);
    case 24:
      return format(types[36].overlayTileUrl, rand(4), x, y, z);
    case 5:
      return format(types[z < 10 ? 6 : 36].overlayTileUrl, rand(4), x, y, z);
    default:
      return null;
  }
}

// The URL a base tile is shown from in the current mode (the night layer has no offline form).
export function tileUrl(zeb, layer, x, y, z, rand = defaultRand) {
  if (!isInsideWorld(x, y, z)) return null;
  if (zeb.offlineMode && layer !== 42) return offlineTileUrl(zeb.TILE_PATH, layer, x, y, z, zeb.MAP_TYPES[layer].ext);
  return onlineTileUrl(zeb.MAP_TYPES, layer, x, y, z, rand);
}

export function overlayUrl(zeb, layer, x, y, z, rand = defaultRand) {
  if (!isInsideWorld(x, y, z)) return null;
  if (zeb.offlineMode) return offlineOverlayUrl(zeb.TILE_PATH, layer, x, y, z);
  return onlineOverlayUrl(zeb.MAP_TYPES, layer, x, y, z, rand);
}

export const TRAFFIC_URL = HOSTS.amapTraffic + '/trafficengine/mapabc/traffictile?v=1.0&t=1&zoom={0}&x={1}&y={2}';

export function trafficTileUrl(x, y, z) {
  if (!isInsideWorld(x, y, z) || z < 7 || z > 17) return null;
  return format(TRAFFIC_URL, 17 - z, x, y);
}
