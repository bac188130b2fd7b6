// Provider-specific tile names used by the tile URLs of the map page.

// Tencent counts rows from the south: zoom/(x>>4)/(y'>>4)/x_y'.
export function tencentTileName(x, y, z) {
  const yFlipped = Math.pow(2, z) - 1 - y;
  return `${z}/${Math.floor(x / 16)}/${Math.floor(yFlipped / 16)}/${x}_${yFlipped}`;
}

// Bing quadkey: one digit per level, most significant level first.
export function quadKey(x, y, z) {
  let key = '';
  for (let i = z; i > 0; i--) {
    const mask = 1 << (i - 1);
    let digit = 0;
    if ((x & mask) !== 0) digit += 1;
    if ((y & mask) !== 0) digit += 2;
    key += String(digit);
  }
  return key;
}

// NavInfo folder path of blocks of 16^k tiles followed by the 64-bit tile key.
export function navInfoTilePath(x, y, z) {
  const n = Math.ceil((z - 3) / 4);
  let path = '';
  let prevCol = 0;
  let prevRow = 0;
  let prevSize = 0;
  for (let k = 0; k < n; k++) {
    const size = Math.pow(2, 4 * (n - k));
    const col = Math.trunc((x - prevCol * prevSize) / size);
    const row = Math.trunc((y - prevRow * prevSize) / size);
    path += (col <= 9 ? '0' : '') + col + (row <= 9 ? '0' : '') + row + '/';
    prevCol = col;
    prevRow = row;
    prevSize = size;
  }
  // The key exceeds 2^53 at high zoom levels: compose it exactly with BigInt.
  const key = (BigInt(y & 0xfffff) << 20n) + BigInt(x & 0xfffff) + (BigInt(z) << 40n);
  return `${z}/${path}${key}`;
}

export const WMS_HALF_EXTENT = 20037508.34279;

// Written with up to 15 significant digits, as the downloader writes the box of the same tile.
const boxNumber = (v) => String(Number(v.toPrecision(15)));

// Web Mercator box of a tile: minx,miny,maxx,maxy.
export function wmsBox(x, y, z) {
  const h = WMS_HALF_EXTENT;
  const n = Math.pow(2, z);
  const minx = -h + (2 * h * x) / n;
  const maxx = -h + (2 * h * (x + 1)) / n;
  const miny = h - (2 * h * (y + 1)) / n;
  const maxy = h - (2 * h * y) / n;
  return [minx, miny, maxx, maxy].map(boxNumber).join(',');
}

// Leading zeros of the night imagery names: as many as the value has digits fewer than 2^zoom.
export function nightZeroFill(v, z) {
  if (v === 0) return '0';
  const k = Math.floor(Math.log10(Math.pow(2, z))) - Math.floor(Math.log10(v));
  const pad = k === 3 ? '000' : k === 2 ? '00' : k === 1 ? '0' : '';
  return pad + String(v);
}

// Path of a night imagery tile: /google/tiles_n2012/<folder>/<s>_<Y>_<X>.jpg
export function nightTilePath(x, y, z) {
  const s = ('000000' + String(256 * Math.pow(2, z))).slice(-6);
  const X = nightZeroFill(x, z);
  const Y = nightZeroFill(y, z);
  const folder = z === 10 ? `${s}/${Y.slice(0, 2)}` : s;
  return `/google/tiles_n2012/${folder}/${s}_${Y}_${X}.jpg`;
}
