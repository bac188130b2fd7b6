// The Baidu map page: start-up and the functions the program calls by script text.
import { fixed } from '../core/format.js';
import { decodePolyline } from '../core/polyline.js';
import { latlngToTile as tileOfPoint, tileToLatlng as cornerOfTile } from '../core/baidu_projection.js';
import { BAIDU_TILE_KINDS, BAIDU_MAP_TYPES, baiduMapTypeOfIndex } from '../core/baidu_tiles.js';
import { ICONS } from '../common/leaflet_parts.js';
import { UrlTileLayer } from '../common/leaflet_parts.js';
import { PlaceMarkers, CustomMarkers } from '../common/markers.js';
import {
  publishWrappers, reportingReady, returnValue, hostMapZoomChangedEvent, hostMapCenterChangedEvent, hostMapMousemoveEvent,
} from '../common/bridge.js';
import { BaiduCRS, baiduTileNumber } from './crs.js';
import { BaiduDrawing } from './drawing.js';
import { TrafficControl } from './traffic.js';
import { Overview } from '../common/overview.js';

const L = window.L;
const zeb = window.zeb;

const BaiduTileLayer = UrlTileLayer.extend({
  tileNumber: baiduTileNumber,
});

let drawing = null;
let places = null;
let pois = null;
let currentLayers = [];
let overview = null;

function guarded(fn) {
  try {
    fn();
  } catch (e) {
    // ignored
  }
}

function tileLayer(kind, type, zIndex) {
  return new BaiduTileLayer((x, y, z) => BAIDU_TILE_KINDS[kind](x, y, z, zeb), {
    minZoom: type.minZoom, maxZoom: type.maxZoom, tileSize: 256, zIndex, className: `baidu-${kind}`,
  });
}

function setMapType(name) {
  const key = String(name);
  const type = BAIDU_MAP_TYPES[key];
  if (!type) return;
  currentLayers.forEach((layer) => zeb.map.removeLayer(layer));
  currentLayers = type.kinds.map((kind, i) => tileLayer(kind, type, 1 + i).addTo(zeb.map));
  zeb.map.mapTypeName = key;
  if (overview) overview.follow();
}

// The base of the current layer for the overview map; levels below the layer's lowest are drawn
// from that level's tiles.
function overviewLayer() {
  const type = BAIDU_MAP_TYPES[zeb.map.mapTypeName];
  const kind = type.kinds[0];
  return new BaiduTileLayer((x, y, z) => BAIDU_TILE_KINDS[kind](x, y, z, zeb), {
    minZoom: 0, minNativeZoom: type.minZoom, maxZoom: type.maxZoom, tileSize: 256, className: 'overview-layer',
  });
}

function trafficLayer() {
  return new BaiduTileLayer((x, y, z) => BAIDU_TILE_KINDS.traffic(x, y, z), {
    minZoom: 3, maxZoom: 19, tileSize: 256, zIndex: 5, className: 'baidu-traffic',
  });
}

function initialize() {
  const map = L.map('map_canvas', {
    crs: BaiduCRS,
    center: [zeb.DEFAULT_LATITUDE, zeb.DEFAULT_LONGITUDE],
    zoom: zeb.DEFAULT_ZOOM,
    minZoom: 3,
    maxZoom: 19,
    zoomControl: false,
    attributionControl: false,
    inertia: true,
    keyboard: true,
    scrollWheelZoom: true,
  });
  zeb.map = map;
  zeb.projection = BaiduCRS.projection;
  L.control.zoom({ position: 'topright', zoomInTitle: '放大', zoomOutTitle: '缩小' }).addTo(map);

  // Names the program's scripts use on the map object.
  map.setMapType = setMapType;
  map.getMapType = () => map.mapTypeName;
  map.setCurrentCity = (city) => { map.currentCity = String(city); };

  zeb.DEFAULT_MAPTYPE = baiduMapTypeOfIndex(zeb.DEFAULT_MAPTYPE_INDEX);
  setMapType(zeb.DEFAULT_MAPTYPE);
  if (zeb.DEFAULT_MAPTYPE === 'BMAP_PERSPECTIVE_MAP') {
    map.setCurrentCity('北京');
    setCenterAndZoom(39.915, 116.4035, 16);
  }
  // The overview in the corner, the scale above it.
  overview = new Overview(map, overviewLayer);
  L.control.scale({ position: 'bottomright', imperial: false }).addTo(map);
  guarded(() => hostMapZoomChangedEvent(zeb.DEFAULT_ZOOM));

  pois = new CustomMarkers(zeb);
  drawing = new BaiduDrawing(zeb, pois);
  drawing.initTools();
  zeb.trafficControl = new TrafficControl(trafficLayer, (shown) => { zeb.hasTrafficTileLayer = shown; }, {
    position: 'topleft', offset: [10, 15],
  }).addTo(map);
  map.on('moveend', () => {
    const c = map.getCenter();
    hostMapCenterChangedEvent(c.lat, c.lng);
  });
  map.on('contextmenu', (e) => {
    const target = e.originalEvent && e.originalEvent.target;
    if (target && target.closest && target.closest('.marker-icon')) return;
    clearAllOverlays();
  });
  map.on('mousemove', (e) => hostMapMousemoveEvent(e.latlng.lat, e.latlng.lng));
  map.on('zoomend', () => hostMapZoomChangedEvent(map.getZoom()));
  places = new PlaceMarkers(zeb, { reportClicks: false });
}

function setCenterAndZoom(lat, lng, zoom) {
  zeb.map.setView([Number(lat), Number(lng)], Number(zoom), { animate: false });
}

function fullView() {
  setCenterAndZoom(32.694866, 105.996094, 4);
}

function clearAllOverlays() {
  guarded(() => drawing.clearShapes());
  guarded(() => {
    if (zeb.marker) zeb.map.removeLayer(zeb.marker);
    zeb.marker = null;
  });
  // Custom markers stay, but their name labels go with the other overlays.
  guarded(() => zeb.pois.forEach((m) => m.unbindTooltip()));
  guarded(() => places.clear());
}

function showCurrentView() {
  clearAllOverlays();
  drawing.showCurrentView();
}

function showBoundary(encoded) {
  clearAllOverlays();
  return drawing.showBoundary(encoded);
}

function decodePath(encoded) {
  return returnValue(decodePolyline(encoded).map((p) => `${p.lat},${p.lng}`).join(','));
}

function addNewMarker(id, lat, lng, center, name, address, telephone, tag) {
  places.add(id, Number(lat), Number(lng), !!center, name, address, telephone, tag);
}

function addMarker(lat, lng, zoom) {
  clearAllOverlays();
  const la = Number(lat);
  const ln = Number(lng);
  setCenterAndZoom(la, ln, zoom);
  zeb.marker = L.marker([la, ln], { icon: ICONS.redDot(), title: `${fixed(la, 8)},${fixed(ln, 8)}` }).addTo(zeb.map);
}

function addPOI(id, name, lat, lng, content, isTemp, center) {
  pois.add(id, name, Number(lat), Number(lng), content, !!isTemp, !!center);
}

function getPOIMarker(id) {
  return pois.find(id) || null;
}

function deletePOIMarker(id) { pois.deleteById(id); }
function deleteTempPOIMarkers() { pois.deleteTemporary(); }

function addTrafficTileLayer() { zeb.trafficControl.showTraffic(); }
function removeTrafficTileLayer() { zeb.trafficControl.hideTraffic(); }

// The provider's boundary service is not reachable from this page: nothing is drawn.
function getBoundary() {
  clearAllOverlays();
  return false;
}

function latlngToTile(lat, lng, zoom) {
  return tileOfPoint(Number(lat), Number(lng), Number(zoom)).text;
}

function tileToLatlng(tile, zoom) {
  return cornerOfTile(tile, Number(zoom));
}

export function install() {
  publishWrappers();
  Object.assign(window, {
    initialize: reportingReady(initialize), setCenterAndZoom, fullView, showCurrentView, showBoundary,
    decodePath, clearAllOverlays,
    addNewMarker, addMarker, addPOI, getPOIMarker, deletePOIMarker, deleteTempPOIMarkers,
    addTrafficTileLayer, removeTrafficTileLayer, getBoundary, latlngToTile, tileToLatlng,
    BMAP_DRAWING_MARKER: 'marker', BMAP_DRAWING_POLYLINE: 'polyline', BMAP_DRAWING_POLYGON: 'polygon',
    BMAP_DRAWING_RECTANGLE: 'rectangle',
  });
}
