#!/usr/bin/env bash
# The download controller with its Qt event loop running (build/bin/ui_download, 80 workers)
# against a local nginx serving a static tile tree, beside the bare worker pool over the same
# tiles; and the recount of a 20,000-vertex outline over 22 levels. Prints as its last line:
#   ui_download: tiles/s=R engine_tiles/s=E ratio=R/E loop_p99_ms=L recount_ms=C
# Usage: bench/ui_download.sh [zoom range] (default 10-17 over the box below: 222,462 tiles)
set -euo pipefail

ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BENCH="$ROOT/build/bin/download_bench"
UI="$ROOT/build/bin/ui_download"
ZOOMS="${1:-10-17}"
BBOX="${BBOX:-39.50,115.80,40.30,117.00}"
LAYER=41
THREADS=80

[ -x "$BENCH" ] && [ -x "$UI" ] || { echo "build first: $BENCH or $UI is missing" >&2; exit 1; }

command -v nginx >/dev/null || [ -x /usr/sbin/nginx ] || { echo "nginx is missing" >&2; exit 1; }
NGINX="$(command -v nginx || echo /usr/sbin/nginx)"

WORK="$(mktemp -d /tmp/vantorel-ui-download-bench.XXXXXX)"
# shellcheck source=bench/tile_tree_server.sh
. "$ROOT/bench/tile_tree_server.sh"

echo "tiles: $TILES" >&2
# The tiles go to memory when it can: creating hundreds of thousands of files on a disk file
# system right after as many were deleted measures the file system's inode search, not us.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
    OUT="$(mktemp -d /dev/shm/vantorel-ui-download.XXXXXX)"
else
    OUT="$WORK/ui"
fi
${UI_PREFIX:-} "$UI" --layer "$LAYER" --zooms "$ZOOMS" --bbox "$BBOX" --threads "$THREADS" --rounds "${ROUNDS:-3}" --out "$OUT" | tail -n 1
