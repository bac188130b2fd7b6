// Contents of the information windows. Texts that come from web answers or the program are
// escaped: they are shown as text, never run as markup.
import { escapeHtml } from './format.js';
import { mileageText } from './labels.js';

export function placeInfoHtml(name, address, telephone, tag) {
  let html = `<b>${escapeHtml(name)}</b><br>地址：${escapeHtml(address)}`;
  if (telephone) html += `<br>电话：${escapeHtml(telephone)}`;
  if (tag) html += `<br>标签：${escapeHtml(tag)}`;
  return `<div class="noscrollbar">${html}</div>`;
}

export function navigationInfoHtml(text, satellites, altitude, distance, time) {
  const alt = Number.isFinite(Number(altitude)) ? Math.floor(Number(altitude)) : 0;
  const sats = Number.isFinite(Number(satellites)) ? Number(satellites) : 0;
  return `<b>位置：</b>${escapeHtml(text)}<br/><b>卫星：</b>${sats} 颗<br/><b>海拔：</b>${alt} m`
    + `<br/><b>里程：</b>${mileageText(distance)}<br/><b>时间：</b>${escapeHtml(time)}<br>`;
}
