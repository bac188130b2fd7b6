// The Google-family map page: start-up and the functions the program calls by script text.
import { fixed } from '../core/format.js';
import { decodePolyline, encodePolyline, parseLngLatList } from '../core/polyline.js';
import { ICONS, setMarkerTitle } from '../common/leaflet_parts.js';
import { PlaceMarkers, CustomMarkers } from '../common/markers.js';
import {
  publishWrappers, reportingReady, returnValue, hostMapZoomChangedEvent, hostMapCenterChangedEvent, hostMapMousemoveEvent,
} from '../common/bridge.js';
import { GoogleLayers, addCopyrightControl } from './layers.js';
import { GoogleDrawing, OverlayType } from './drawing.js';
import { GpsDisplay } from './gps.js';
import { Overview } from '../common/overview.js';

const L = window.L;
const zeb = window.zeb;

let layers = null;
let drawing = null;
let places = null;
let pois = null;
let gps = null;

// Errors of one removal step must not stop the others.
function guarded(fn) {
  try {
    fn();
  } catch (e) {
    // ignored
  }
}

function initialize() {
  const map = L.map('map_canvas', {
    center: [zeb.DEFAULT_LATITUDE, zeb.DEFAULT_LONGITUDE],
    zoom: zeb.DEFAULT_ZOOM,
    minZoom: 1,
    maxZoom: 21,
    zoomControl: false,
    attributionControl: false,
    worldCopyJump: false,
  });
  zeb.map = map;
  L.control.zoom({ position: 'topright', zoomInTitle: '放大', zoomOutTitle: '缩小' }).addTo(map);

  // Names the program's scripts use on the map object.
  map.setMapTypeId = (id) => layers.select(id);
  map.setMapType = (id) => layers.select(id);
  map.getMapTypeId = () => (layers.current >= 0 ? zeb.mapTypeIds[layers.current] : null);

  layers = new GoogleLayers(zeb);
  places = new PlaceMarkers(zeb, { reportClicks: true });
  pois = new CustomMarkers(zeb);
  drawing = new GoogleDrawing(zeb, pois);
  gps = new GpsDisplay(zeb);

  guarded(() => hostMapZoomChangedEvent(map.getZoom()));
  zeb.currentZoom = map.getZoom();
  map.on('zoomend', () => {
    zeb.currentZoom = map.getZoom();
    hostMapZoomChangedEvent(map.getZoom());
  });
  // The centre once a move has ended (a drag, its glide, a zoom): the program stores it, and
  // a report per frame would write the settings file on every frame.
  map.on('moveend', () => {
    const c = map.getCenter();
    hostMapCenterChangedEvent(c.lat, c.lng);
  });
  map.on('mousemove', (e) => hostMapMousemoveEvent(e.latlng.lat, e.latlng.lng));
  map.on('contextmenu', (e) => {
    // A right click on a vertex of the shape being edited removes that vertex only.
    const target = e.originalEvent && e.originalEvent.target;
    if (target && target.closest && target.closest('.marker-icon')) return;
    clearAllOverlays();
  });

  const index = Number(zeb.DEFAULT_MAPTYPE_INDEX);
  layers.select(index >= 0 && index < zeb.MAP_TYPES.length ? index : 0);
  // The overview in the corner, the scale above it.
  layers.overview = new Overview(map, () => layers.overviewLayer());
  L.control.scale({ position: 'bottomright', imperial: false }).addTo(map);
  if (zeb.showCoordGrid) layers.addGrid();
  drawing.initTools();
  drawing.show();
  if (zeb.showCopyright) {
    const refresh = addCopyrightControl(zeb, layers);
    layers.onChange = refresh;
  }
}

function changeMapType(id) {
  layers.changeMapType(id);
}

function setCenterAndZoom(lat, lng, zoom) {
  zeb.map.setView([Number(lat), Number(lng)], Number(zoom), { animate: false });
}

function fullView() {
  setCenterAndZoom(32.694866, 105.996094, 4);
}

function addCoordGrid() { layers.addGrid(); }
function removeCoordGrid() { layers.removeGrid(); }
function setStyleParams(text) { layers.setStyleParams(text); }
function setOfflineMode() { layers.setOfflineMode(true); }
function setOnlineMode() { layers.setOfflineMode(false); }
function addTrafficTileLayer() { layers.addTraffic(); }
function removeTrafficTileLayer() { layers.removeTraffic(); }
function getCurrentZoom() { return zeb.currentZoom; }
function showDrawingManager() { drawing.show(); }
function hideDrawingManager() { drawing.hide(); }

function showCurrentView() {
  drawing.showCurrentView();
}

function showBoundary(encoded) {
  return drawing.showBoundary(encoded);
}

function decodePath(encoded) {
  const text = decodePolyline(encoded).map((p) => `(${p.lat}, ${p.lng})`).join(',');
  return returnValue(text);
}

function encodePath(text) {
  return returnValue(encodePolyline(parseLngLatList(text)));
}

function clearAllOverlays() {
  guarded(() => drawing.removeShapeAndRuler());
  guarded(() => {
    if (zeb.marker) zeb.map.removeLayer(zeb.marker);
    zeb.marker = null;
  });
  guarded(() => zeb.map.closePopup());
  guarded(() => places.clear());
  guarded(() => gps.clear());
  guarded(() => drawing.removeClearButton());
}

function addNewMarker(id, lat, lng, center, name, address, telephone, tag) {
  places.add(id, Number(lat), Number(lng), !!center, name, address, telephone, tag);
}

function addMarker(lat, lng, zoom, title) {
  const la = Number(lat);
  const ln = Number(lng);
  const z = Math.max(Number(zoom) || 0, zeb.map.getZoom());
  setCenterAndZoom(la, ln, z);
  const positionTitle = (p) => `${fixed(p.lat, 6)},${fixed(p.lng, 6)}`;
  if (!zeb.marker) {
    zeb.marker = L.marker([la, ln], { icon: ICONS.redDot(), draggable: true });
    zeb.marker.on('dragend', () => setMarkerTitle(zeb.marker, positionTitle(zeb.marker.getLatLng())));
  } else {
    zeb.marker.setLatLng([la, ln]);
  }
  if (!zeb.map.hasLayer(zeb.marker)) zeb.marker.addTo(zeb.map);
  setMarkerTitle(zeb.marker, title ? String(title) : positionTitle({ lat: la, lng: ln }));
}

function addPOI(id, name, lat, lng, content, isTemp, center) {
  pois.add(id, name, Number(lat), Number(lng), content, !!isTemp, !!center);
}

function getPOIMarker(id) {
  return pois.find(id) || null;
}

function deletePOIMarker(id) { pois.deleteById(id); }
function deleteTempPOIMarkers() { pois.deleteTemporary(); }

function addNavigationMarker(lat, lng, satellites, altitude, time, text) {
  return gps.add(lat, lng, satellites, altitude, time, text);
}

function clearNavigationMarker() {
  guarded(() => gps.clear());
}

export function install() {
  publishWrappers();
  window.google = window.google || {};
  window.google.maps = window.google.maps || {};
  window.google.maps.drawing = { OverlayType };
  Object.assign(window, {
    initialize: reportingReady(initialize), changeMapType, setCenterAndZoom, fullView,
    addCoordGrid, removeCoordGrid, setStyleParams, setOfflineMode, setOnlineMode,
    addTrafficTileLayer, removeTrafficTileLayer, getCurrentZoom,
    showDrawingManager, hideDrawingManager, showCurrentView, showBoundary, decodePath, encodePath,
    clearAllOverlays, addNewMarker, addMarker, addPOI, getPOIMarker, deletePOIMarker,
    deleteTempPOIMarkers, addNavigationMarker, clearNavigationMarker,
  });
}
