// The traffic control of the Baidu page: a button at the top left that shows or hides the live
// traffic over the map, with a panel (hidden at start) naming the colours of the traffic lines.
const L = window.L;

const LEGEND = [['畅通', '#34b000'], ['缓慢', '#fecb00'], ['拥堵', '#df0100']];

export const TrafficControl = L.Control.extend({
  options: { position: 'topleft', offset: [10, 15] },

  // makeLayer() gives the traffic tile layer; onChange(shown) follows the traffic's display.
  initialize(makeLayer, onChange, options) {
    L.setOptions(this, options);
    this.makeLayer = makeLayer;
    this.onChange = onChange;
    this.layer = null;
  },

  onAdd(map) {
    this.map = map;
    const box = L.DomUtil.create('div', 'traffic-control leaflet-bar');
    box.style.marginLeft = `${this.options.offset[0]}px`;
    box.style.marginTop = `${this.options.offset[1]}px`;
    this.button = L.DomUtil.create('a', 'traffic-control-button', box);
    this.button.href = '#';
    this.button.title = '显示交通流量';
    this.button.textContent = '路况';
    this.panel = L.DomUtil.create('div', 'traffic-control-panel', box);
    this.panel.style.display = 'none';
    const head = L.DomUtil.create('div', 'traffic-control-head', this.panel);
    head.textContent = '实时路况';
    const close = L.DomUtil.create('a', 'traffic-control-close', head);
    close.href = '#';
    close.title = '关闭';
    close.textContent = '×';
    const legend = L.DomUtil.create('div', 'traffic-control-legend', this.panel);
    for (const [name, colour] of LEGEND) {
      const item = L.DomUtil.create('span', 'traffic-control-item', legend);
      const line = L.DomUtil.create('i', '', item);
      line.style.background = colour;
      item.appendChild(document.createTextNode(name));
    }
    L.DomEvent.disableClickPropagation(box);
    L.DomEvent.disableScrollPropagation(box);
    L.DomEvent.on(this.button, 'click', (e) => {
      L.DomEvent.preventDefault(e);
      if (this.layer) {
        this.hideTraffic();
      } else {
        this.showTraffic();
        this.showPanel();
      }
    });
    L.DomEvent.on(close, 'click', (e) => {
      L.DomEvent.preventDefault(e);
      this.hidePanel();
    });
    return box;
  },

  onRemove() {
    this.hideTraffic();
  },

  isTrafficShown() { return !!this.layer; },
  isPanelShown() { return this.panel.style.display !== 'none'; },

  showTraffic() {
    if (!this.layer) this.layer = this.makeLayer().addTo(this.map);
    L.DomUtil.addClass(this.button, 'traffic-control-on');
    this.button.title = '隐藏交通流量';
    this.onChange(true);
  },

  // Hiding the traffic closes the panel too.
  hideTraffic() {
    if (this.layer) this.map.removeLayer(this.layer);
    this.layer = null;
    L.DomUtil.removeClass(this.button, 'traffic-control-on');
    this.button.title = '显示交通流量';
    this.hidePanel();
    this.onChange(false);
  },

  showPanel() { this.panel.style.display = ''; },
  hidePanel() { this.panel.style.display = 'none'; },
});
