// Encoded polylines (precision 1e-5, latitude first in each pair).

export function decodePolyline(encoded) {
  const points = [];
  const text = String(encoded || '');
  let index = 0;
  let lat = 0;
  let lng = 0;
  const next = () => {
    let result = 0;
    let shift = 0;
    let b;
    do {
      if (index >= text.length) return null;
      b = text.charCodeAt(index++) - 63;
      result |= (b & 0x1f) << shift;
      shift += 5;
    } while (b >= 0x20);
    return result & 1 ? ~(result >> 1) : result >> 1;
  };
  while (index < text.length) {
    const dLat = next();
    const dLng = next();
    if (dLat === null || dLng === null) break; // a truncated text keeps the complete points
    lat += dLat;
    lng += dLng;
    points.push({ lat: lat / 1e5, lng: lng / 1e5 });
  }
  return points;
}

function encodeValue(v) {
  let value = v < 0 ? ~(v << 1) : v << 1;
  let out = '';
  while (value >= 0x20) {
    out += String.fromCharCode((0x20 | (value & 0x1f)) + 63);
    value >>= 5;
  }
  return out + String.fromCharCode(value + 63);
}

export function encodePolyline(points) {
  let out = '';
  let prevLat = 0;
  let prevLng = 0;
  for (const p of points) {
    const lat = Math.round(p.lat * 1e5);
    const lng = Math.round(p.lng * 1e5);
    out += encodeValue(lat - prevLat) + encodeValue(lng - prevLng);
    prevLat = lat;
    prevLng = lng;
  }
  return out;
}

// "lng,lat;lng,lat;..." taken from the last pair to the first.
export function parseLngLatList(text) {
  return String(text || '')
    .split(';')
    .map((s) => s.split(',').map(Number))
    .filter((p) => p.length >= 2 && Number.isFinite(p[0]) && Number.isFinite(p[1]))
    .map(([lng, lat]) => ({ lat, lng }))
    .reverse();
}

// Two points stand for the rectangle they span: p0, (p1 lng, p0 lat), p1, (p0 lng, p1 lat).
export function rectangleCorners(p0, p1) {
  return [p0, { lat: p0.lat, lng: p1.lng }, p1, { lat: p1.lat, lng: p0.lng }];
}
