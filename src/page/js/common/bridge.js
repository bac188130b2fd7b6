// Calls from the page to the program. The program's bridge script defines the callbacks as
// global functions; a page shown without it (or before it is ready) simply reports nothing.

function call(name, args) {
  try {
    const fn = window[name];
    if (typeof fn === 'function') fn(...args);
  } catch (e) {
    // A failing callback must not break the page's own work.
  }
}

export const hostPlotLatlngsEvent = (text) => call('plotLatlngsEvent', [text]);
export const hostMapMousemoveEvent = (lat, lng) => call('mapMousemoveEvent', [lat, lng]);
export const hostMapZoomChangedEvent = (zoom) => call('mapZoomChangedEvent', [zoom]);
export const hostMapCenterChangedEvent = (lat, lng) => call('mapCenterChangedEvent', [lat, lng]);
export const hostMapMarkerClickEvent = (id) => call('mapMarkerClickEvent', [id]);
export const hostMarkerCompletedEvent = (id, lat, lng, name, content, isNew) =>
  call('markerCompletedEvent', [id, lat, lng, name, content, isNew]);

// Hands a result to the program; the value is also the page function's own result.
export function returnValue(value) {
  call('setJsReturnValue', [value]);
  return value;
}

export function publishWrappers() {
  Object.assign(window, {
    hostPlotLatlngsEvent, hostMapMousemoveEvent, hostMapZoomChangedEvent,
    hostMapCenterChangedEvent, hostMapMarkerClickEvent, hostMarkerCompletedEvent,
  });
}
