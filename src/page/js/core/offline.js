// Offline tiles: the tile folder tree that the downloader fills, read back by file URL.

// Layer folders as the downloader stores them. Layers 30 and 31 keep each other's folder
// name: tile trees written earlier rely on it.
export const TILE_FOLDERS = [
  '\\mapabc\\roadmap\\', '\\mapabc\\satellite\\', '\\mapabc\\satellite\\',
  '\\googlemaps\\roadmap\\', '\\googlemaps\\satellite\\', '\\googlemaps\\satellite_en\\',
  '\\googlemaps\\satellite\\', '\\googlemaps\\terrain\\', '\\googlemaps\\roadmap_nolabel\\',
  '\\googlemaps\\satellite\\', '\\googlemaps\\terrain_nolabel\\',
  '\\sosomaps\\roadmap\\', '\\sosomaps\\satellite\\', '\\sosomaps\\satellite\\', '\\sosomaps\\terrain\\',
  '\\yahoomaps\\roadmap\\', '\\yahoomaps\\satellite\\',
  '\\nokiamaps\\roadmap\\', '\\nokiamaps\\satellite\\', '\\nokiamaps\\hybrid\\', '\\nokiamaps\\terrain\\',
  '\\bingmaps\\roadmap_cn\\', '\\bingmaps\\roadmap\\', '\\bingmaps\\satellite\\', '\\bingmaps\\hybrid\\',
  '\\supermap\\roadmap\\', '\\smartearth\\roadmap\\',
  '\\arcgis\\Community\\', '\\arcgis\\StreetColor\\', '\\arcgis\\StreetWarm\\',
  '\\arcgis\\StreetGray\\', '\\arcgis\\StreetCold\\', '\\arcgis\\CommunityEN\\', '\\arcgis\\satellite\\',
  '\\tianditu\\roadmap\\', '\\tianditu\\satellite\\', '\\tianditu\\satellite\\', '\\tianditu\\terrain\\',
  '\\topomapper\\terrain\\', '\\topomapper\\physical_relief_map\\', '\\historic_nlsmap\\terrain\\',
  '\\OSM\\roadmap\\', '\\googlemaps\\earthnight\\', '\\NavInfo\\roadmap\\', '\\NavInfo\\satellite\\',
];

// Label overlay folders; the night layer's overlay is not stored by the downloader and has
// a folder of its own.
export const OVERLAY_FOLDERS = {
  2: '\\mapabc\\overlay\\',
  5: '\\tianditu\\overlay_s\\',
  6: '\\googlemaps\\overlay\\',
  9: '\\googlemaps\\overlay_nolabel\\',
  13: '\\sosomaps\\overlay\\',
  14: '\\sosomaps\\overlay_t\\',
  24: '\\tianditu\\overlay_s\\',
  34: '\\tianditu\\overlay_r\\',
  36: '\\tianditu\\overlay_s\\',
  37: '\\tianditu\\overlay_t\\',
  42: '\\googlemaps\\EarthNight_overlay\\',
  44: '\\NavInfo\\overlay\\',
};

// Joins the tile folder and a layer folder into a path with "/" separators and single
// separators between segments (the folder texts keep their stored backslashes).
export function joinTilePath(tilePath, folder, z, x, y, ext) {
  const joined = `${tilePath || ''}\\${folder}\\${z}\\${x}\\${y}.${ext}`.replace(/\\/g, '/');
  const unc = /^\/\/[^/]/.test((tilePath || '').replace(/\\/g, '/'));
  const path = joined.replace(/\/{2,}/g, '/');
  return unc ? '/' + path : path;
}

// A file URL of a local path; every segment is percent-encoded so that blanks, "#", "?"
// and non-ASCII names survive.
export function fileUrl(path) {
  const segments = path.split('/').map((s, i) => (i === 0 && /^[A-Za-z]:$/.test(s) ? s : encodeURIComponent(s)));
  let p = segments.join('/');
  if (/^[A-Za-z]:/.test(path)) p = '/' + p; // C:/x -> /C:/x
  return 'file://' + p;
}

export function offlineTilePath(tilePath, layer, x, y, z, ext) {
  return joinTilePath(tilePath, TILE_FOLDERS[layer], z, x, y, ext);
}

export function offlineTileUrl(tilePath, layer, x, y, z, ext) {
  return fileUrl(offlineTilePath(tilePath, layer, x, y, z, ext));
}

export function offlineOverlayUrl(tilePath, layer, x, y, z) {
  const folder = OVERLAY_FOLDERS[layer];
  if (!folder) return null;
  return fileUrl(joinTilePath(tilePath, folder, z, x, y, 'png'));
}

// A tile that the downloader stored under the other image type: tiles keep the type the
// server sent, which need not be the extension the page tries first.
export function alternateTileUrl(url) {
  const m = /\.(png|jpg)$/i.exec(url || '');
  if (!m || !url.startsWith('file:')) return null;
  return url.slice(0, -3) + (m[1].toLowerCase() === 'png' ? 'jpg' : 'png');
}
