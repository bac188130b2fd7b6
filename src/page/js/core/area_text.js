// Area texts reported to the host: longitude,latitude pairs joined by commas, five decimals.
import { fixed } from './format.js';
import { circlePoints } from './geometry.js';

const pair = (p) => `${fixed(p.lng, 5)},${fixed(p.lat, 5)}`;

// An area the program had the page show: its points in the order they were given, so that the
// report reads as the stored area does.
export function shownText(points) {
  return points.map(pair).join(',');
}

// A polygon or polyline: its vertices from the last to the first.
export function polygonText(points) {
  return points.slice().reverse().map(pair).join(',');
}

// A rectangle: north-east corner, then south-west corner.
export function rectangleText(bounds) {
  return [bounds.east, bounds.north, bounds.west, bounds.south].map((v) => fixed(v, 5)).join(',');
}

// A circle: 60 points on it, starting due north and turning clockwise.
export function circleText(center, radiusMetres) {
  return circlePoints(center, radiusMetres).map(pair).join(',');
}

// Two corners as the page reports them: first corner, then the corner opposite.
export function cornersText(a, b) {
  return [a.lng, a.lat, b.lng, b.lat].map((v) => fixed(v, 5)).join(',');
}
