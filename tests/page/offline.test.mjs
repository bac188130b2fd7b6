import { test } from 'node:test';
import assert from 'node:assert/strict';
import { tileUrl, overlayUrl } from '../../src/page/js/core/map_types.js';
import { offlineTilePath, fileUrl, alternateTileUrl, TILE_FOLDERS } from '../../src/page/js/core/offline.js';
import { pageState } from './support.mjs';

test('offline tiles come from the folders the downloader writes, with the table\'s extension', () => {
  const zeb = pageState({ offlineMode: true });
  const cases = [
    // layer, x, y, z, URL
    [3, 6, 2, 3, 'file:///home/user/MapDownload/googlemaps/roadmap/3/6/2.png'],
    [6, 6, 2, 3, 'file:///home/user/MapDownload/googlemaps/satellite/3/6/2.jpg'],
    [30, 6, 2, 3, 'file:///home/user/MapDownload/arcgis/StreetGray/3/6/2.png'],
    [31, 6, 2, 3, 'file:///home/user/MapDownload/arcgis/StreetCold/3/6/2.png'],
    [32, 6, 2, 3, 'file:///home/user/MapDownload/arcgis/CommunityEN/3/6/2.png'],
    [44, 6, 2, 3, 'file:///home/user/MapDownload/NavInfo/satellite/3/6/2.jpg'],
  ];
  for (const [layer, x, y, z, expected] of cases) assert.equal(tileUrl(zeb, layer, x, y, z), expected, `layer ${layer}`);
  assert.equal(TILE_FOLDERS.length, 45);
});

test('offline label overlays are PNG tiles of the overlay folders', () => {
  const zeb = pageState({ offlineMode: true });
  assert.equal(overlayUrl(zeb, 6, 6, 2, 3), 'file:///home/user/MapDownload/googlemaps/overlay/3/6/2.png');
  assert.equal(overlayUrl(zeb, 5, 6, 2, 3), 'file:///home/user/MapDownload/tianditu/overlay_s/3/6/2.png');
  assert.equal(overlayUrl(zeb, 24, 6, 2, 3), 'file:///home/user/MapDownload/tianditu/overlay_s/3/6/2.png');
  assert.equal(overlayUrl(zeb, 3, 6, 2, 3), null);
});

test('tile folder texts become file URLs whatever their separators and characters', () => {
  const cases = [
    ['/home/user/MapDownload', 'file:///home/user/MapDownload/googlemaps/roadmap/3/6/2.png'],
    ['/home/user/MapDownload//', 'file:///home/user/MapDownload/googlemaps/roadmap/3/6/2.png'],
    ['/home/user/地图 #1?/', 'file:///home/user/%E5%9C%B0%E5%9B%BE%20%231%3F/googlemaps/roadmap/3/6/2.png'],
    ['C:\\GPSCache\\', 'file:///C:/GPSCache/googlemaps/roadmap/3/6/2.png'],
  ];
  for (const [tilePath, expected] of cases) {
    assert.equal(fileUrl(offlineTilePath(tilePath, 3, 6, 2, 3, 'png')), expected, tilePath);
  }
});

test('a missing offline tile is tried once more under the other image type', () => {
  assert.equal(alternateTileUrl('file:///t/arcgis/Community/3/6/2.png'), 'file:///t/arcgis/Community/3/6/2.jpg');
  assert.equal(alternateTileUrl('file:///t/googlemaps/satellite/3/6/2.jpg'), 'file:///t/googlemaps/satellite/3/6/2.png');
  assert.equal(alternateTileUrl('http://mt0.google.cn/vt/x.png'), null);
  assert.equal(alternateTileUrl(''), null);
});

test('switching the mode changes where later tiles come from', () => {
  const zeb = pageState();
  assert.match(tileUrl(zeb, 41, 1, 1, 2), /^http:\/\/[abc]\.tile\.openstreetmap\.org\/2\/1\/1\.png$/);
  zeb.offlineMode = true;
  assert.equal(tileUrl(zeb, 41, 1, 1, 2), 'file:///home/user/MapDownload/OSM/roadmap/2/1/1.png');
});
