// Shared helpers of the page script tests.
import { buildMapTypes } from '../../src/page/js/core/map_types.js';

export const settings = {
  GOOGLE_M_VER: '264', GOOGLE_H_VER: '264', GOOGLE_S_VER: '150', languageCode: 'zh-cn',
  mapsever: 'http://mt{0}.google.cn', GOOGLE_HD_VER: '', STYLE_PARAMS_URL: '',
  TILE_PATH: '/home/user/MapDownload/', offlineMode: false,
};

export function pageState(overrides = {}) {
  const zeb = { ...settings, ...overrides };
  zeb.MAP_TYPES = buildMapTypes(zeb);
  return zeb;
}

// Draws always the same server number: the lowest (0) or the highest (n - 1).
export const lowest = () => 0;
export const highest = (n) => n - 1;
