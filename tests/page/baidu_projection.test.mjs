import { test } from 'node:test';
import assert from 'node:assert/strict';
import { existsSync, readFileSync } from 'node:fs';
import { fileURLToPath } from 'node:url';
import { lngLatToMercator, mercatorToLngLat, latlngToTile, tileToLatlng } from '../../src/page/js/core/baidu_projection.js';

test('BD-09 to Baidu metres matches the provider\'s published point', () => {
  const m = lngLatToMercator(116.403874, 39.914889);
  assert.ok(Math.abs(m.x - 12958160.97) < 0.01 && Math.abs(m.y - 4825907.72) < 0.01, JSON.stringify(m));
  const p = mercatorToLngLat(12958160.97, 4825907.72);
  assert.ok(Math.abs(p.lng - 116.403874) < 1e-6 && Math.abs(p.lat - 39.914889) < 1e-6, JSON.stringify(p));
});

test('metres and degrees round-trip in every latitude band and hemisphere', () => {
  for (const lat of [-70, -50, -35, -20, -5, 0, 5, 20, 35, 50, 70]) {
    for (const lng of [-170, -30, 0, 75, 121.5]) {
      const m = lngLatToMercator(lng, lat);
      const back = mercatorToLngLat(m.x, m.y);
      assert.ok(Math.abs(back.lat - lat) < 1e-4 && Math.abs(back.lng - lng) < 1e-6, `${lat},${lng}: ${JSON.stringify(back)}`);
      if (lng !== 0) assert.equal(Math.sign(m.x), Math.sign(lng));
      if (lat !== 0) assert.equal(Math.sign(m.y), Math.sign(lat));
    }
  }
});

test('tiles of a point and the corner of a tile', () => {
  const t = latlngToTile(39.915, 116.404, 18);
  assert.deepEqual([t.x, t.y], [50617, 18851]);
  assert.equal(t.text, `${t.x},${t.y},${t.lng},${t.lat}`);
  // The corner is the tile's west edge and north edge, so the point lies south-east of it.
  assert.ok(t.lng <= 116.404 && t.lat >= 39.915);
  const east = tileToLatlng({ x: t.x + 1, y: t.y - 1 }, 18);
  assert.ok(east.lng > 116.404 && east.lat < 39.915);
  // One level up halves both numbers; west and south of the origin they turn negative.
  const up = latlngToTile(39.915, 116.404, 17);
  assert.deepEqual([up.x, up.y], [Math.floor(t.x / 2), Math.floor(t.y / 2)]);
  const sw = latlngToTile(-10, -60, 5);
  assert.ok(sw.x < 0 && sw.y < 0);
});

// The table of cases shared with the native projection, when it is in the tree.
const casesPath = fileURLToPath(new URL('../data/baidu_projection_cases.json', import.meta.url));

function pick(obj, names) {
  for (const n of names) {
    const parts = n.split('.');
    let v = obj;
    for (const p of parts) v = v === undefined || v === null ? undefined : v[p];
    if (v !== undefined) return v;
  }
  return undefined;
}

test('shared table of projection cases', { skip: !existsSync(casesPath) && 'tests/data/baidu_projection_cases.json is not in this tree' }, () => {
  const data = JSON.parse(readFileSync(casesPath, 'utf8'));
  const cases = Array.isArray(data) ? data : data.cases;
  assert.ok(Array.isArray(cases) && cases.length > 0, 'the file holds no list of cases');
  let checked = 0;
  for (const c of cases) {
    const lat = pick(c, ['lat', 'latitude', 'bd09.lat', 'input.lat']);
    const lng = pick(c, ['lng', 'lon', 'longitude', 'bd09.lng', 'input.lng']);
    if (lat === undefined || lng === undefined) continue;
    const mx = pick(c, ['mx', 'mercatorX', 'mercator_x', 'metres.x', 'meters.x', 'mercator.x', 'x_m']);
    const my = pick(c, ['my', 'mercatorY', 'mercator_y', 'metres.y', 'meters.y', 'mercator.y', 'y_m']);
    if (mx !== undefined && my !== undefined) {
      const m = lngLatToMercator(lng, lat);
      const tol = pick(c, ['tolerance', 'tol']) ?? 1e-3;
      assert.ok(Math.abs(m.x - mx) <= tol && Math.abs(m.y - my) <= tol, `${JSON.stringify(c)} gave ${JSON.stringify(m)}`);
      checked++;
    }
    const zoom = pick(c, ['zoom', 'z']);
    const tx = pick(c, ['tileX', 'tile_x', 'tile.x', 'tx', 'x']);
    const ty = pick(c, ['tileY', 'tile_y', 'tile.y', 'ty', 'y']);
    if (zoom !== undefined && Number.isInteger(tx) && Number.isInteger(ty)) {
      const t = latlngToTile(lat, lng, zoom);
      assert.deepEqual([t.x, t.y], [tx, ty], JSON.stringify(c));
      checked++;
    }
  }
  assert.ok(checked > 0, `no case of the file could be read (keys of the first: ${Object.keys(cases[0]).join(', ')})`);
});
