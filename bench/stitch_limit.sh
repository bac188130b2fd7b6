#!/usr/bin/env bash
# The stitch against this machine's own limits, over the square tile tree of bench/stitch.sh:
# (a) all its tiles decoded from memory with the fastest decoder at hand, (b) an image of the
# same size encoded from memory by GDAL with the stitch's creation options, (c) the stitch.
# Last line:
#   stitch_limit: ours_s=S decode_s=D encode_s=E ratio=(D+E)/S
# Usage: bench/stitch_limit.sh [work folder]   (the same folder as bench/stitch.sh)
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BIN="$ROOT/build/bin/stitch_bench"
LIMIT="$ROOT/build/bin/stitch_limit_bench"
WORK="${1:-${TMPDIR:-/tmp}/vantorel-stitch-bench}"
QUALITY=60   # ZLEVEL 6
for tool in "$BIN" "$LIMIT"; do
    [ -x "$tool" ] || { echo "build first: $tool is missing" >&2; exit 1; }
done
field() { python3 -c 'import json,sys; print(json.loads(sys.argv[1])[sys.argv[2]])' "$1" "$2"; }
mkdir -p "$WORK"
if [ ! -f "$WORK/square/task/square.zeb" ]; then
    "$BIN" --make-tiles "$WORK/square/tiles" --task "$WORK/square/task/square.zeb" \
        --zoom 14 --x0 8000 --y0 6000 --cols 100 --rows 100 --world-files >/dev/null
fi
rm -rf "$WORK/limit" && mkdir -p "$WORK/limit"
cat $(find "$WORK/square/tiles" -name '*.png') >/dev/null
sync

limit=$("$LIMIT" --tiles "$WORK/square/tiles" --cols 100 --rows 100 --zlevel $((QUALITY / 10)) \
    --out "$WORK/limit/encoded.tif")
echo "limit:  $limit"
sync
ours=$("$BIN" --task "$WORK/square/task/square.zeb" --kind 3 --levels 14 --out "$WORK/limit" \
    --compress DEFLATE --quality $QUALITY)
echo "stitch: $ours"
decode=$(field "$limit" decode_s)
encode=$(field "$limit" encode_s)
seconds=$(field "$ours" seconds)
rm -rf "$WORK/limit"
python3 -c "print('stitch_limit: ours_s=%.3f decode_s=%.3f encode_s=%.3f ratio=%.2f peak_rss_mb=%s' % ($seconds, $decode, $encode, ($decode + $encode) / $seconds, '$(field "$ours" peak_rss_mb)'))"
