#!/usr/bin/env bash
# The MBTiles export against the disk's limit for the same tiles: the tree of bench/stitch.sh
# (10,000 noisy 256-pixel PNG tiles) exported to MBTiles by the stitching worker, and the same
# tile bytes read and written into one file flushed to the disk by build/bin/mbtiles_limit_bench.
# Three runs of each, alternating, from a warm tile tree; the figures are the medians.
# Usage: bench/mbtiles_limit.sh [work folder]   (build first: stitch_bench, mbtiles_limit_bench)
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
STITCH="$ROOT/build/bin/stitch_bench"
LIMIT="$ROOT/build/bin/mbtiles_limit_bench"
WORK="${1:-${TMPDIR:-/tmp}/vantorel-stitch-bench}"
for bin in "$STITCH" "$LIMIT"; do
    [ -x "$bin" ] || { echo "build $(basename "$bin") first" >&2; exit 1; }
done
field() { python3 -c 'import json,sys; print(json.loads(sys.argv[1])[sys.argv[2]])' "$1" "$2"; }
median() { python3 -c 'import statistics,sys; print(statistics.median(map(float, sys.argv[1:])))' "$@"; }

mkdir -p "$WORK"
if [ ! -f "$WORK/square/task/square.zeb" ]; then
    "$STITCH" --make-tiles "$WORK/square/tiles" --task "$WORK/square/task/square.zeb" \
        --zoom 14 --x0 8000 --y0 6000 --cols 100 --rows 100 >/dev/null
fi
cat $(find "$WORK/square/tiles" -name '*.png') >/dev/null
ours=(); disk=()
for run in 1 2 3; do
    rm -rf "$WORK/mbtiles-out" && mkdir -p "$WORK/mbtiles-out"
    sync
    mb=$("$STITCH" --task "$WORK/square/task/square.zeb" --kind 4 --levels 14 --out "$WORK/mbtiles-out")
    ours+=("$(field "$mb" seconds)")
    sync
    limit=$("$LIMIT" --tiles "$WORK/square/tiles" --out "$WORK/mbtiles-out/limit.bin")
    disk+=("$(field "$limit" seconds)")
    echo "run $run: export $mb; disk $limit; database $(stat -c %s "$WORK"/mbtiles-out/square_MBTiles/square.mbtiles) bytes"
done
rm -rf "$WORK/mbtiles-out"
ours_s=$(median "${ours[@]}"); disk_s=$(median "${disk[@]}")
echo "mbtiles_limit: ours_s=$ours_s disk_s=$disk_s ratio=$(python3 -c "print(round($disk_s / $ours_s, 2))")"
