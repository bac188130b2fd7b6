import { test } from 'node:test';
import assert from 'node:assert/strict';
import { polygonText, rectangleText, circleText, cornersText, shownText } from '../../src/page/js/core/area_text.js';
import { areaLabel, lengthLabel, mileageText } from '../../src/page/js/core/labels.js';
import { circlePoints, distance, polygonArea, pathLength, CIRCLE_OUTLINE_RADIUS } from '../../src/page/js/core/geometry.js';

test('a triangle reports its vertices last first, longitude first', () => {
  const triangle = [{ lat: 30, lng: 110 }, { lat: 31.123456, lng: 111 }, { lat: 30.5, lng: 112.000004 }];
  assert.equal(polygonText(triangle), '112.00000,30.50000,111.00000,31.12346,110.00000,30.00000');
});

test('a shown area reports its points in their order with five decimals', () => {
  const stored = [{ lat: 30, lng: 110 }, { lat: 31.123456, lng: 111 }, { lat: 30.5, lng: 112.000004 }];
  assert.equal(shownText(stored), '110.00000,30.00000,111.00000,31.12346,112.00000,30.50000');
  // Decoded numbers carry binary noise; the report does not.
  assert.equal(shownText([{ lat: 40.50000000000001, lng: 116.29999999999998 }, { lat: -25.5, lng: -180 }]),
    '116.30000,40.50000,-180.00000,-25.50000');
});

test('a rectangle reports its north-east corner, then its south-west corner', () => {
  assert.equal(rectangleText({ south: 30, west: 110, north: 31, east: 111 }), '111.00000,31.00000,110.00000,30.00000');
  assert.equal(cornersText({ lat: 30, lng: 110 }, { lat: 31, lng: 111 }), '110.00000,30.00000,111.00000,31.00000');
});

test('a circle reports 60 points clockwise from due north', () => {
  const center = { lat: 39.9, lng: 116.4 };
  const points = circlePoints(center, 1000);
  assert.equal(points.length, 60);
  for (const p of points) assert.ok(Math.abs(distance(center, p, CIRCLE_OUTLINE_RADIUS) - 1000) < 1e-6);
  assert.ok(Math.abs(points[0].lng - center.lng) < 1e-12 && points[0].lat > center.lat, 'first due north');
  assert.ok(points[15].lng > center.lng && Math.abs(points[15].lat - center.lat) < 1e-3, '16th due east');
  assert.ok(Math.abs(points[30].lng - center.lng) < 1e-9 && points[30].lat < center.lat, '31st due south');
  const text = circleText(center, 1000).split(',');
  assert.equal(text.length, 120);
  assert.deepEqual(text.slice(0, 2), ['116.40000', (39.9 + 1000 / CIRCLE_OUTLINE_RADIUS * 180 / Math.PI).toFixed(5)]);
});

test('area labels switch to square kilometres and drop decimals above 1000', () => {
  const cases = [
    [0, '面积:0.000平方米'],
    [-5, '面积:0.000平方米'],
    [NaN, '面积:0.000平方米'],
    [999.5, '面积:999.500平方米'],
    [1000, '面积:1000.000平方米'],
    [1000.7, '面积:1000平方米'],
    [1000000, '面积:1000000平方米'],
    [1234567, '面积:1.235平方公里'],
    [2500000000.9, '面积:2500平方公里'],
  ];
  for (const [area, expected] of cases) assert.equal(areaLabel(area), expected, String(area));
  assert.equal(areaLabel(1234567, false), '');
});

test('length labels round to metres and switch to kilometres above 1000 m', () => {
  const cases = [
    [0, '总长度:0米'],
    [12.4, '总长度:12米'],
    [1000.4, '总长度:1000米'],
    [1000.6, '总长度:1.001公里'],
    [123456.7, '总长度:123.457公里'],
    [1234567.8, '总长度:1234公里'],
  ];
  for (const [length, expected] of cases) assert.equal(lengthLabel(length), expected, String(length));
});

test('GPS mileage texts', () => {
  const cases = [[0, '0.000 m'], [999.9994, '999.999 m'], [1234.5678, '1.235 km'], [2000000.5, '2000 km']];
  for (const [metres, expected] of cases) assert.equal(mileageText(metres), expected);
});

test('areas and lengths of shapes on the sphere', () => {
  // A square degree at the equator: R² · Δλ · sin(1°), a little more along great circles.
  const square = [{ lat: 0, lng: 0 }, { lat: 0, lng: 1 }, { lat: 1, lng: 1 }, { lat: 1, lng: 0 }];
  const expected = 6378137 ** 2 * (Math.PI / 180) * Math.sin(Math.PI / 180);
  assert.ok(Math.abs(polygonArea(square) / expected - 1) < 1e-4);
  assert.equal(polygonArea(square.slice().reverse()), polygonArea(square));
  assert.equal(polygonArea(square.slice(0, 2)), 0);
  assert.ok(Math.abs(pathLength([{ lat: 0, lng: 0 }, { lat: 0, lng: 1 }, { lat: 0, lng: 2 }]) - 2 * 111319.49) < 0.1);
  assert.equal(areaLabel(polygonArea(square)), '面积:12391平方公里');
});
