// Tile server hosts of the map pages. "{0}" is the server number or letter of a tile.
// They name the same providers as the downloader's layer catalogue.
export const HOSTS = {
  amapRoad: 'http://webrd0{0}.is.autonavi.com',
  amapSatellite: 'http://webst0{0}.is.autonavi.com',
  googleChina: 'http://mt{0}.google.cn',
  googleImagery: 'http://khm{0}.google.com',
  tencent: 'http://p{0}.map.gtimg.com',
  aliyun: 'http://ditu.aliyun.com',
  yahooImagery: 'http://maps.yimg.com',
  nokia: 'http://{0}.maps.nlp.nokia.com',
  bingChina: 'http://r{0}.tiles.ditu.live.com',
  bing: 'http://ecn.t{0}.tiles.virtualearth.net',
  supermap: 'http://t2.supermapcloud.com',
  smartearth: 'http://www.smartearth.cn:9000',
  arcgisChina: 'http://cache1.arcgisonline.cn',
  arcgisWorld: 'http://server.arcgisonline.com',
  tianditu: 'http://t{0}.tianditu.com',
  // The annotation tiles come from servers of their own.
  tiandituAnnotation: 'http://t{0}.tianditu.cn',
  topomapper: 'http://maps.topomapper.com',
  historic: 'http://nls-{0}.tileserver.com',
  osm: 'http://{0}.tile.openstreetmap.org',
  night: 'http://www.nasa.gov.cn.earthnight.net',
  navinfo: 'http://mapimg.navinfo.com',
  amapTraffic: 'http://tm.mapabc.com',
  // China Google host pattern, the default of zeb.mapsever.
  googleChinaPattern: 'http://mt{0}.google.cn',
};
