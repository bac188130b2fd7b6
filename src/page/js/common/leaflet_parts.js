// Leaflet pieces shared by both map pages: icons, tile layers fed by a URL function, the
// ordered list of overlay layers, labels and style conversion.
import { alternateTileUrl } from '../core/offline.js';

const L = window.L;

export const ICONS = {
  redDot: () => L.icon({ iconUrl: 'mapfiles/markers2/red-dot.svg', iconSize: [32, 32], iconAnchor: [16, 32], popupAnchor: [0, -30] }),
  place: () => L.icon({ iconUrl: 'mapfiles/markers2/marker-icon.svg', iconSize: [15, 41], iconAnchor: [7, 41], popupAnchor: [0, -20] }),
  poiRed: () => L.icon({ iconUrl: 'mapfiles/icons/marker-red.svg', iconSize: [32, 32], iconAnchor: [16, 32], popupAnchor: [0, -30] }),
  poiBlue: () => L.icon({ iconUrl: 'mapfiles/icons/marker-blue.svg', iconSize: [32, 32], iconAnchor: [16, 32], popupAnchor: [0, -30] }),
  direction: (n) => L.icon({ iconUrl: `mapfiles/markers2/d_${n}.svg`, iconSize: [30, 30], iconAnchor: [15, 15], popupAnchor: [0, -12] }),
};

// A tile layer whose tiles come from urlFor(x, y, zoom); null means no tile. An offline tile
// that is missing under one image type is tried once under the other.
export const UrlTileLayer = L.TileLayer.extend({
  initialize(urlFor, options) {
    this._urlFor = urlFor;
    L.TileLayer.prototype.initialize.call(this, '', options);
  },

  tileNumber(coords) {
    return { x: coords.x, y: coords.y, z: coords.z };
  },

  createTile(coords, done) {
    const tile = document.createElement('img');
    tile.alt = '';
    tile.setAttribute('role', 'presentation');
    const t = this.tileNumber(coords);
    const url = this._urlFor(t.x, t.y, t.z);
    if (!url) {
      tile.style.visibility = 'hidden';
      setTimeout(() => done(null, tile), 0);
      return tile;
    }
    let triedAlternate = false;
    tile.onload = () => done(null, tile);
    tile.onerror = () => {
      const other = triedAlternate ? null : alternateTileUrl(tile.src);
      if (other) {
        triedAlternate = true;
        tile.src = other;
        return;
      }
      tile.style.visibility = 'hidden';
      done(new Error('tile missing'), tile);
    };
    tile.src = url;
    return tile;
  },

  // Leaflet's own error handling would swap in an error image; ours hides the tile.
  _tileOnError(done, tile, e) {
    done(e, tile);
  },
});

// Overlay layers in the order the program addresses them: index 0 lies lowest. Layers are
// taken out by identity, so removing one never takes out its neighbour.
export class OverlayList {
  constructor(map, baseZIndex = 10) {
    this.map = map;
    this.base = baseZIndex;
    this.items = [];
  }

  getLength() { return this.items.length; }

  getAt(i) { return this.items[i]; }

  indexOf(layer) { return this.items.indexOf(layer); }

  insertAt(i, layer) {
    const at = Math.max(0, Math.min(i, this.items.length));
    this.items.splice(at, 0, layer);
    if (!this.map.hasLayer(layer)) layer.addTo(this.map);
    this._restack();
  }

  remove(layer) {
    const i = this.items.indexOf(layer);
    if (i < 0) return false;
    this.items.splice(i, 1);
    try {
      this.map.removeLayer(layer);
    } catch (e) {
      // Errors while removing an overlay are of no consequence.
    }
    this._restack();
    return true;
  }

  _restack() {
    this.items.forEach((layer, i) => layer.setZIndex && layer.setZIndex(this.base + i));
  }
}

// Leaflet path style from the pages' shape options.
export function pathStyle(options) {
  return {
    color: options.strokeColor,
    weight: options.strokeWeight,
    opacity: options.strokeOpacity,
    fillColor: options.fillColor,
    fillOpacity: options.fillOpacity,
  };
}

export function setMarkerTitle(marker, title) {
  marker.options.title = title;
  const el = marker.getElement && marker.getElement();
  if (el) el.title = title;
}

// A text label fixed to a map position, its corner offset by the given pixels.
export function mapLabel(latlng, text, offset = [-45, -25]) {
  const html = document.createElement('div');
  html.className = 'labels map-label';
  html.textContent = text;
  return L.marker(latlng, {
    interactive: false,
    keyboard: false,
    icon: L.divIcon({ className: 'map-label-anchor', html, iconSize: null, iconAnchor: [-offset[0], -offset[1]] }),
  });
}

export const toPoint = (ll) => ({ lat: ll.lat, lng: ll.lng });

// The outer ring of a polygon or rectangle layer as plain points.
export const ringOf = (layer) => {
  const ll = layer.getLatLngs();
  return (Array.isArray(ll[0]) ? ll[0] : ll).map(toPoint);
};
