// The overview control: a small map in the lower right corner that shows the page's base layer
// a few zoom levels out, with the part in view outlined. It starts closed; its button opens and
// closes it, and dragging the small map moves the large one.
const L = window.L;

export class Overview {
  // makeLayer() gives a fresh tile layer of the current base layer (a layer lives on one map).
  constructor(map, makeLayer) {
    this.makeLayer = makeLayer;
    this.layer = makeLayer();
    this.control = L.control.minimap(this.layer, {
      position: 'bottomright',
      toggleDisplay: true,
      minimized: true,
      zoomLevelOffset: -4,
      width: 150,
      height: 150,
      aimingRectOptions: { color: '#3a5fcd', weight: 1, fillOpacity: 0.15, interactive: false },
      shadowRectOptions: { color: '#000000', weight: 1, opacity: 0, fillOpacity: 0, interactive: false },
      strings: { hideText: '关闭鹰眼图', showText: '打开鹰眼图' },
    });
    // Opened, the small map measures itself anew and centres on the view: it may have taken its
    // size while closed. (Opening and closing are not animated, so the size is final at once.)
    const restore = this.control._restore;
    // Each step ends with a move of the small map, which must not move the large one.
    this.control._restore = function restoreCentred() {
      restore.call(this);
      this._mainMapMoving = true;
      this._miniMap.invalidateSize({ pan: false });
      this._mainMapMoving = true;
      this._miniMap.setView(this._mainMap.getCenter(), this._decideZoom(true), { animate: false });
    };
    this.control.addTo(map);
  }

  // After the base layer changed.
  follow() {
    this.layer = this.makeLayer();
    this.control.changeLayer(this.layer);
  }

  // After the tile addresses changed (offline mode, style parameters).
  redraw() {
    this.layer.redraw();
  }
}
