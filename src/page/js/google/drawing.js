// Drawing on the Google-family page: the drawing tools, the area shape with its texts and
// labels, the measuring line and the single clear button.
import { polygonText, rectangleText, circleText, shownText } from '../core/area_text.js';
import { areaLabel, lengthLabel } from '../core/labels.js';
import { polygonArea, circleArea, pathLength, viewOnWorld } from '../core/geometry.js';
import { decodePolyline } from '../core/polyline.js';
import { pathStyle, toPoint, ringOf } from '../common/leaflet_parts.js';
import { hostPlotLatlngsEvent, hostMapMousemoveEvent } from '../common/bridge.js';

const L = window.L;

// Names the program uses for the drawing modes.
export const OverlayType = {
  MARKER: 'marker', POLYLINE: 'polyline', CIRCLE: 'circle', POLYGON: 'polygon', RECTANGLE: 'rectangle',
};
const GEOMAN_SHAPES = {
  marker: 'Marker', polyline: 'Line', circle: 'Circle', polygon: 'Polygon', rectangle: 'Rectangle',
};

export class GoogleDrawing {
  constructor(zeb, customMarkers) {
    this.zeb = zeb;
    this.map = zeb.map;
    this.customMarkers = customMarkers;
    this.controlsShown = false;
    this.redDot = null;
  }

  style() {
    return pathStyle(this.zeb.polyOptions || {});
  }

  // --- drawing tools -------------------------------------------------------------------
  initTools() {
    const map = this.map;
    if (!map.pm) return;
    map.pm.setLang('zh');
    map.pm.setGlobalOptions({
      pathOptions: this.style(),
      templineStyle: { color: this.style().color },
      hintlineStyle: { color: this.style().color, dashArray: [5, 5] },
      markerStyle: { draggable: true, icon: L.icon({ iconUrl: 'mapfiles/markers2/red-dot.svg', iconSize: [32, 32], iconAnchor: [16, 32] }) },
      snappable: false,
      continueDrawing: false,
      removeVertexOn: 'contextmenu',
    });
    map.on('pm:create', (e) => this.onCreated(e.shape, e.layer));
    const zeb = this.zeb;
    const self = this;
    zeb.drawingManager = {
      setDrawingMode(mode) { self.setMode(mode); },
      getDrawingMode() { return self.mode || null; },
      open() { self.show(); },
      close() { self.setMode(null); },
      show() { self.show(); },
      hide() { self.hide(); },
    };
  }

  show() {
    if (!this.map.pm || this.controlsShown) return;
    this.map.pm.addControls({
      position: 'topleft',
      drawMarker: true, drawPolyline: true, drawCircle: true, drawPolygon: true, drawRectangle: true,
      drawCircleMarker: false, drawText: false, editMode: false, dragMode: false, cutPolygon: false,
      removalMode: false, rotateMode: false,
    });
    this.controlsShown = true;
  }

  hide() {
    if (!this.map.pm || !this.controlsShown) return;
    this.map.pm.removeControls();
    this.controlsShown = false;
  }

  setMode(mode) {
    if (!this.map.pm) return;
    this.map.pm.disableDraw();
    this.mode = null;
    const shape = GEOMAN_SHAPES[mode];
    if (shape) {
      this.mode = mode;
      this.map.pm.enableDraw(shape);
    }
  }

  onCreated(shape, layer) {
    this.mode = null;
    if (shape === 'Marker') {
      const at = layer.getLatLng();
      this.map.removeLayer(layer);
      this.customMarkers.addDrawn(at);
      return;
    }
    if (shape === 'Line') {
      this.removeShapeAndRuler();
      this.adoptRuler(layer);
      return;
    }
    const type = shape === 'Rectangle' ? 'rectangle' : shape === 'Circle' ? 'circle' : 'polygon';
    this.removeShapeAndRuler();
    this.adoptShape(layer, type, true);
  }

  // --- the area shape ------------------------------------------------------------------
  // `shown`: the text of an area the program had the page show, reported as it stands.
  adoptShape(layer, type, editable, shown) {
    const zeb = this.zeb;
    layer.type = type;
    zeb.customPolygon = layer;
    if (!this.map.hasLayer(layer)) layer.addTo(this.map);
    layer.on('mousemove', (e) => hostMapMousemoveEvent(e.latlng.lat, e.latlng.lng));
    if (editable && layer.pm) {
      layer.pm.enable({ allowSelfIntersection: true, draggable: false });
      layer.on('pm:edit', () => {
        if (zeb.customPolygon === layer) this.report(layer);
      });
    }
    this.report(layer, shown);
  }

  // The area text of the shape, the clear button and the area label.
  report(layer, shown) {
    const zeb = this.zeb;
    let text;
    if (layer.type === 'rectangle') {
      const b = layer.getBounds();
      text = rectangleText({ north: b.getNorth(), east: b.getEast(), south: b.getSouth(), west: b.getWest() });
      this.placeClearButton(b.getNorthEast(), [-5, 16], areaLabel(polygonArea(ringOf(layer)), zeb.showAreaLabel));
    } else if (layer.type === 'circle') {
      const c = layer.getLatLng();
      text = circleText(toPoint(c), layer.getRadius());
      this.placeClearButton(c, [20, 15], areaLabel(circleArea(layer.getRadius()), zeb.showAreaLabel));
    } else {
      const ring = ringOf(layer);
      text = polygonText(ring);
      this.placeClearButton(ring[ring.length - 1], [20, 15], areaLabel(polygonArea(ring), zeb.showAreaLabel));
    }
    hostPlotLatlngsEvent(shown || text);
    return shown || text;
  }

  adoptRuler(layer) {
    this.zeb.rulerPolyline = layer;
    if (!this.map.hasLayer(layer)) layer.addTo(this.map);
    const update = () => {
      const points = layer.getLatLngs().map(toPoint);
      if (points.length) this.placeClearButton(points[points.length - 1], [20, 15], lengthLabel(pathLength(points)));
    };
    if (layer.pm) {
      layer.pm.enable({ draggable: false });
      layer.on('pm:edit', update);
    }
    update();
  }

  removeShapeAndRuler() {
    const zeb = this.zeb;
    for (const key of ['customPolygon', 'rulerPolyline']) {
      const layer = zeb[key];
      if (layer) {
        try {
          if (layer.pm) layer.pm.disable();
          this.map.removeLayer(layer);
        } catch (e) {
          // Nothing depends on a failed removal.
        }
      }
      zeb[key] = null;
    }
  }

  // --- the clear button ----------------------------------------------------------------
  placeClearButton(latlng, anchor, labelText) {
    const zeb = this.zeb;
    const html = document.createElement('div');
    const img = document.createElement('img');
    img.src = 'mapfiles/images/clear.svg';
    img.width = 16;
    img.height = 16;
    img.title = '清除';
    html.appendChild(img);
    if (labelText) {
      const label = document.createElement('div');
      label.className = 'labels map-label';
      label.textContent = labelText;
      html.appendChild(label);
    }
    const icon = L.divIcon({ className: 'clear-button', html, iconSize: [16, 16], iconAnchor: anchor });
    if (!zeb.clearButton) {
      zeb.clearButton = L.marker(latlng, { icon, title: '清除', keyboard: false, zIndexOffset: 1000 });
      zeb.clearButton.on('click', () => {
        this.removeShapeAndRuler();
        this.removeClearButton();
      });
    } else {
      zeb.clearButton.setLatLng(latlng);
      zeb.clearButton.setIcon(icon);
    }
    if (!this.map.hasLayer(zeb.clearButton)) zeb.clearButton.addTo(this.map);
  }

  removeClearButton() {
    if (this.zeb.clearButton) this.map.removeLayer(this.zeb.clearButton);
  }

  // --- areas the program asks for --------------------------------------------------------
  showCurrentView() {
    this.removeShapeAndRuler();
    const b = this.map.getBounds();
    const v = viewOnWorld(b.getSouth(), b.getWest(), b.getNorth(), b.getEast());
    const rect = L.rectangle([[v.south, v.west], [v.north, v.east]], this.style());
    this.adoptShape(rect, 'rectangle', !!(this.zeb.polyOptions || {}).editable);
  }

  showBoundary(encoded) {
    const points = decodePolyline(encoded);
    if (points.length < 2) return false;
    this.removeShapeAndRuler();
    let layer;
    let type;
    if (points.length === 2) {
      layer = L.rectangle(points.map((p) => [p.lat, p.lng]), this.style());
      type = 'rectangle';
    } else {
      layer = L.polygon(points.map((p) => [p.lat, p.lng]), this.style());
      type = 'polygon';
    }
    layer.addTo(this.map);
    this.map.fitBounds(layer.getBounds(), { animate: false });
    this.adoptShape(layer, type, points.length < 20, shownText(points));
    return true;
  }
}
