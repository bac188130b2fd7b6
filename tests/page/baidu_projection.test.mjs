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

test('shared table of projection cases', () => {
  assert.ok(existsSync(casesPath), `the shared table ${casesPath} is missing`);
  const data = JSON.parse(readFileSync(casesPath, 'utf8'));
  for (const key of ['forward', 'inverse', 'tiles', 'bandEdges']) {
    assert.ok(Array.isArray(data[key]) && data[key].length > 0, `the table holds no ${key} cases`);
  }
  for (const c of data.forward) {
    const m = lngLatToMercator(c.lng, c.lat);
    assert.ok(Math.abs(m.x - c.x) <= c.tolerance && Math.abs(m.y - c.y) <= c.tolerance,
      `${c.name}: ${JSON.stringify(m)}`);
  }
  for (const c of data.inverse) {
    const p = mercatorToLngLat(c.x, c.y);
    assert.ok(Math.abs(p.lng - c.lng) <= c.tolerance && Math.abs(p.lat - c.lat) <= c.tolerance,
      `${c.name}: ${JSON.stringify(p)}`);
  }
  for (const c of data.tiles) {
    const t = latlngToTile(c.lat, c.lng, c.zoom);
    assert.deepEqual([t.x, t.y], [c.x, c.y], c.name);
  }
  // Across each latitude band edge the northing grows by metres only: no row skipped.
  for (const lat of data.bandEdges) {
    const below = lngLatToMercator(116.4, lat - 1e-9);
    const at = lngLatToMercator(116.4, lat);
    assert.ok(at.y > below.y && at.y - below.y < 20, `edge ${lat}: ${below.y} -> ${at.y}`);
  }
});
