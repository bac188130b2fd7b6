// Leaflet coordinate system of the Baidu page: BD-09 positions, Baidu metres as the
// projected plane, and 2^(zoom-18) pixels per metre. Pixel rows grow southwards in Leaflet
// while Baidu rows count northwards, so Baidu row = -(Leaflet row) - 1.
import { lngLatToMercator, mercatorToLngLat } from '../core/baidu_projection.js';

const L = window.L;

export const BaiduProjection = {
  project(latlng) {
    const m = lngLatToMercator(latlng.lng, latlng.lat);
    return new L.Point(m.x, m.y);
  },
  unproject(point) {
    const p = mercatorToLngLat(point.x, point.y);
    return new L.LatLng(p.lat, p.lng);
  },
  bounds: L.bounds([-20037726.37, -12474104.17], [20037726.37, 12474104.17]),
};

export const BaiduCRS = L.extend({}, L.CRS.Earth, {
  code: 'BAIDU:BD09MC',
  projection: BaiduProjection,
  transformation: new L.Transformation(1, 0, -1, 0),
  scale(zoom) {
    return Math.pow(2, zoom - 18);
  },
  zoom(scale) {
    return Math.log(scale) / Math.LN2 + 18;
  },
  wrapLng: undefined,
  infinite: true,
});

export function baiduTileNumber(coords) {
  return { x: coords.x, y: -coords.y - 1, z: coords.z };
}
