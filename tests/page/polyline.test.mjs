import { test } from 'node:test';
import assert from 'node:assert/strict';
import { decodePolyline, encodePolyline, parseLngLatList, rectangleCorners } from '../../src/page/js/core/polyline.js';

const sample = [{ lat: 38.5, lng: -120.2 }, { lat: 40.7, lng: -120.95 }, { lat: 43.252, lng: -126.453 }];
const encoded = '_p~iF~ps|U_ulLnnqC_mqNvxq`@';

test('encoded polylines round-trip', () => {
  assert.equal(encodePolyline(sample), encoded);
  assert.deepEqual(decodePolyline(encoded), sample);
  assert.deepEqual(decodePolyline(''), []);
  // A cut-off text keeps the points that were complete.
  assert.deepEqual(decodePolyline(encoded.slice(0, 12)), sample.slice(0, 1));
});

test('host point lists are read from the last pair to the first', () => {
  assert.deepEqual(parseLngLatList('110,30;111,31;x,1'), [{ lat: 31, lng: 111 }, { lat: 30, lng: 110 }]);
  assert.deepEqual(rectangleCorners({ lat: 30, lng: 110 }, { lat: 31, lng: 111 }),
    [{ lat: 30, lng: 110 }, { lat: 30, lng: 111 }, { lat: 31, lng: 111 }, { lat: 31, lng: 110 }]);
});
