// Writes the page's icons (plain SVG drawn for this project) into mapfiles/.
// Run with: node tools/make_icons.mjs
import { mkdirSync, writeFileSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';

const root = join(dirname(fileURLToPath(import.meta.url)), '..', 'mapfiles');
const put = (rel, svg) => {
  mkdirSync(dirname(join(root, rel)), { recursive: true });
  writeFileSync(join(root, rel), svg.trim() + '\n');
};
const svg = (w, h, body) =>
  `<svg xmlns="http://www.w3.org/2000/svg" width="${w}" height="${h}" viewBox="0 0 ${w} ${h}">${body}</svg>`;

// A drop-shaped pin whose tip is at the bottom centre.
function pin(w, h, fill, stroke) {
  const r = w / 2 - 1.5;
  const cx = w / 2;
  const cy = r + 1.5;
  const tipY = h - 1;
  const body = `<path d="M${cx} ${tipY} C ${cx - r * 0.35} ${cy + r * 1.2}, ${cx - r} ${cy + r * 0.55}, ${cx - r} ${cy}`
    + ` A ${r} ${r} 0 1 1 ${cx + r} ${cy} C ${cx + r} ${cy + r * 0.55}, ${cx + r * 0.35} ${cy + r * 1.2}, ${cx} ${tipY} Z"`
    + ` fill="${fill}" stroke="${stroke}" stroke-width="1.2"/>`
    + `<circle cx="${cx}" cy="${cy}" r="${r * 0.38}" fill="#ffffff" fill-opacity="0.9"/>`;
  return svg(w, h, body);
}

put('markers2/red-dot.svg', pin(32, 32, '#e8412c', '#9c1d0e').replace('width="32"', 'width="32"'));
put('markers2/marker-icon.svg', pin(15, 41, '#2f7fd8', '#174a86'));
put('icons/marker-red.svg', pin(32, 32, '#d93025', '#8a1810'));
put('icons/marker-blue.svg', pin(32, 32, '#3b82d6', '#1c4f8f'));

// The clear button: a grey disc with a white cross.
put('images/clear.svg', svg(16, 16,
  '<circle cx="8" cy="8" r="7.2" fill="#7a7a7a" stroke="#4d4d4d" stroke-width="0.8"/>'
  + '<path d="M5 5 L11 11 M11 5 L5 11" stroke="#ffffff" stroke-width="2" stroke-linecap="round"/>'));

// Cluster discs: larger and warmer for larger groups.
const clusters = [[53, '#4b8ff0'], [56, '#f0c419'], [66, '#ef5a3c'], [78, '#e056b3'], [90, '#8e5ad8']];
clusters.forEach(([size, colour], i) => {
  const c = size / 2;
  put(`images/m${i + 1}.svg`, svg(size, size,
    `<circle cx="${c}" cy="${c}" r="${c - 1}" fill="${colour}" fill-opacity="0.35"/>`
    + `<circle cx="${c}" cy="${c}" r="${c * 0.68}" fill="${colour}" fill-opacity="0.85" stroke="#ffffff" stroke-width="1.5"/>`));
});

// GPS position icons: an arrow in a ring, turned to the middle of its 45-degree sector.
for (let n = 45; n <= 360; n += 45) {
  put(`markers2/d_${n}.svg`, svg(30, 30,
    '<circle cx="15" cy="15" r="13" fill="#ffffff" fill-opacity="0.85" stroke="#2a5caa" stroke-width="2"/>'
    + `<path transform="rotate(${n - 22.5} 15 15)" d="M15 4 L21.5 22 L15 18 L8.5 22 Z" fill="#2a5caa"/>`));
}
