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
    // It is made open and closed at once: the page shows it closed, without the closing motion.
    const still = (box, transition) => {
      [box, ...box.querySelectorAll('a')].forEach((e) => { e.style.transition = transition; });
    };
    this.control.onAdd = function onAdd(m) {
      const box = L.Control.MiniMap.prototype.onAdd.call(this, m);
      still(box, 'none');
      return box;
    };
    this.control.addTo(map);
    const box = this.control.getContainer();
    void box.offsetWidth; // the closed size takes effect before the motion is allowed again
    still(box, '');
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
