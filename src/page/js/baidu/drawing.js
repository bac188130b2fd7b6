// Drawing on the Baidu page: the drawing tools with their area and length labels, and the
// areas the program asks the page to show.
import { polygonText, cornersText, shownText } from '../core/area_text.js';
import { areaLabel, lengthLabel } from '../core/labels.js';
import { polygonArea, pathLength, viewOnWorld } from '../core/geometry.js';
import { decodePolyline, rectangleCorners } from '../core/polyline.js';
import { pathStyle, mapLabel, toPoint, ringOf } from '../common/leaflet_parts.js';
import { hostPlotLatlngsEvent } from '../common/bridge.js';

const L = window.L;

const SHAPES = { marker: 'Marker', polyline: 'Line', polygon: 'Polygon', rectangle: 'Rectangle' };

// The bounds' corner nearest to where the drawing began, and the corner opposite it;
// south-west and north-east when the start is not known.
function firstAndOppositeCorner(bounds, start) {
  const south = bounds.getSouth(), north = bounds.getNorth();
  const west = bounds.getWest(), east = bounds.getEast();
  const atNorth = !!start && Math.abs(start.lat - north) < Math.abs(start.lat - south);
  const atEast = !!start && Math.abs(start.lng - east) < Math.abs(start.lng - west);
  return [
    L.latLng(atNorth ? north : south, atEast ? east : west),
    L.latLng(atNorth ? south : north, atEast ? west : east),
  ];
}

export class BaiduDrawing {
  constructor(zeb, customMarkers) {
    this.zeb = zeb;
    this.map = zeb.map;
    this.customMarkers = customMarkers;
    this.controlsShown = false;
    this.ruler = null;
    this.firstCorner = null; // where the rectangle being drawn was begun
    this.shapes = []; // everything of the drawings that a mass removal takes away
  }

  style() {
    return pathStyle(this.zeb.styleOptions || {});
  }

  initTools() {
    const map = this.map;
    if (!map.pm) return;
    map.pm.setLang('zh');
    map.pm.setGlobalOptions({
      pathOptions: this.style(),
      templineStyle: { color: this.style().color },
      hintlineStyle: { color: this.style().color, dashArray: [5, 5] },
      snappable: false,
      continueDrawing: false,
    });
    map.pm.addControls({
      position: 'topleft',
      drawMarker: true, drawPolyline: true, drawPolygon: true, drawRectangle: true, drawCircle: false,
      drawCircleMarker: false, drawText: false, editMode: false, dragMode: false, cutPolygon: false,
      removalMode: false, rotateMode: false,
    });
    this.controlsShown = true;
    this.zeb.scaledDrawingBar = true;
    map.on('pm:create', (e) => this.onCreated(e.shape, e.layer));
    // A rectangle reports the corner it was begun at first: the first map click of its drawing.
    map.on('pm:drawstart', (e) => {
      this.firstCorner = null;
      if (e.shape === 'Rectangle') map.once('click', (c) => { this.firstCorner = c.latlng; });
    });
    const self = this;
    this.zeb.drawingManager = {
      mode: null,
      setDrawingMode(mode) { this.mode = mode; },
      open() { self.open(this.mode || 'marker'); },
      close() { map.pm.disableDraw(); },
      getDrawingMode() { return this.mode; },
    };
  }

  open(mode) {
    this.map.pm.disableDraw();
    const shape = SHAPES[mode];
    if (shape) this.map.pm.enableDraw(shape);
  }

  setLabel(latlng, text) {
    if (this.zeb.label) this.map.removeLayer(this.zeb.label);
    this.zeb.label = text ? mapLabel(latlng, text).addTo(this.map) : null;
  }

  // Removes the previous drawings (shapes and labels); markers stay.
  clearShapes() {
    for (const layer of this.shapes) {
      try {
        if (layer.pm) layer.pm.disable();
        this.map.removeLayer(layer);
      } catch (e) {
        // ignored
      }
    }
    this.shapes = [];
    this.setLabel(null, '');
    this.zeb.customPolygon = null;
  }

  onCreated(shape, layer) {
    this.map.pm.disableDraw();
    if (shape === 'Marker') {
      const at = layer.getLatLng();
      this.map.removeLayer(layer);
      this.customMarkers.addDrawn(at);
      hostPlotLatlngsEvent('');
      return;
    }
    if (shape !== 'Rectangle' && shape !== 'Polygon' && shape !== 'Line') {
      this.map.removeLayer(layer); // not a tool of this page
      return;
    }
    this.clearShapes();
    let text;
    let target = layer;
    if (shape === 'Rectangle') {
      const b = layer.getBounds();
      const [first, opposite] = firstAndOppositeCorner(b, this.firstCorner);
      text = cornersText(toPoint(first), toPoint(opposite));
      // From here on the rectangle is edited as a polygon of its four corners.
      this.map.removeLayer(layer);
      target = L.polygon(rectangleCorners(b.getSouthWest(), b.getNorthEast()), this.style()).addTo(this.map);
    } else {
      text = polygonText(ringOf(layer));
    }
    this.shapes.push(target);
    this.zeb.customPolygon = target;
    hostPlotLatlngsEvent(text);
    if (shape === 'Line') this.updateLine(target, false);
    else this.updatePolygon(target, false);
    if (target.pm) {
      target.pm.enable({ allowSelfIntersection: true, draggable: false });
      target.on('pm:edit', () => (shape === 'Line' ? this.updateLine(target, true) : this.updatePolygon(target, true)));
    }
  }

  updatePolygon(layer, report) {
    const ring = ringOf(layer);
    if (report) hostPlotLatlngsEvent(polygonText(ring));
    this.setLabel(layer.getBounds().getCenter(), areaLabel(polygonArea(ring), this.zeb.showAreaLabel));
  }

  updateLine(layer, report) {
    const points = layer.getLatLngs().map(toPoint);
    if (report) hostPlotLatlngsEvent('');
    if (points.length) this.setLabel(points[points.length - 1], lengthLabel(pathLength(points)));
  }

  showCurrentView() {
    const b = this.map.getBounds();
    const v = viewOnWorld(b.getSouth(), b.getWest(), b.getNorth(), b.getEast());
    const ne = L.latLng(v.north, v.east);
    const sw = L.latLng(v.south, v.west);
    hostPlotLatlngsEvent(cornersText(toPoint(ne), toPoint(sw)));
    const corners = [ne, L.latLng(sw.lat, ne.lng), sw, L.latLng(ne.lat, sw.lng)];
    const polygon = L.polygon(corners, this.style()).addTo(this.map);
    this.shapes.push(polygon);
    this.zeb.customPolygon = polygon;
  }

  // Draws a stored area: two points stand for their rectangle, three or more for an outline.
  showBoundary(encoded) {
    const decoded = decodePolyline(encoded);
    if (decoded.length < 2) return false;
    const points = decoded.length === 2 ? rectangleCorners(decoded[0], decoded[1]) : decoded;
    const polygon = L.polygon(points.map((p) => [p.lat, p.lng]), this.style()).addTo(this.map);
    this.shapes.push(polygon);
    this.zeb.customPolygon = polygon;
    this.setLabel(L.latLng(points[0].lat, points[0].lng), areaLabel(polygonArea(points), this.zeb.showAreaLabel));
    this.map.fitBounds(polygon.getBounds(), { animate: false });
    hostPlotLatlngsEvent(shownText(decoded));
    return true;
  }
}
