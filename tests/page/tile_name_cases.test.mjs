// The map page's side of the tile-address table that the downloader's tests read too.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { fileURLToPath } from 'node:url';
import { onlineTileUrl, onlineOverlayUrl } from '../../src/page/js/core/map_types.js';
import { offlineTilePath, joinTilePath, OVERLAY_FOLDERS } from '../../src/page/js/core/offline.js';
import { pageState, lowest, highest } from './support.mjs';

const table = JSON.parse(readFileSync(fileURLToPath(new URL('../data/tile_name_cases.json', import.meta.url)), 'utf8'));

test('the page builds the table\'s URLs and reads the files the downloader names', () => {
  const pageCases = table.cases.filter((c) => c.page);
  assert.equal(pageCases.length, 45 * 2);
  const { RoadMapTileVer, SatMapTileVer } = table.settings;
  for (const c of pageCases) {
    const zeb = pageState({
      languageCode: c.language, GOOGLE_M_VER: RoadMapTileVer, GOOGLE_H_VER: RoadMapTileVer,
      GOOGLE_S_VER: SatMapTileVer,
    });
    const rand = c.server === 'highest' ? highest : lowest;
    const where = `layer ${c.layer} tile ${c.x},${c.y},${c.z}`;
    assert.equal(onlineTileUrl(zeb.MAP_TYPES, c.layer, c.x, c.y, c.z, rand) ?? '', c.page.url, where);
    assert.equal(onlineOverlayUrl(zeb.MAP_TYPES, c.layer, c.x, c.y, c.z, rand) ?? '', c.page.overlay, where);
    const ext = zeb.MAP_TYPES[c.layer].ext;
    assert.equal(offlineTilePath(table.root, c.layer, c.x, c.y, c.z, ext), c.offline.path, where);
    if (c.offline.overlay) {
      assert.equal(joinTilePath(table.root, OVERLAY_FOLDERS[c.layer], c.z, c.x, c.y, 'png'), c.offline.overlay, where);
    }
  }
});

test('the page and the downloader ask the same provider servers for a tile', () => {
  // Server numbers and OSM letters aside. The page names no server for the Yahoo imagery,
  // draws its night layer from other imagery than the downloader, and takes layer 5's labels
  // below zoom 10 from the Google labels.
  const servers = (u) => u && new URL(u).host.replace(/\d+/g, '#').replace(/^[a-c]\.tile\./, '#.tile.');
  for (const c of table.cases.filter((c) => c.page && c.layer !== 16 && c.layer !== 42)) {
    const where = `layer ${c.layer} zoom ${c.z}`;
    assert.equal(servers(c.page.url), servers(c.engine.url), where);
    if (c.layer !== 5 || c.z >= 10) {
      assert.equal(servers(c.page.overlay), servers(c.engine.overlay), where);
    }
  }
});
