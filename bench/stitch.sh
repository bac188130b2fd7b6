#!/usr/bin/env bash
# Stitching benchmark: a synthetic tree of 10,000 noisy 256-pixel PNG tiles is stitched to a
# DEFLATE GeoTIFF by the stitching worker and, as the baseline, by the raster library's own
# tools (a world file per tile, gdalbuildvrt, gdal_translate with the same creation options);
# the two images must hold the same pixels. A strip of 2,600 x 4 tiles checks that memory does
# not grow with the image width, and the tree is exported to MBTiles for the tile rate.
# Usage: bench/stitch.sh [work folder]   (build first: build/bin/stitch_bench)
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BIN="$ROOT/build/bin/stitch_bench"
WORK="${1:-${TMPDIR:-/tmp}/vantorel-stitch-bench}"
QUALITY=60   # ZLEVEL 6 for both
mkdir -p "$WORK"
[ -x "$BIN" ] || { echo "build stitch_bench first" >&2; exit 1; }
field() { python3 -c 'import json,sys; print(json.loads(sys.argv[1])[sys.argv[2]])' "$1" "$2"; }

if [ ! -f "$WORK/square/task/square.zeb" ]; then
    "$BIN" --make-tiles "$WORK/square/tiles" --task "$WORK/square/task/square.zeb" \
        --zoom 14 --x0 8000 --y0 6000 --cols 100 --rows 100 --world-files >/dev/null
fi
if [ ! -f "$WORK/strip/task/strip.zeb" ]; then
    "$BIN" --make-tiles "$WORK/strip/tiles" --task "$WORK/strip/task/strip.zeb" \
        --zoom 14 --x0 2000 --y0 7000 --cols 2600 --rows 4 >/dev/null
fi
rm -rf "$WORK/out" && mkdir -p "$WORK/out"

# Warm the tile tree once, so both stitchers read from the page cache; each run starts with
# the earlier runs' output on disk, so that their write-back does not count against it.
cat $(find "$WORK/square/tiles" -name '*.png') >/dev/null
sync

ours=$("$BIN" --task "$WORK/square/task/square.zeb" --kind 3 --levels 14 --out "$WORK/out" \
    --compress DEFLATE --quality $QUALITY)
echo "stitch:   $ours"
seconds=$(field "$ours" seconds)
rss=$(field "$ours" peak_rss_mb)
image=$(field "$ours" output)

find "$WORK/square/tiles" -name '*.png' | sort >"$WORK/out/list.txt"
sync
start=$(date +%s.%N)
gdalbuildvrt -q -input_file_list "$WORK/out/list.txt" "$WORK/out/base.vrt"
gdal_translate -q -b 1 -b 2 -b 3 -of GTiff -co TILED=YES -co BLOCKXSIZE=256 -co BLOCKYSIZE=256 \
    -co COMPRESS=DEFLATE -co PREDICTOR=2 -co ZLEVEL=$((QUALITY / 10)) -co BIGTIFF=IF_SAFER \
    -co NUM_THREADS=ALL_CPUS --config GDAL_CACHEMAX 256 "$WORK/out/base.vrt" "$WORK/out/gdal.tif"
gdal_seconds=$(python3 -c "import sys; print(round($(date +%s.%N) - $start, 3))")
echo "gdal:     ${gdal_seconds}s"

sums() { gdalinfo -checksum "$1" | grep -o 'Checksum=[0-9]*' | head -3 | tr '\n' ' '; }
a=$(sums "$image"); b=$(sums "$WORK/out/gdal.tif")
if [ "$a" != "$b" ]; then
    echo "pixels differ: stitch $a, gdal $b" >&2
    exit 1
fi
echo "pixels:   same ($a)"

sync
strip=$("$BIN" --task "$WORK/strip/task/strip.zeb" --kind 3 --levels 14 --out "$WORK/out" \
    --compress DEFLATE --quality $QUALITY)
echo "strip:    $strip"
strip_rss=$(field "$strip" peak_rss_mb)
rss=$(python3 -c "print(max($rss, $strip_rss))")

sync
mb=$("$BIN" --task "$WORK/square/task/square.zeb" --kind 4 --levels 14 --out "$WORK/out")
echo "mbtiles:  $mb"
rate=$(python3 -c "print(round($(field "$mb" tiles) / $(field "$mb" seconds)))")
ratio=$(python3 -c "print(round($gdal_seconds / $seconds, 2))")
echo "stitch: seconds=$seconds gdal_seconds=$gdal_seconds ratio=$ratio peak_rss_mb=$rss mbtiles_tiles/s=$rate"
