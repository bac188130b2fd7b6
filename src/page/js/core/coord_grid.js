// Text of one tile of the coordinate grid: its north-west corner and its numbers in the
// Google, TMS and Bing schemes.
import { quadKey } from './tile_names.js';

// Four decimals at most; shorter numbers stay as they are.
function short(v) {
  const text = String(v);
  const dot = text.indexOf('.');
  return dot >= 0 && text.length - dot - 1 > 4 ? v.toFixed(4) : text;
}

export function tileCorner(x, y, z) {
  const n = Math.pow(2, z);
  const lng = (x / n) * 360 - 180;
  const lat = (Math.atan(Math.sinh(Math.PI - (2 * Math.PI * y) / n)) * 180) / Math.PI;
  return { lat, lng };
}

export function gridTileLines(x, y, z) {
  const c = tileCorner(x, y, z);
  return [
    `Lng-Lat: (${short(c.lng)},${short(c.lat)})`,
    `Google: (${x},${y})`,
    `TMS: (${x},${Math.pow(2, z) - y - 1})`,
    `Bing: (${quadKey(x, y, z)})`,
  ];
}
