// Place markers of a search (clustered, one shared information window) and the user's
// custom markers, shared by both map pages.
import { placeInfoHtml } from '../core/info_html.js';
import { ICONS, setMarkerTitle } from './leaflet_parts.js';
import { hostMapMarkerClickEvent, hostMarkerCompletedEvent } from './bridge.js';

const L = window.L;

// Cluster icons m1 .. m5 by the number of digits of the count, as the cluster images grow.
const CLUSTER_SIZES = [53, 56, 66, 78, 90];

export function createClusterer() {
  return L.markerClusterGroup({
    maxClusterRadius: 30, // a grid of 60 pixels
    disableClusteringAtZoom: 13, // clusters up to zoom 12
    showCoverageOnHover: false,
    spiderfyOnMaxZoom: false,
    iconCreateFunction(cluster) {
      const count = cluster.getChildCount();
      const index = Math.min(String(count).length, 5) - 1;
      const size = CLUSTER_SIZES[index];
      return L.divIcon({
        html: `<div class="cluster-icon" style="width:${size}px;height:${size}px;background-image:url(mapfiles/images/m${index + 1}.svg)">${count}</div>`,
        className: 'cluster',
        iconSize: [size, size],
      });
    },
  });
}

export class PlaceMarkers {
  // options.reportClicks: report clicks to the program (the Google page does).
  constructor(zeb, options = {}) {
    this.zeb = zeb;
    this.reportClicks = !!options.reportClicks;
    this.clusterer = createClusterer();
    this.clusterer.addTo(zeb.map);
    this.popup = L.popup({ maxWidth: 500, autoPan: false });
    zeb.infowindow = this.popup;
    zeb.markerClusterer = this.clusterer;
  }

  open(marker) {
    this.popup.setLatLng(marker.getLatLng()).setContent(marker.infoHtml);
    this.popup.openOn(this.zeb.map);
  }

  add(id, lat, lng, center, name, address, telephone, tag) {
    const zeb = this.zeb;
    zeb.map.closePopup(this.popup);
    let marker = zeb.markers[id];
    if (marker) {
      marker.setLatLng([lat, lng]);
      setMarkerTitle(marker, String(name ?? ''));
    } else {
      marker = L.marker([lat, lng], { icon: ICONS.place(), title: String(name ?? ''), draggable: false });
      marker.placeId = id;
      marker.on('click', () => {
        this.open(marker);
        if (this.reportClicks) hostMapMarkerClickEvent(String(marker.placeId));
      });
      zeb.markers[id] = marker;
      this.clusterer.addLayer(marker);
    }
    marker.infoHtml = placeInfoHtml(name, address, telephone, tag);
    if (center) {
      const zoom = Math.max(13, zeb.map.getZoom());
      zeb.map.setView([lat, lng], zoom, { animate: false });
      this.open(marker);
    }
    return marker;
  }

  clear() {
    this.zeb.map.closePopup(this.popup);
    this.clusterer.clearLayers();
    this.zeb.markers = [];
  }
}

// Custom markers: draggable, named, never removed by a mass removal.
export class CustomMarkers {
  constructor(zeb) {
    this.zeb = zeb;
  }

  find(id) {
    return this.zeb.pois.find((m) => String(m.poiId) === String(id));
  }

  report(marker) {
    const p = marker.getLatLng();
    hostMarkerCompletedEvent(String(marker.poiId), p.lat, p.lng, marker.options.title, marker.content, marker.isTemp);
  }

  // The name is the user's text: shown as it is, never read as markup.
  label(marker, name) {
    marker.unbindTooltip();
    const text = document.createElement('span');
    text.textContent = String(name);
    marker.bindTooltip(text, {
      permanent: true, direction: 'top', offset: [0, -32], className: 'labeledMarker_other', interactive: false,
    });
  }

  add(id, name, lat, lng, content, isTemp, center) {
    const zeb = this.zeb;
    const title = String(name ?? '');
    let marker = this.find(id);
    if (marker) {
      marker.setLatLng([lat, lng]);
      marker.setIcon(ICONS.poiRed());
      setMarkerTitle(marker, title);
      marker.content = content;
      marker.isTemp = false;
      this.label(marker, title);
    } else {
      marker = L.marker([lat, lng], {
        icon: isTemp ? ICONS.poiBlue() : ICONS.poiRed(), title, draggable: true, riseOnHover: false, autoPan: true,
      });
      marker.poiId = id;
      marker.content = content;
      marker.isTemp = !!isTemp;
      marker.on('click', () => this.report(marker));
      marker.on('dragend', () => this.report(marker));
      marker.addTo(zeb.map);
      this.label(marker, title);
      zeb.pois.push(marker);
    }
    if (center) {
      zeb.map.setView([lat, lng], Math.max(14, zeb.map.getZoom()), { animate: false });
    }
    return marker;
  }

  remove(predicate) {
    const zeb = this.zeb;
    zeb.pois = zeb.pois.filter((m) => {
      if (!predicate(m)) return true;
      zeb.map.removeLayer(m);
      return false;
    });
  }

  deleteById(id) {
    this.remove((m) => String(m.poiId) === String(id));
  }

  deleteTemporary() {
    if (this.zeb.tempMarkerCount !== 0) {
      this.remove((m) => m.isTemp);
      this.zeb.tempMarkerCount = 0;
    }
  }

  // Places a marker drawn with the drawing tools as a new, not yet stored custom marker.
  addDrawn(latlng) {
    const zeb = this.zeb;
    zeb.tempMarkerCount += 1;
    const id = Date.now();
    const name = `我的标记 ${zeb.pois.length + 1}`;
    this.add(id, name, latlng.lat, latlng.lng, '', true, false);
    hostMarkerCompletedEvent(String(id), latlng.lat, latlng.lng, name, '', true);
  }
}
