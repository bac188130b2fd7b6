// Builds the map pages into one folder: the two HTML pages and mapfiles/ with the styles,
// the settings scripts, the icons, the vendor scripts (Leaflet and its plug-ins) and our
// page scripts bundled into classic scripts (pages load from file URLs, where ES modules
// cannot be used).
//   node build.mjs --outdir <folder>
import { build, transform } from 'esbuild';
import { cpSync, existsSync, mkdirSync, readFileSync, writeFileSync, readdirSync } from 'node:fs';
import { dirname, join, relative } from 'node:path';
import { fileURLToPath } from 'node:url';

const here = dirname(fileURLToPath(import.meta.url));
const target = 'chrome102';
const argIndex = process.argv.indexOf('--outdir');
const outdir = argIndex > 0 ? process.argv[argIndex + 1] : join(here, 'dist');
const modules = join(here, 'node_modules');

if (!existsSync(join(modules, 'leaflet')) || !existsSync(join(modules, 'esbuild'))) {
  console.error('build.mjs: src/page/node_modules is missing; run scripts/setup (npm ci in src/page)');
  process.exit(1);
}

const vendorScripts = [
  'leaflet/dist/leaflet.js',
  'leaflet.markercluster/dist/leaflet.markercluster.js',
  '@geoman-io/leaflet-geoman-free/dist/leaflet-geoman.js',
  'leaflet-minimap/dist/Control.MiniMap.min.js',
];
const vendorStyles = [
  'leaflet/dist/leaflet.css',
  'leaflet.markercluster/dist/MarkerCluster.css',
  '@geoman-io/leaflet-geoman-free/dist/leaflet-geoman.css',
  'leaflet-minimap/dist/Control.MiniMap.min.css',
];

// A package added to package.json since the last `npm ci` is named, not met as a read error.
const missing = [...vendorScripts, ...vendorStyles].filter((rel) => !existsSync(join(modules, rel)));
if (missing.length) {
  console.error(`build.mjs: ${missing.join(', ')} missing from src/page/node_modules; run scripts/setup (npm ci in src/page)`);
  process.exit(1);
}

function writeIfChanged(file, text) {
  mkdirSync(dirname(file), { recursive: true });
  if (existsSync(file) && readFileSync(file, 'utf8') === text) return;
  writeFileSync(file, text);
}

async function main() {
  mkdirSync(join(outdir, 'mapfiles', 'js'), { recursive: true });

  // Pages and static page files.
  for (const page of readdirSync(join(here, 'html'))) cpSync(join(here, 'html', page), join(outdir, page));
  cpSync(join(here, 'mapfiles'), join(outdir, 'mapfiles'), { recursive: true });

  // Vendor scripts in load order, lowered to the page engine's language level.
  const parts = [];
  for (const rel of vendorScripts) {
    const code = readFileSync(join(modules, rel), 'utf8').replace(/\/\/# sourceMappingURL=.*$/gm, '');
    const out = await transform(code, { target, minify: true, loader: 'js', legalComments: 'inline' });
    parts.push(`/* ${rel.split('/')[0]} */\n${out.code}`);
  }
  writeIfChanged(join(outdir, 'mapfiles', 'js', 'vendor.js'), parts.join(';\n'));

  // Vendor styles with their images inlined.
  const cssEntry = vendorStyles.map((rel) => `@import "${join(modules, rel).replace(/\\/g, '/')}";`).join('\n');
  await build({
    stdin: { contents: cssEntry, loader: 'css', resolveDir: here },
    bundle: true, minify: true, target, outfile: join(outdir, 'mapfiles', 'css', 'vendor.css'),
    loader: { '.png': 'dataurl', '.svg': 'dataurl' }, logLevel: 'warning',
  });

  // Our page scripts.
  for (const [entry, out] of [['google_main.js', 'gmaps.js'], ['baidu_main.js', 'bmaps.js']]) {
    await build({
      entryPoints: [join(here, 'js', entry)], bundle: true, format: 'iife', target, minify: true,
      outfile: join(outdir, 'mapfiles', 'js', out), logLevel: 'warning', legalComments: 'none',
    });
  }
  console.log(`map pages built in ${relative(process.cwd(), outdir) || '.'}`);
}

main().catch((e) => {
  console.error(e.message || e);
  process.exit(1);
});
