// The GPS display of the Google-family page: position marker, accuracy circle, the track
// of red segments (at most 200) and the information window of the last fix.
import { GpsTrackFilter, directionSector } from '../core/gps_track.js';
import { fixed } from '../core/format.js';
import { navigationInfoHtml } from '../core/info_html.js';
import { ICONS, setMarkerTitle } from '../common/leaflet_parts.js';

const L = window.L;
export const MAX_SEGMENTS = 200;

export class GpsDisplay {
  constructor(zeb) {
    this.zeb = zeb;
    this.map = zeb.map;
    this.filter = new GpsTrackFilter();
  }

  addSegment(from, to) {
    const zeb = this.zeb;
    const line = L.polyline([[from.lat, from.lng], [to.lat, to.lng]], { color: '#f20c00', opacity: 0.8, weight: 2, interactive: false });
    line.addTo(this.map);
    zeb.polylines.push(line);
    while (zeb.polylines.length > MAX_SEGMENTS) this.map.removeLayer(zeb.polylines.shift());
  }

  add(lat, lng, satellites, altitude, time, text) {
    const zeb = this.zeb;
    const la = Number(lat);
    const ln = Number(lng);
    const result = this.filter.add({ lat: la, lng: ln });
    if (result.action === 'drop') return 0;
    const first = result.action === 'start';
    if (result.action === 'extend') {
      zeb.totalDistance += result.distance;
      this.addSegment(result.from, result.point);
    } else if (result.action === 'restart') {
      zeb.totalDistance += result.distance;
      for (let i = 1; i < result.points.length; i++) this.addSegment(result.points[i - 1], result.points[i]);
    }
    const point = L.latLng(la, ln);
    let sats = Number(satellites) || 0;
    if (sats > 50) sats = 8;
    const title = text ? String(text) : `${fixed(la, 5)},${fixed(ln, 5)}`;
    if (!zeb.navigationCircle) {
      zeb.navigationCircle = L.circle(point, {
        radius: 100, color: '#2a5caa', fillColor: '#2a5caa', fillOpacity: 0.1, weight: 1, opacity: 0.9, interactive: false,
      }).addTo(this.map);
    } else {
      zeb.navigationCircle.setLatLng(point);
    }
    const icon = ICONS.direction(directionSector(sats));
    if (!zeb.navigationMarker) {
      zeb.navigationMarker = L.marker(point, { icon, title }).addTo(this.map);
      zeb.navigationMarker.on('click', () => {
        zeb.navigationMarker.openPopup();
      });
    } else {
      zeb.navigationMarker.setLatLng(point);
      zeb.navigationMarker.setIcon(icon);
      setMarkerTitle(zeb.navigationMarker, title);
    }
    zeb.navigationMarker.unbindPopup();
    zeb.navigationMarker.bindPopup(navigationInfoHtml(title, sats, altitude, zeb.totalDistance, time));
    if (first) {
      this.map.setView(point, 17, { animate: false });
    } else if (!this.map.getBounds().contains(point)) {
      this.map.panTo(point, { animate: false });
    }
    zeb.previousPoint = point;
    return 1;
  }

  clear() {
    const zeb = this.zeb;
    zeb.totalDistance = 0;
    for (const line of zeb.polylines) {
      try { this.map.removeLayer(line); } catch (e) { /* ignored */ }
    }
    zeb.polylines = [];
    zeb.previousPoint = null;
    this.filter.reset();
    for (const key of ['navigationCircle', 'navigationMarker']) {
      if (zeb[key]) {
        try { this.map.removeLayer(zeb[key]); } catch (e) { /* ignored */ }
      }
      zeb[key] = null;
    }
  }
}
