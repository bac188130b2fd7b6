import { test } from 'node:test';
import assert from 'node:assert/strict';
import {
  onlineTileUrl, onlineOverlayUrl, tileUrl, overlayUrl, trafficTileUrl, zoomRange, OVERLAY_LAYERS,
} from '../../src/page/js/core/map_types.js';
import { tencentTileName, quadKey, navInfoTilePath, nightTilePath } from '../../src/page/js/core/tile_names.js';
import { pageState, lowest, highest } from './support.mjs';

const zeb = pageState();
const url = (layer, x, y, z, rand = lowest) => onlineTileUrl(zeb.MAP_TYPES, layer, x, y, z, rand);
const path = (u) => u.replace(/^[a-z]+:\/\/[^/]+/, '');

test('every layer has a complete URL at a tile inside its zoom range', () => {
  const state = pageState();
  assert.equal(state.MAP_TYPES.length, 45);
  for (let layer = 0; layer < 45; layer++) {
    const [minZoom, maxZoom] = zoomRange(layer);
    for (const z of [minZoom, maxZoom]) {
      const x = Math.pow(2, z) - 1;
      const u = url(layer, x, 0, z);
      assert.match(u, /^https?:\/\/[^/{}]+\//, `layer ${layer} zoom ${z}: ${u}`);
      assert.doesNotMatch(u, /\{\d\}|undefined|NaN/, `layer ${layer} zoom ${z}: ${u}`);
    }
    if (OVERLAY_LAYERS.includes(layer)) {
      assert.doesNotMatch(onlineOverlayUrl(state.MAP_TYPES, layer, 1, 1, 3, highest), /\{\d\}|undefined/);
    } else {
      assert.equal(onlineOverlayUrl(state.MAP_TYPES, layer, 1, 1, 3), null, `layer ${layer}`);
    }
  }
});

test('tiles outside the world are never requested', () => {
  const outside = [[-1, 0, 3], [0, -1, 3], [8, 0, 3], [0, 8, 3], [1, 0, 0], [0.5, 0, 3]];
  for (const offlineMode of [false, true]) {
    const state = pageState({ offlineMode });
    for (let layer = 0; layer < 45; layer++) {
      for (const [x, y, z] of outside) {
        assert.equal(tileUrl(state, layer, x, y, z), null, `layer ${layer} (${x},${y},${z})`);
        assert.equal(overlayUrl(state, layer, x, y, z), null, `overlay ${layer} (${x},${y},${z})`);
      }
    }
  }
  assert.equal(trafficTileUrl(-1, 0, 8), null);
});

test('Tencent layers name tiles by zoom, 16-tile blocks and the row counted from the south', () => {
  assert.equal(tencentTileName(0, 0, 1), '1/0/0/0_1');
  assert.equal(tencentTileName(37, 2, 6), '6/2/3/37_61');
  assert.equal(path(url(11, 37, 2, 6)), '/maptilesv3/6/2/3/37_61.png');
  assert.equal(path(url(12, 37, 2, 6)), '/sateTiles/6/2/3/37_61.jpg');
  assert.equal(path(onlineOverlayUrl(zeb.MAP_TYPES, 13, 37, 2, 6, lowest)), '/sateTranTilesv3/6/2/3/37_61.png');
  assert.equal(path(onlineOverlayUrl(zeb.MAP_TYPES, 14, 0, 0, 1, lowest)), '/demTranTiles/1/0/0/0_1.png');
});

test('Bing layers address tiles by quadkey', () => {
  assert.equal(quadKey(3, 5, 3), '213');
  assert.equal(quadKey(0, 0, 0), '');
  assert.equal(path(url(22, 3, 5, 3)), '/tiles/r213.png?g=2560');
  assert.equal(path(url(21, 3, 5, 3)), '/tiles/r213.png?g=96&mkt=zh-cn');
  assert.equal(path(url(23, 3, 5, 3)), '/tiles/a213.jpeg?g=2560&mkt=en&n=z');
  assert.equal(path(url(24, 3, 5, 3)), '/tiles/a213.jpeg?g=2560&mkt=en&n=z');
});

test('ArcGIS layers put zoom, row and column in that order', () => {
  assert.equal(path(url(27, 6, 2, 3)), '/ArcGIS/rest/services/ChinaOnlineCommunity/MapServer/tile/3/2/6');
  assert.equal(path(url(30, 6, 2, 3)), '/ArcGIS/rest/services/ChinaOnlineStreetCold/MapServer/tile/3/2/6');
  assert.equal(path(url(33, 6, 2, 3)), '/ArcGIS/rest/services/World_Imagery/MapServer/tile/3/2/6');
});

test('Yahoo satellite counts rows from the south one level up; Yahoo road does not', () => {
  assert.equal(path(url(16, 3, 1, 3)), '/ae/ximg?v=1.9&t=a&s=256&r=1&x=3&y=2&z=4');
  assert.equal(path(url(16, 0, 0, 3)), '/ae/ximg?v=1.9&t=a&s=256&r=1&x=0&y=3&z=4');
  assert.equal(path(url(15, 3, 1, 3)), '/get_png?v=v6&x=3&y=1&z=3');
});

test('relief layers ask a WMS server for the Web Mercator box of the tile', () => {
  assert.match(url(38, 0, 0, 1), /&BBOX=-20037508\.34279,0,0,20037508\.34279&WIDTH=256/);
  assert.match(url(39, 1, 1, 1), /&BBOX=0,-20037508\.34279,20037508\.34279,0&WIDTH=256/);
});

test('night layer folders and zero-filled names', () => {
  const cases = [
    // x, y, z, path
    [5, 2, 3, '/google/tiles_n2012/002048/002048_2_5.jpg'],
    [0, 7, 3, '/google/tiles_n2012/002048/002048_7_0.jpg'],
    [123, 456, 10, '/google/tiles_n2012/262144/04/262144_0456_0123.jpg'],
    [5, 1000, 10, '/google/tiles_n2012/262144/10/262144_1000_0005.jpg'],
    [5, 12, 11, '/google/tiles_n2012/524288/524288_0012_0005.jpg'],
  ];
  for (const [x, y, z, expected] of cases) {
    assert.equal(nightTilePath(x, y, z), expected, `(${x},${y},${z})`);
    assert.equal(path(url(42, x, y, z)), expected);
  }
  // The night layer has no offline tiles of its own; its label overlay has a folder.
  const offline = pageState({ offlineMode: true });
  assert.match(tileUrl(offline, 42, 5, 2, 3), /^http:.*002048_2_5\.jpg$/);
  assert.equal(overlayUrl(offline, 42, 5, 2, 3), 'file:///home/user/MapDownload/googlemaps/EarthNight_overlay/3/5/2.png');
});

test('NavInfo layers use block folders and the 64-bit tile key', () => {
  assert.equal(navInfoTilePath(6, 2, 3), `3/${2 * 2 ** 20 + 6 + 3 * 2 ** 40}`);
  assert.equal(navInfoTilePath(200, 100, 8), `8/0000/1206/${100 * 2 ** 20 + 200 + 8 * 2 ** 40}`);
  // Zoom 18 keys pass 2^53: they must stay exact.
  assert.equal(navInfoTilePath(215000, 99000, 18).split('/').pop(), (99000n * 2n ** 20n + 215000n + 18n * 2n ** 40n).toString());
  assert.equal(path(url(43, 6, 2, 3)), `/vi/3/${2 * 2 ** 20 + 6 + 3 * 2 ** 40}.png`);
  assert.equal(path(onlineOverlayUrl(zeb.MAP_TYPES, 44, 6, 2, 3)), `/vis2/3/${2 * 2 ** 20 + 6 + 3 * 2 ** 40}.png`);
});

test('Google layers follow the page settings', () => {
  const intl = pageState({ mapsever: 'http://mt{0}.google.com', languageCode: 'en', GOOGLE_M_VER: '300',
    STYLE_PARAMS_URL: '&apistyle=x' });
  const u = (layer) => onlineTileUrl(intl.MAP_TYPES, layer, 6, 2, 3, highest);
  assert.equal(u(3), 'http://mt3.google.com/vt/lyrs=m@300&hl=en&gl=cn&src=app&x=6&y=2&z=3&s=Galileo&apistyle=x');
  // The road layer without labels always asks the China host in Chinese.
  assert.equal(u(8), 'http://mt3.google.cn/vt/lyrs=m@300&hl=zh-CN&gl=cn&src=app&x=6&y=2&z=3&s=Galileo&apistyle=s.e%3Al%7Cp.v%3Aoff&style=47,37%7Csmartmaps');
  assert.equal(u(4), 'http://mt3.google.com/vt/lyrs=s@150&hl=en&gl=cn&x=6&y=2&z=3&s=Galileo');
  assert.match(u(7), /lyrs=t@132,r@300&hl=en.*&s=Gali&apistyle=x$/);
  assert.match(onlineOverlayUrl(intl.MAP_TYPES, 6, 6, 2, 3, lowest), /^http:\/\/mt0\.google\.com\/vt\/imgtp=png32&lyrs=h@264&hl=en.*Galileo&apistyle=x$/);
  assert.match(onlineOverlayUrl(intl.MAP_TYPES, 9, 6, 2, 3, lowest), /&s=Galil&apistyle=s\.e%3Al/);
});

test('label overlays of the layers that share another layer\'s labels', () => {
  const ov = (layer, z) => onlineOverlayUrl(zeb.MAP_TYPES, layer, 1, 1, z, lowest);
  assert.match(ov(5, 9), /lyrs=h@264/);
  assert.match(ov(5, 10), /T=cia_w&x=1&y=1&l=10$/);
  assert.match(ov(24, 4), /T=cia_w&x=1&y=1&l=4$/);
  assert.match(ov(34, 4), /T=cva_w&x=1&y=1&l=4$/);
  assert.match(ov(37, 4), /T=cta_w&X=1&Y=1&L=4$/);
  assert.match(ov(2, 4), /^http:\/\/webst01\..*style=8&x=1&y=1&z=4$/);
});

test('server numbers stay within each provider\'s range', () => {
  const host = (u) => /^[a-z]+:\/\/([^/]+)/.exec(u)[1];
  const cases = [
    // layer, lowest host, highest host
    [0, 'webrd01.is.autonavi.com', 'webrd04.is.autonavi.com'],
    [3, 'mt0.google.cn', 'mt3.google.cn'],
    [11, 'p0.map.gtimg.com', 'p3.map.gtimg.com'],
    [17, '1.maps.nlp.nokia.com', '4.maps.nlp.nokia.com'],
    [34, 't0.tianditu.com', 't6.tianditu.com'],
    [40, 'nls-0.tileserver.com', 'nls-4.tileserver.com'],
    [41, 'a.tile.openstreetmap.org', 'c.tile.openstreetmap.org'],
  ];
  for (const [layer, lo, hi] of cases) {
    assert.equal(host(url(layer, 1, 1, 4, lowest)), lo, `layer ${layer}`);
    assert.equal(host(url(layer, 1, 1, 4, highest)), hi, `layer ${layer}`);
  }
  assert.equal(path(url(17, 6, 2, 3)).split('?')[0], '/maptile/2.1/maptile/newest/normal.day/3/6/2/256/png8');
  assert.equal(path(url(20, 6, 2, 3)).split('?')[0], '/maptile/2.1/maptile/newest/terrain.day/3/6/2/256/png8');
});

test('the traffic overlay exists from zoom 7 to 17 and counts zoom levels downwards', () => {
  assert.equal(path(trafficTileUrl(100, 50, 7)), '/trafficengine/mapabc/traffictile?v=1.0&t=1&zoom=10&x=100&y=50');
  assert.equal(trafficTileUrl(1, 1, 6), null);
  assert.equal(trafficTileUrl(1, 1, 18), null);
});

test('coordinate grid tiles name their corner and their numbers in three schemes', async () => {
  const { gridTileLines } = await import('../../src/page/js/core/coord_grid.js');
  assert.deepEqual(gridTileLines(0, 0, 0), ['Lng-Lat: (-180,85.0511)', 'Google: (0,0)', 'TMS: (0,0)', 'Bing: ()']);
  assert.deepEqual(gridTileLines(3, 5, 3), ['Lng-Lat: (-45,-40.9799)', 'Google: (3,5)', 'TMS: (3,2)', 'Bing: (213)']);
  assert.equal(gridTileLines(4, 4, 3)[0], 'Lng-Lat: (0,0)');
});
