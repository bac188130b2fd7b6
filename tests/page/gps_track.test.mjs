import { test } from 'node:test';
import assert from 'node:assert/strict';
import { GpsTrackFilter, isUsableFix, directionSector } from '../../src/page/js/core/gps_track.js';

// Points about 100 m and 600 m north of a start point.
const start = { lat: 30, lng: 120 };
const north = (metres, from = start) => ({ lat: from.lat + metres / 111195, lng: from.lng });

function run(fixes) {
  const filter = new GpsTrackFilter();
  return fixes.map((f) => filter.add(f).action);
}

test('only fixes marked invalid or at exactly 0,0 are unusable', () => {
  const cases = [
    [{ lat: 0, lng: 0 }, false],
    [{ lat: 30, lng: 120, valid: false }, false],
    [{ lat: NaN, lng: 120 }, false],
    [{ lat: 91, lng: 120 }, false],
    [{ lat: 0, lng: 3.2 }, true],
    [{ lat: -1.5, lng: 0 }, true],
    [{ lat: 4.9, lng: 4.9 }, true],
  ];
  for (const [fix, usable] of cases) assert.equal(isUsableFix(fix), usable, JSON.stringify(fix));
});

test('jumps are dropped and the track restarts after three agreeing fixes', () => {
  const far = north(5000);
  const cases = [
    ['a fix 600 m away changes nothing', [start, north(600)], ['start', 'drop']],
    ['a step of 500 m is still part of the track', [start, north(499)], ['start', 'extend']],
    ['a single outlier between good fixes', [start, north(600), north(100)], ['start', 'drop', 'extend']],
    ['three agreeing fixes after a jump', [start, far, north(100, far), north(200, far), north(300, far)],
      ['start', 'drop', 'drop', 'restart', 'extend']],
    ['scattered jumps never agree', [start, north(5000), north(9000), north(13000), north(17000)],
      ['start', 'drop', 'drop', 'drop', 'drop']],
    ['a good fix in between starts the count again', [start, far, north(100, far), north(100), north(200, far), north(300, far)],
      ['start', 'drop', 'drop', 'extend', 'drop', 'drop']],
    ['unusable fixes are dropped without breaking the track', [{ lat: 0, lng: 0 }, start, { lat: 0, lng: 0 }, north(100)],
      ['drop', 'start', 'drop', 'extend']],
  ];
  for (const [name, fixes, actions] of cases) assert.deepEqual(run(fixes), actions, name);
});

test('a restart hands over the agreeing fixes and their length', () => {
  const filter = new GpsTrackFilter();
  const far = north(5000);
  filter.add(start);
  filter.add(far);
  filter.add(north(100, far));
  const r = filter.add(north(200, far));
  assert.equal(r.action, 'restart');
  assert.equal(r.points.length, 3);
  assert.ok(Math.abs(r.distance - 200) < 0.5);
  const next = filter.add(north(250, far));
  assert.equal(next.action, 'extend');
  assert.ok(Math.abs(next.distance - 50) < 0.5);
});

test('direction icons by 45-degree sector', () => {
  const cases = [[1, 45], [45, 45], [46, 90], [200, 225], [360, 360], [0, 45], [361, 45], [NaN, 45]];
  for (const [value, sector] of cases) assert.equal(directionSector(value), sector, String(value));
});
