// Layers of the Google-family page: the 45 base layers, their label overlays, the traffic
// overlay, the coordinate grid and the attribution line.
import {
  buildMapTypes, zoomRange, tileUrl, overlayUrl, trafficTileUrl, OVERLAY_LAYERS, LAYER_INDEX_NAMES,
} from '../core/map_types.js';
import { gridTileLines } from '../core/coord_grid.js';
import { UrlTileLayer, OverlayList } from '../common/leaflet_parts.js';

const L = window.L;

const HISTORIC_BOX = [[50.41377, -12.92679], [58.97125, 8.38669]];

export class GoogleLayers {
  constructor(zeb) {
    this.zeb = zeb;
    this.map = zeb.map;
    this.current = -1;
    this.base = null;
    this.labelOverlay = null;
    this.trafficLayer = null;
    this.gridLayer = null;
    this.overview = null; // set by the page once the overview control exists
    this.overlays = new OverlayList(this.map);
    zeb.overlayMapTypes = this.overlays;
    LAYER_INDEX_NAMES.forEach((name, i) => { zeb[name] = i; });
    zeb.MAP_TYPES = buildMapTypes(zeb);
    zeb.mapTypeIds = zeb.MAP_TYPES.map((t) => t.id);
    zeb.TILE_SIZE = 256;
    this.layers = zeb.MAP_TYPES.map((type, i) => {
      const [minZoom, maxZoom] = zoomRange(i);
      return new UrlTileLayer((x, y, z) => tileUrl(zeb, i, x, y, z), {
        minZoom, maxZoom, tileSize: 256, opacity: 1, attribution: '', className: `layer-${type.id}`,
      });
    });
  }

  indexOf(idOrIndex) {
    if (typeof idOrIndex === 'number') return idOrIndex >= 0 && idOrIndex < this.layers.length ? idOrIndex : -1;
    return this.zeb.mapTypeIds.indexOf(String(idOrIndex));
  }

  select(idOrIndex) {
    const i = this.indexOf(idOrIndex);
    if (i < 0) return false;
    if (i !== this.current) {
      if (this.base) this.map.removeLayer(this.base);
      this.current = i;
      this.base = this.layers[i];
      this.base.setZIndex(1);
      // The layer's zoom range bounds the map's, as it does on the provider's maps.
      const [minZoom, maxZoom] = zoomRange(i);
      this.map.setMinZoom(minZoom);
      this.map.setMaxZoom(maxZoom);
      this.base.addTo(this.map);
      if (this.overview) this.overview.follow();
      this.onLayerChanged();
    }
    return true;
  }

  onLayerChanged() {
    if (this.zeb.overlayExists) this.removeLabelOverlay();
    if (OVERLAY_LAYERS.includes(this.current)) this.addLabelOverlay();
    if (this.onChange) this.onChange(this.current);
  }

  changeMapType(id) {
    if (!this.select(id)) return;
    if (this.current === this.zeb.HISTORIC_NLSMAP) {
      const box = L.latLngBounds(HISTORIC_BOX);
      if (!box.contains(this.map.getCenter())) this.map.fitBounds(box, { animate: false });
    }
  }

  addLabelOverlay() {
    const layer = this.current;
    this.labelOverlay = new UrlTileLayer((x, y, z) => overlayUrl(this.zeb, layer, x, y, z), {
      tileSize: 256, minZoom: 0, maxZoom: 21, className: 'label-overlay',
    });
    this.overlays.insertAt(this.zeb.trafficTileLayerExists ? 1 : 0, this.labelOverlay);
    this.zeb.overlayExists = true;
  }

  removeLabelOverlay() {
    if (this.labelOverlay) this.overlays.remove(this.labelOverlay);
    this.labelOverlay = null;
    this.zeb.overlayExists = false;
  }

  // The base of the current layer for the overview map; levels below the layer's lowest are
  // drawn from that level's tiles.
  overviewLayer() {
    const i = this.current;
    const [minZoom, maxZoom] = zoomRange(i);
    return new UrlTileLayer((x, y, z) => tileUrl(this.zeb, i, x, y, z), {
      minZoom: 0, minNativeZoom: minZoom, maxZoom, tileSize: 256, className: 'overview-layer',
    });
  }

  redraw() {
    if (this.base) this.base.redraw();
    if (this.overview) this.overview.redraw();
    if (this.labelOverlay) this.labelOverlay.redraw();
  }

  // The styled map's parameters go into the Google tile addresses; the tiles shown are
  // fetched again with them.
  setStyleParams(text) {
    this.zeb.STYLE_PARAMS_URL = String(text);
    this.zeb.MAP_TYPES = buildMapTypes(this.zeb);
    this.redraw();
  }

  setOfflineMode(on) {
    this.zeb.offlineMode = !!on;
    this.redraw();
  }

  addTraffic() {
    if (this.trafficLayer) return;
    this.trafficLayer = new UrlTileLayer((x, y, z) => trafficTileUrl(x, y, z), {
      tileSize: this.zeb.TILE_SIZE, minZoom: 7, maxZoom: 17, className: 'traffic-overlay',
    });
    this.overlays.insertAt(0, this.trafficLayer);
    this.zeb.trafficTileLayerExists = true;
  }

  removeTraffic() {
    if (this.trafficLayer) this.overlays.remove(this.trafficLayer);
    this.trafficLayer = null;
    this.zeb.trafficTileLayerExists = false;
  }

  addGrid() {
    if (this.gridLayer) return;
    const Grid = L.GridLayer.extend({
      createTile(coords) {
        const div = document.createElement('div');
        div.className = 'coord-grid-tile';
        div.innerHTML = gridTileLines(coords.x, coords.y, coords.z).join('<br>');
        return div;
      },
    });
    this.gridLayer = new Grid({ tileSize: this.zeb.TILE_SIZE, className: 'coord-grid', maxZoom: 21 });
    this.overlays.insertAt(0, this.gridLayer);
    this.zeb.coordGridExists = true;
  }

  removeGrid() {
    if (this.gridLayer) this.overlays.remove(this.gridLayer);
    this.gridLayer = null;
    this.zeb.coordGridExists = false;
  }
}

// The attribution line at the bottom left: the current layer's notice followed by a blank.
export function addCopyrightControl(zeb, layers) {
  const Control = L.Control.extend({
    options: { position: 'bottomleft' },
    onAdd() {
      const div = L.DomUtil.create('div');
      div.id = 'copyright-control';
      L.DomEvent.disableClickPropagation(div);
      return div;
    },
  });
  zeb.MAP_TYPES.forEach((t) => {
    zeb.copyrights[t.id] = { prefix: t.copyright, entries: [{ id: 3, minZoom: 2, text: '' }] };
  });
  const refresh = () => {
    if (!zeb.copyrightNode) return;
    const type = zeb.MAP_TYPES[layers.current];
    zeb.copyrightNode.textContent = type ? `${zeb.copyrights[type.id].prefix} ` : '';
  };
  setTimeout(() => {
    const control = new Control();
    control.addTo(zeb.map);
    zeb.copyrightNode = control.getContainer();
    refresh();
    zeb.map.on('moveend', refresh);
  }, 1000);
  return refresh;
}
