// Settings of the Baidu map page. The program rewrites the marked lines before every load,
// one line at a time: keep one setting per line.
var BMAP_NORMAL_MAP = "BMAP_NORMAL_MAP";
var BMAP_SATELLITE_MAP = "BMAP_SATELLITE_MAP";
var BMAP_HYBRID_MAP = "BMAP_HYBRID_MAP";
var BMAP_PERSPECTIVE_MAP = "BMAP_PERSPECTIVE_MAP";
var BMAP_NORMAL_MAP_HD = "BMAP_NORMAL_MAP_HD";
var BMAP_HYBRID_MAP_HD = "BMAP_HYBRID_MAP_HD";
var zeb = window.zeb || {};
window.zeb = zeb;
zeb.DEFAULT_LATITUDE = 36.81574;
zeb.DEFAULT_LONGITUDE = 110.95417;
zeb.DEFAULT_ZOOM = 5; 
zeb.DEFAULT_MAPTYPE = BMAP_NORMAL_MAP;
zeb.DEFAULT_MAPTYPE_INDEX = 0;
zeb.showAreaLabel = true;
zeb.map = null;
zeb.label = null;
zeb.markerClusterer = null;
zeb.projection = null;
zeb.drawingManager = null;
zeb.boundary = null;
zeb.customPolygon = null;
zeb.showCopyright = false;
zeb.showResolutionMapScale = true;
zeb.markers = [];
zeb.pois = [];
zeb.tempMarkerCount = 0;
zeb.scaledDrawingBar = false;
zeb.styleOptions = {
strokeColor: "#009ad6",
fillColor : "#009ad6",
strokeWeight: 3,
strokeOpacity:0.95,
fillOpacity: 0.15,
strokeStyle: 'solid'
};
zeb.hasTrafficTileLayer = false;
zeb.normalUDT="20140522";
zeb.normalVer="024";
zeb.satelliteUDT="20140117";
zeb.satelliteVer="009";
zeb.satelliteStreetUDT="20140522";
zeb.satelliteStreetVer="024";
