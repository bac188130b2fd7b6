// The Baidu Mercator projection: BD-09 longitude/latitude to Baidu metres and back, and the
// Baidu tile grid over it (at zoom 18 one pixel is one metre; rows count northwards).

const LL_BANDS = [75, 60, 45, 30, 15, 0];
const MC_BANDS = [12890594.86, 8362377.87, 5591021, 3481989.83, 1678043.12, 0];

const LL_TO_MC = [
  [-0.0015702102444, 111320.7020616939, 1704480524535203, -10338987376042340, 26112667856603880,
    -35149669176653700, 26595700718403920, -10725012454188240, 1800819912950474, 82.5],
  [0.0008277824516172526, 111320.7020463578, 647795574.6671607, -4082003173.641316, 10774905663.51142,
    -15171875531.51559, 12053065338.62167, -5124939663.577472, 913311935.9512032, 67.5],
  [0.00337398766765, 111320.7020202162, 4481351.045890365, -23393751.19931662, 79682215.47186455,
    -115964993.2797253, 97236711.15602145, -43661946.33752821, 8477230.501135234, 52.5],
  [0.00220636496208, 111320.7020209128, 51751.86112841131, 3796837.749470245, 992013.7397791013,
    -1221952.21711287, 1340652.697009075, -620943.6990984312, 144416.9293806241, 37.5],
  [-0.0003441963504368392, 111320.7020576856, 278.2353980772752, 2485758.690035394, 6070.750963243378,
    54821.18345352118, 9540.606633304236, -2710.55326746645, 1405.483844121726, 22.5],
  [-0.0003218135878613132, 111320.7020701615, 0.00369383431289, 823725.6402795718, 0.46104986909093,
    2351.343141331292, 1.58060784298199, 8.77738589078284, 0.37238884252424, 7.45],
];

const MC_TO_LL = [
  [1.410526172116255e-8, 0.00000898305509648872, -1.9939833816331, 200.9824383106796, -187.2403703815547,
    91.6087516669843, -23.38765649603339, 2.57121317296198, -0.03801003308653, 17337981.2],
  [-7.435856389565537e-9, 0.000008983055097726239, -0.78625201886289, 96.32687599759846, -1.85204757529826,
    -59.36935905485877, 47.40033549296737, -16.50741931063887, 2.28786674699375, 10260144.86],
  [-3.030883460898826e-8, 0.00000898305509983578, 0.30071316287616, 59.74293618442277, 7.357984074871,
    -25.38371002664745, 13.45380521110908, -3.29883767235584, 0.32710905363475, 6856817.37],
  [-1.981981304930552e-8, 0.000008983055099779535, 0.03278182852591, 40.31678527705744, 0.65659298677277,
    -4.44255534477492, 0.85341911805263, 0.12923347998204, -0.04625736007561, 4482777.06],
  [3.09191371068437e-9, 0.000008983055096812155, 0.00006995724062, 23.10934304144901, -0.00023663490511,
    -0.6321817810242, -0.00663494467273, 0.03430082397953, -0.00466043876332, 2555164.4],
  [2.890871144776878e-9, 0.000008983055095805407, -3.068298e-8, 7.47137025468032, -0.00000353937994,
    -0.02145144861037, -0.00001234426596, 0.00010322952773, -0.00000323890364, 826088.5],
];

// Applies one band's polynomial: x linear, y a polynomial of |y| / scale.
function applyBand(x, y, c) {
  let outX = c[0] + c[1] * Math.abs(x);
  const t = Math.abs(y) / c[9];
  const outY = c[2] + c[3] * t + c[4] * t ** 2 + c[5] * t ** 3 + c[6] * t ** 4 + c[7] * t ** 5 + c[8] * t ** 6;
  outX *= x < 0 ? -1 : 1;
  return [outX, y < 0 ? -outY : outY];
}

function wrapLng(lng) {
  let v = lng;
  while (v > 180) v -= 360;
  while (v < -180) v += 360;
  return v;
}

// BD-09 to Baidu metres. Latitudes beyond ±74 are clamped, as the provider does.
export function lngLatToMercator(lng, lat) {
  const x = wrapLng(lng);
  const y = Math.min(74, Math.max(-74, lat));
  let coeff = LL_TO_MC[LL_TO_MC.length - 1];
  for (let i = 0; i < LL_BANDS.length; i++) {
    if (Math.abs(y) >= LL_BANDS[i]) {
      coeff = LL_TO_MC[i];
      break;
    }
  }
  const [mx, my] = applyBand(x, y, coeff);
  return { x: mx, y: my };
}

export function mercatorToLngLat(x, y) {
  let coeff = MC_TO_LL[MC_TO_LL.length - 1];
  for (let i = 0; i < MC_BANDS.length; i++) {
    if (Math.abs(y) >= MC_BANDS[i]) {
      coeff = MC_TO_LL[i];
      break;
    }
  }
  const [lng, lat] = applyBand(x, y, coeff);
  return { lng, lat };
}

// Corner of a tile with the smallest x and the largest y, as longitude and latitude.
export function tileToLatlng(tile, zoom) {
  const n = Math.pow(2, zoom - 18);
  return mercatorToLngLat((tile.x * 256) / n, ((tile.y + 1) * 256) / n);
}

export function latlngToTile(lat, lng, zoom) {
  const n = Math.pow(2, zoom - 18);
  const m = lngLatToMercator(lng, lat);
  const px = Math.floor(m.x * n);
  const py = Math.floor(m.y * n);
  const x = Math.floor(px / 256);
  const y = Math.floor(py / 256);
  const corner = tileToLatlng({ x, y }, zoom);
  return { x, y, lng: corner.lng, lat: corner.lat, text: `${x},${y},${corner.lng},${corner.lat}` };
}
