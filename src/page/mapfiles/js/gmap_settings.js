// Settings of the map page. The program rewrites the marked lines before every load, one
// line at a time: keep one setting per line.
var zeb = window.zeb || {};
window.zeb = zeb;
zeb.map = null;
zeb.customPolygon = null;
zeb.clearButton = null;
zeb.rulerPolyline = null;
zeb.marker = null;
zeb.navigationMarker = null;
zeb.navigationCircle = null;
zeb.previousPoint = null;
zeb.totalDistance = 0;
zeb.polylines = [];
zeb.infowindow = null;
zeb.drawingManager = null;
zeb.markers = [];
zeb.overlayExists = false;
zeb.mapTypeIds = [];
zeb.copyrights = {};
zeb.copyrightNode = null;
zeb.currentZoom = 4;
zeb.showCoordGrid = false;
zeb.coordGridExists = false;
zeb.offlineMode = false;
zeb.showCopyright = true;
zeb.showResolutionMapScale = true;
zeb.pois = [];
zeb.tempMarkerCount = 0;
zeb.GOOGLE_M_VER = "264";
zeb.GOOGLE_H_VER = "264";
zeb.GOOGLE_S_VER = "150";
zeb.languageCode = "zh-cn";
zeb.mapsever = "http://mt{0}.google.cn";
zeb.DEFAULT_MAPTYPE_INDEX = 0;
zeb.DEFAULT_LATITUDE = 23.540307;
zeb.DEFAULT_LONGITUDE = 111.772463;
zeb.DEFAULT_ZOOM = 4; 
zeb.GOOGLE_HD_VER = "";
zeb.STYLE_PARAMS_URL = ""; 
zeb.showAreaLabel = true;
zeb.trafficTileLayerExists = false;
zeb.TILE_PATH = "C:\\GPSCache\\";
zeb.TILE_SIZE = 512;
zeb.polyOptions = {
strokeColor: "#009ad6",
fillColor : "#009ad6",
draggable: false,
fillOpacity: 0.15,
strokeWeight: 3,
strokeOpacity:0.85,
clickable: true,
editable: true
};
