#!/usr/bin/env bash
# Download throughput against a local nginx serving a static tile tree: the real worker pool
# (build/bin/download_bench, 20 workers) and, as the baseline, curl --parallel over the same
# URLs. Prints as its last line:
#   download: tiles/s=R curl_tiles/s=C ratio=R/C peak_rss_mb=M
# Usage: bench/download.sh [zoom range] (default 10-17 over the box below: 222,462 tiles)
set -euo pipefail

ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BENCH="$ROOT/build/bin/download_bench"
ZOOMS="${1:-10-17}"
BBOX="${BBOX:-39.50,115.80,40.30,117.00}"
LAYER=41
THREADS=20

[ -x "$BENCH" ] || { echo "build first: $BENCH is missing" >&2; exit 1; }
command -v nginx >/dev/null || [ -x /usr/sbin/nginx ] || { echo "nginx is missing" >&2; exit 1; }
NGINX="$(command -v nginx || echo /usr/sbin/nginx)"

WORK="$(mktemp -d /tmp/vantorel-download-bench.XXXXXX)"
# shellcheck source=bench/tile_tree_server.sh
. "$ROOT/bench/tile_tree_server.sh"

echo "tiles: $TILES" >&2
OURS="$("$BENCH" --layer "$LAYER" --zooms "$ZOOMS" --bbox "$BBOX" --threads "$THREADS" \
    --out "$WORK/ours")"
echo "$OURS"

START=$(date +%s.%N)
curl --silent --show-error --no-progress-meter --parallel --parallel-max "$THREADS" --create-dirs \
    --config "$WORK/curl.cfg"
END=$(date +%s.%N)

python3 - "$OURS" "$START" "$END" "$TILES" "$WORK" <<'PY'
import json, os, sys
ours = json.loads(sys.argv[1])
start, end, tiles, work = float(sys.argv[2]), float(sys.argv[3]), int(sys.argv[4]), sys.argv[5]
got = sum(len(f) for _, _, f in os.walk(os.path.join(work, 'curl-out')))
if got != tiles:
    print('curl stored %d of %d tiles' % (got, tiles), file=sys.stderr)
curl_rate = tiles / (end - start)
rate = ours['tiles_per_s']
print('curl: %d tiles in %.3f s' % (tiles, end - start))
print('download: tiles/s=%.0f curl_tiles/s=%.0f ratio=%.2f peak_rss_mb=%.1f'
      % (rate, curl_rate, rate / curl_rate, ours['peak_rss_mb']))
PY
