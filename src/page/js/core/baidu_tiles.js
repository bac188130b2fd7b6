// Tile URLs of the Baidu page's own layers. Tile numbers are those of the Baidu grid
// (columns eastwards and rows northwards from the projection's origin, negative west and
// south of it).

export const BAIDU_HOSTS = {
  online: 'http://online{0}.map.bdimg.com',
  web: 'http://maponline{0}.bdimg.com',
  satellite: 'http://shangetu{0}.map.bdimg.com',
  traffic: 'http://its.map.baidu.com:8002',
};

// Server 1 to 4, chosen by the tile's numbers so that a tile always comes from one server.
export function baiduServer(x, y) {
  return ((((x + y) % 4) + 4) % 4) + 1;
}

const host = (family, x, y) => BAIDU_HOSTS[family].replace('{0}', String(baiduServer(x, y)));

// v: the page object's date stamps and versions.
export const BAIDU_TILE_KINDS = {
  road: (x, y, z, v) => `${host('online', x, y)}/tile/?qt=tile&x=${x}&y=${y}&z=${z}&styles=pl&udt=${v.normalUDT}`,
  roadHD: (x, y, z, v) => `${host('web', x, y)}/it/u=x=${x};y=${y};z=${z};v=${v.normalVer};type=web&fm=41&udt=${v.normalUDT}`,
  labelsHD: (x, y, z, v) => `${host('web', x, y)}/it/u=x=${x};y=${y};z=${z};v=${v.normalVer};type=web&fm=43&udt=${v.normalUDT}`,
  satellite: (x, y, z, v) => `${host('satellite', x, y)}/it/u=x=${x};y=${y};z=${z};v=${v.satelliteVer};type=sate&fm=46&udt=${v.satelliteUDT}`,
  hybridLabels: (x, y, z, v) => `${host('online', x, y)}/tile/?qt=tile&x=${x}&y=${y}&z=${z}&v=${v.satelliteStreetVer}&styles=sl&udt=${v.satelliteStreetUDT}`,
  traffic: (x, y, z) => `${BAIDU_HOSTS.traffic}/traffic/TrafficTileService?level=${z}&x=${x}&y=${y}`,
};

// Layer objects by the names the program's scripts use: tile kinds from bottom to top and
// the zoom range.
export const BAIDU_MAP_TYPES = {
  BMAP_NORMAL_MAP: { kinds: ['road'], minZoom: 3, maxZoom: 19 },
  BMAP_NORMAL_MAP_HD: { kinds: ['roadHD'], minZoom: 3, maxZoom: 18 },
  BMAP_HYBRID_MAP_HD: { kinds: ['satellite', 'labelsHD'], minZoom: 3, maxZoom: 18 },
  BMAP_HYBRID_MAP: { kinds: ['satellite', 'hybridLabels'], minZoom: 3, maxZoom: 19 },
  BMAP_SATELLITE_MAP: { kinds: ['satellite'], minZoom: 3, maxZoom: 19 },
  // The perspective map of the provider's own script is not available; the road map stands in.
  BMAP_PERSPECTIVE_MAP: { kinds: ['road'], minZoom: 3, maxZoom: 19 },
};

// Start layer from the settings' index: 0 road, 1 road HD, 2 satellite, 3 hybrid, 4 hybrid HD,
// anything else the perspective map.
export function baiduMapTypeOfIndex(index) {
  return ['BMAP_NORMAL_MAP', 'BMAP_NORMAL_MAP_HD', 'BMAP_SATELLITE_MAP', 'BMAP_HYBRID_MAP', 'BMAP_HYBRID_MAP_HD'][Number(index)]
    || 'BMAP_PERSPECTIVE_MAP';
}
