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

// The page's start-up, telling the program when it has run: calls the program sends before
// then wait for it. Told also when the start-up failed (its error reaches the program's log),
// so that nothing waits for ever.
export function reportingReady(start) {
  return function initialize() {
    try {
      start();
    } finally {
      call('__vantorelReady', []);
    }
  };
}

export function publishWrappers() {
  Object.assign(window, {
    hostPlotLatlngsEvent, hostMapMousemoveEvent, hostMapZoomChangedEvent,
    hostMapCenterChangedEvent, hostMapMarkerClickEvent, hostMarkerCompletedEvent,
  });
}
