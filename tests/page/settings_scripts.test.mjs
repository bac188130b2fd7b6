// The program rewrites the page settings scripts line by line: the first key that a line
// contains decides, and the whole line is replaced. These tests keep the scripts fit for it.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import vm from 'node:vm';

const read = (name) => readFileSync(new URL(`../../src/page/mapfiles/js/${name}`, import.meta.url), 'utf8');

// Keys in the program's test order, with a line it may write.
const GOOGLE_KEYS = [
  ['zeb.showCopyright', 'zeb.showCopyright = false;'],
  ['zeb.showResolutionMapScale', 'zeb.showResolutionMapScale = false;'],
  ['zeb.offlineMode', 'zeb.offlineMode = true;'],
  ['zeb.showCoordGrid', 'zeb.showCoordGrid = true;'],
  ['zeb.GOOGLE_M_VER', 'zeb.GOOGLE_M_VER = "300";'],
  ['zeb.GOOGLE_H_VER', 'zeb.GOOGLE_H_VER = "300";'],
  ['GOOGLE_S_VER', 'zeb.GOOGLE_S_VER = "160";'],
  ['zeb.DEFAULT_MAPTYPE_INDEX', 'zeb.DEFAULT_MAPTYPE_INDEX = 27;'],
  ['zeb.DEFAULT_LATITUDE', 'zeb.DEFAULT_LATITUDE = 30.12345;'],
  ['zeb.DEFAULT_LONGITUDE', 'zeb.DEFAULT_LONGITUDE = 120.12345;'],
  ['zeb.DEFAULT_ZOOM', 'zeb.DEFAULT_ZOOM = 7; '],
  ['zeb.languageCode', 'zeb.languageCode = "en";'],
  ['zeb.mapsever', 'zeb.mapsever = "http://mt{0}.google.com";'],
  ['zeb.GOOGLE_HD_VER', 'zeb.GOOGLE_HD_VER = "";'],
  ['zeb.STYLE_PARAMS_URL', 'zeb.STYLE_PARAMS_URL = "&apistyle=x"; '],
  ['zeb.showAreaLabel', 'zeb.showAreaLabel = false;'],
  ['zeb.TILE_PATH', 'zeb.TILE_PATH = "/home/user/Map Download\\\\";'],
  ['strokeColor', 'strokeColor: "#ff0000",'],
  ['fillColor', 'fillColor : "#00ff00",'],
  ['fillOpacity', 'fillOpacity: 0.25,'],
  ['strokeWeight', 'strokeWeight: 5,'],
  ['strokeOpacity', 'strokeOpacity:0.75,'],
];

const BAIDU_KEYS = [
  ['zeb.DEFAULT_LATITUDE', 'zeb.DEFAULT_LATITUDE = 39.91500;'],
  ['zeb.DEFAULT_LONGITUDE', 'zeb.DEFAULT_LONGITUDE = 116.40400;'],
  ['zeb.DEFAULT_ZOOM', 'zeb.DEFAULT_ZOOM = 12; '],
  ['zeb.DEFAULT_MAPTYPE', 'zeb.DEFAULT_MAPTYPE_INDEX = 5;'],
  ['zeb.showCopyright', 'zeb.showCopyright = true;'],
  ['zeb.showAreaLabel', 'zeb.showAreaLabel = false;'],
  ['zeb.showResolutionMapScale', 'zeb.showResolutionMapScale = false;'],
  ['zeb.scaledDrawingBar', null],
  ['strokeColor', 'strokeColor: "#ff0000",'],
  ['fillColor', 'fillColor : "#00ff00",'],
  ['fillOpacity', 'fillOpacity: 0.25,'],
  ['strokeWeight', 'strokeWeight: 5,'],
  ['strokeOpacity', 'strokeOpacity:0.75,'],
  ['zeb.normalUDT', 'zeb.normalUDT="20200101";'],
  ['zeb.normalVer', 'zeb.normalVer="100";'],
  ['zeb.satelliteUDT', 'zeb.satelliteUDT="20200102";'],
  ['zeb.satelliteVer', 'zeb.satelliteVer="101";'],
  ['zeb.satelliteStreetUDT', 'zeb.satelliteStreetUDT="20200103";'],
  ['zeb.satelliteStreetVer', 'zeb.satelliteStreetVer="102";'],
];

function rewrite(text, keys) {
  const hits = new Map();
  const lines = text.split('\n').map((line) => {
    const entry = keys.find(([key]) => line.includes(key));
    if (!entry) return line;
    hits.set(entry[0], (hits.get(entry[0]) || 0) + 1);
    return entry[1] === null ? line : entry[1];
  });
  return { text: lines.join('\r\n'), hits };
}

function evaluate(text) {
  const window = {};
  vm.runInNewContext(text, { window });
  return window.zeb;
}

test('the Google settings script carries every key on one line and stays valid after a rewrite', () => {
  const source = read('gmap_settings.js');
  const shipped = evaluate(source);
  assert.equal(shipped.TILE_PATH, 'C:\\GPSCache\\');
  assert.equal(shipped.DEFAULT_ZOOM, 4);
  const { text, hits } = rewrite(source, GOOGLE_KEYS);
  for (const [key] of GOOGLE_KEYS) assert.equal(hits.get(key), 1, key);
  const zeb = evaluate(text);
  assert.equal(zeb.offlineMode, true);
  assert.equal(zeb.DEFAULT_MAPTYPE_INDEX, 27);
  assert.equal(zeb.TILE_PATH, '/home/user/Map Download\\');
  assert.equal(zeb.mapsever, 'http://mt{0}.google.com');
  assert.deepEqual(
    [zeb.polyOptions.strokeColor, zeb.polyOptions.fillColor, zeb.polyOptions.fillOpacity, zeb.polyOptions.strokeWeight, zeb.polyOptions.strokeOpacity],
    ['#ff0000', '#00ff00', 0.25, 5, 0.75]);
  assert.equal(zeb.polyOptions.editable, true);
});

test('the Baidu settings script turns its layer line into an index line as well', () => {
  const source = read('bmap_settings.js');
  assert.equal(evaluate(source).DEFAULT_MAPTYPE, 'BMAP_NORMAL_MAP');
  const { text, hits } = rewrite(source, BAIDU_KEYS);
  for (const [key] of BAIDU_KEYS) assert.equal(hits.get(key), key === 'zeb.DEFAULT_MAPTYPE' ? 2 : 1, key);
  const zeb = evaluate(text);
  assert.equal(zeb.DEFAULT_MAPTYPE_INDEX, 5);
  assert.equal(zeb.scaledDrawingBar, false);
  assert.deepEqual([zeb.normalUDT, zeb.satelliteStreetVer], ['20200101', '102']);
  assert.deepEqual([zeb.styleOptions.strokeOpacity, zeb.styleOptions.strokeStyle], [0.75, 'solid']);
});
