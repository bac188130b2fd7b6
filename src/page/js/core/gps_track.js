// Filter of the GPS fixes shown on the map page. A fix farther than 500 m from the track's
// last point is taken for a jump and dropped, but when three dropped fixes in a row agree
// with each other (each within 500 m of the one before) the receiver has really moved: the
// track restarts from them instead of freezing at the old place for ever.
import { distance } from './geometry.js';

export const JUMP_LIMIT = 500;
export const AGREEING_FIXES = 3;

export function isUsableFix(fix) {
  if (!fix || fix.valid === false) return false;
  const { lat, lng } = fix;
  if (!Number.isFinite(lat) || !Number.isFinite(lng)) return false;
  if (Math.abs(lat) > 90 || Math.abs(lng) > 180) return false;
  return !(lat === 0 && lng === 0);
}

export class GpsTrackFilter {
  constructor() {
    this.reset();
  }

  reset() {
    this.previous = null;
    this.candidates = [];
  }

  // Returns what the display does with the fix:
  //   { action: 'drop' }
  //   { action: 'start', point }                     first point of the track
  //   { action: 'extend', point, from, distance }    a segment from the previous point
  //   { action: 'restart', points, distance }        a new track through the agreeing fixes
  add(fix) {
    if (!isUsableFix(fix)) return { action: 'drop' };
    const point = { lat: fix.lat, lng: fix.lng };
    if (!this.previous) {
      this.previous = point;
      this.candidates = [];
      return { action: 'start', point };
    }
    const d = distance(this.previous, point);
    if (d <= JUMP_LIMIT) {
      const from = this.previous;
      this.previous = point;
      this.candidates = [];
      return { action: 'extend', point, from, distance: d };
    }
    const last = this.candidates[this.candidates.length - 1];
    if (last && distance(last, point) <= JUMP_LIMIT) this.candidates.push(point);
    else this.candidates = [point];
    if (this.candidates.length < AGREEING_FIXES) return { action: 'drop' };
    const points = this.candidates;
    let total = 0;
    for (let i = 1; i < points.length; i++) total += distance(points[i - 1], points[i]);
    this.previous = point;
    this.candidates = [];
    return { action: 'restart', points, distance: total };
  }
}

// Icon number of the GPS marker: the upper bound of the 45-degree sector of the value.
export function directionSector(value) {
  if (!(value >= 1 && value <= 360)) return 45;
  return Math.ceil(value / 45) * 45;
}
