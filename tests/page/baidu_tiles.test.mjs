import { test } from 'node:test';
import assert from 'node:assert/strict';
import { BAIDU_TILE_KINDS, baiduServer, baiduMapTypeOfIndex } from '../../src/page/js/core/baidu_tiles.js';

const v = { normalUDT: '20140522', normalVer: '024', satelliteUDT: '20140117', satelliteVer: '009',
  satelliteStreetUDT: '20140601', satelliteStreetVer: '025' };

test('Baidu tiles come from server (x + y) mod 4 + 1, also west and south of the origin', () => {
  const cases = [[0, 0, 1], [1, 2, 4], [3, 1, 1], [-1, 0, 4], [-3, -2, 4], [-4, 0, 1]];
  for (const [x, y, server] of cases) assert.equal(baiduServer(x, y), server, `(${x},${y})`);
});

test('Baidu tile URLs of each tile kind', () => {
  const path = (u) => u.replace(/^http:\/\/[^/]+/, '');
  assert.equal(BAIDU_TILE_KINDS.road(50617, 18851, 18, v), 'http://online1.map.bdimg.com/tile/?qt=tile&x=50617&y=18851&z=18&styles=pl&udt=20140522');
  assert.equal(path(BAIDU_TILE_KINDS.roadHD(1, 2, 5, v)), '/it/u=x=1;y=2;z=5;v=024;type=web&fm=41&udt=20140522');
  assert.equal(path(BAIDU_TILE_KINDS.labelsHD(1, 2, 5, v)), '/it/u=x=1;y=2;z=5;v=024;type=web&fm=43&udt=20140522');
  assert.equal(path(BAIDU_TILE_KINDS.satellite(-1, 2, 5, v)), '/it/u=x=-1;y=2;z=5;v=009;type=sate&fm=46&udt=20140117');
  assert.equal(path(BAIDU_TILE_KINDS.hybridLabels(1, 2, 5, v)), '/tile/?qt=tile&x=1&y=2&z=5&v=025&styles=sl&udt=20140601');
});

test('the start layer index of the settings', () => {
  const cases = [[0, 'BMAP_NORMAL_MAP'], [1, 'BMAP_NORMAL_MAP_HD'], [2, 'BMAP_SATELLITE_MAP'], [3, 'BMAP_HYBRID_MAP'],
    [4, 'BMAP_HYBRID_MAP_HD'], [5, 'BMAP_PERSPECTIVE_MAP'], [-1, 'BMAP_PERSPECTIVE_MAP']];
  for (const [index, name] of cases) assert.equal(baiduMapTypeOfIndex(index), name);
});
