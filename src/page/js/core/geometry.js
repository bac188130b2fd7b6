// Spherical geometry on plain {lat, lng} points (degrees).

// Radius used for areas, lengths and distances shown to the user.
export const EARTH_RADIUS = 6378137;
// Radius of the circle outline reported for a drawn circle.
export const CIRCLE_OUTLINE_RADIUS = 6371000;

const rad = (d) => (d * Math.PI) / 180;
const deg = (r) => (r * 180) / Math.PI;

export function distance(a, b, radius = EARTH_RADIUS) {
  const dLat = rad(b.lat - a.lat);
  const dLng = rad(b.lng - a.lng);
  const h = Math.sin(dLat / 2) ** 2 + Math.cos(rad(a.lat)) * Math.cos(rad(b.lat)) * Math.sin(dLng / 2) ** 2;
  return 2 * radius * Math.asin(Math.min(1, Math.sqrt(h)));
}

export function pathLength(points, radius = EARTH_RADIUS) {
  let total = 0;
  for (let i = 1; i < points.length; i++) total += distance(points[i - 1], points[i], radius);
  return total;
}

// Area of a closed ring on the sphere (absolute value), from the signed area of each edge's
// trapezoid against the pole.
export function polygonArea(points, radius = EARTH_RADIUS) {
  const n = points.length;
  if (n < 3) return 0;
  let total = 0;
  let prev = points[n - 1];
  let prevTan = Math.tan((Math.PI / 2 - rad(prev.lat)) / 2);
  for (const p of points) {
    const tan = Math.tan((Math.PI / 2 - rad(p.lat)) / 2);
    const dLng = rad(p.lng - prev.lng);
    // Polar triangle of the edge, from the tangents of the half colatitudes.
    const t = tan * prevTan;
    total += 2 * Math.atan2(t * Math.sin(dLng), 1 + t * Math.cos(dLng));
    prev = p;
    prevTan = tan;
  }
  return Math.abs(total * radius * radius);
}

export function circleArea(radiusMetres) {
  return Math.PI * radiusMetres * radiusMetres;
}

// Great-circle destination point from a centre at a bearing (degrees) and a distance.
export function destination(center, bearingDeg, dist, radius = CIRCLE_OUTLINE_RADIUS) {
  const d = dist / radius;
  const t = rad(bearingDeg);
  const phi = rad(center.lat);
  const lambda = rad(center.lng);
  const phi2 = Math.asin(Math.sin(phi) * Math.cos(d) + Math.cos(phi) * Math.sin(d) * Math.cos(t));
  const lambda2 = lambda + Math.atan2(Math.sin(t) * Math.sin(d) * Math.cos(phi), Math.cos(d) - Math.sin(phi) * Math.sin(phi2));
  return { lat: deg(phi2), lng: deg(lambda2) };
}

// 60 points of a circle, at bearings 0, 6, ... 354 degrees.
export function circlePoints(center, radiusMetres) {
  const points = [];
  for (let b = 0; b < 360; b += 6) points.push(destination(center, b, radiusMetres));
  return points;
}

export function boundsOf(points) {
  let south = Infinity; let north = -Infinity; let west = Infinity; let east = -Infinity;
  for (const p of points) {
    south = Math.min(south, p.lat); north = Math.max(north, p.lat);
    west = Math.min(west, p.lng); east = Math.max(east, p.lng);
  }
  return { south, north, west, east };
}

// The largest latitude of the Web Mercator grid; a view reaches past it at low zoom.
export const MERCATOR_MAX_LAT = 85.0511287798;

// The part of a map view that can be a download area: moved by whole turns so that its centre
// lies above -180 and at most 180, then cut to the world (longitudes -180..180, latitudes of the grid).
// A view wider than the world becomes the whole world.
export function viewOnWorld(south, west, north, east) {
  const clampLat = (v) => Math.max(-MERCATOR_MAX_LAT, Math.min(MERCATOR_MAX_LAT, v));
  let w = west;
  let e = east;
  if (e - w >= 360) {
    w = -180;
    e = 180;
  } else {
    const turns = Math.ceil(((w + e) / 2 - 180) / 360);
    w = Math.max(-180, w - turns * 360);
    e = Math.min(180, e - turns * 360);
  }
  return { south: clampLat(south), west: w, north: clampLat(north), east: e };
}
