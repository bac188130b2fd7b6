import { test } from 'node:test';
import assert from 'node:assert/strict';
import { viewOnWorld, MERCATOR_MAX_LAT } from '../../src/page/js/core/geometry.js';

test('the current view becomes an area on the world', () => {
  const M = MERCATOR_MAX_LAT;
  const cases = [
    // south, west, north, east -> south, west, north, east
    [[30, 100, 40, 120], [30, 100, 40, 120]],
    [[-89, -225, 89, 225], [-M, -180, M, 180]],          // wider than the world
    [[10, 160, 20, 200], [10, 160, 20, 180]],            // past the date line: cut there
    [[10, 420, 20, 440], [10, 60, 20, 80]],              // a whole turn east
    [[10, -560, 20, -540], [10, 160, 20, 180]],          // turns west
    [[-95, 0, 95, 10], [-M, 0, M, 10]],                  // past the grid's latitudes
  ];
  for (const [[s, w, n, e], [es, ew, en, ee]] of cases) {
    assert.deepEqual(viewOnWorld(s, w, n, e), { south: es, west: ew, north: en, east: ee }, `${[s, w, n, e]}`);
  }
});
