#!/usr/bin/env bash
# The download bench against this machine's own limits, in one run over one URL list and one
# nginx tree: (a) the server's rate with wrk (keep-alive, one connection per worker, cycling
# the URLs), (b) the disk's rate creating the same files with the same sizes in the same order
# the way the tile writer does, with as many threads as workers and with 8 (the better counts),
# (c) the real worker pool. Each part writes into a fresh folder; the trees are deleted only at
# the end, since deleting a large tree slows the next creation on some disks. Last line:
#   download_limit: ours=R server=S disk=D ratio=R/min(S,D) peak_rss_mb=M
# and before it the CPU time (all cores, from /proc/stat) each part took per tile, and the
# rate at which this machine could serve and store at once with every core busy (shared=).
# Usage: bench/download_limit.sh [zoom range] (default 10-17, as bench/download.sh)
set -euo pipefail

ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BENCH="${DOWNLOAD_BENCH:-$ROOT/build/bin/download_bench}"
DISK="$ROOT/build/bin/disk_limit_bench"
ZOOMS="${1:-10-17}"
BBOX="${BBOX:-39.50,115.80,40.30,117.00}"
LAYER=41
THREADS=20
WRK_SECONDS="${WRK_SECONDS:-10}"

for tool in "$BENCH" "$DISK"; do
    [ -x "$tool" ] || { echo "build first: $tool is missing" >&2; exit 1; }
done
command -v wrk >/dev/null || { echo "wrk is missing (apt-get install wrk)" >&2; exit 1; }
command -v nginx >/dev/null || [ -x /usr/sbin/nginx ] || { echo "nginx is missing" >&2; exit 1; }
NGINX="$(command -v nginx || echo /usr/sbin/nginx)"

WORK="$(mktemp -d /tmp/vantorel-download-limit.XXXXXX)"
# shellcheck source=bench/tile_tree_server.sh
. "$ROOT/bench/tile_tree_server.sh"
echo "tiles: $TILES" >&2

# The request paths for wrk and the file list (path below the output folder, size) for the disk.
python3 - "$WORK" <<'PY'
import os, sys
work = sys.argv[1]
urls, files = [], []
url = None
for line in open(os.path.join(work, 'curl.cfg')):
    if line.startswith('url = "'):
        url = line[7:-2]
    elif line.startswith('output = "') and url:
        out = os.path.relpath(line[10:-2], os.path.join(work, 'curl-out'))
        path = '/' + url.split('/', 3)[3]
        rel = url.split('/', 4)[4]
        urls.append(path)
        files.append('%s %d' % (out, os.path.getsize(os.path.join(work, 'tree', rel))))
        url = None
open(os.path.join(work, 'paths.txt'), 'w').write('\n'.join(urls) + '\n')
open(os.path.join(work, 'files.txt'), 'w').write('\n'.join(files) + '\n')
PY
cat > "$WORK/cycle.lua" <<'LUA'
-- Each wrk thread cycles the whole URL list from its own starting point.
local paths = {}
local index = 0
local count = 0
function setup(thread)
    count = count + 1
    thread:set("start", count)
end
function init(args)
    for line in io.lines(args[1]) do paths[#paths + 1] = line end
    index = ((start or 1) - 1) * math.floor(#paths / 4)
end
function request()
    index = index % #paths + 1
    return wrk.format("GET", paths[index])
end
LUA

# Busy CPU time of the whole machine so far, in clock ticks (all but idle and iowait).
busy_ticks() { awk '/^cpu /{print $2+$3+$4+$7+$8+$9}' /proc/stat; }
CORES="$(nproc)"

B0="$(busy_ticks)"
SERVER_OUT="$(wrk -t 4 -c "$THREADS" -d "${WRK_SECONDS}s" -s "$WORK/cycle.lua" \
    "http://127.0.0.1:$PORT" -- "$WORK/paths.txt")"
echo "$SERVER_OUT" >&2
B1="$(busy_ticks)"
SERVER="$(sed -n 's/^Requests\/sec: *\([0-9.]*\).*/\1/p' <<<"$SERVER_OUT")"
REQUESTS="$(sed -n 's/^ *\([0-9]*\) requests in .*/\1/p' <<<"$SERVER_OUT")"
echo "server: $SERVER requests/s"

sync
B2="$(busy_ticks)"
DISK_SAME="$("$DISK" --list "$WORK/files.txt" --out "$WORK/disk-$THREADS" --threads "$THREADS")"
B3="$(busy_ticks)"
echo "disk:   $DISK_SAME"
sync
DISK_8="$("$DISK" --list "$WORK/files.txt" --out "$WORK/disk-8" --threads 8)"
echo "disk:   $DISK_8"
sync
B4="$(busy_ticks)"
OURS="$("$BENCH" --layer "$LAYER" --zooms "$ZOOMS" --bbox "$BBOX" --threads "$THREADS" \
    --out "$WORK/ours")"
B5="$(busy_ticks)"
echo "ours:   $OURS"

python3 - "$OURS" "$DISK_SAME" "$DISK_8" "$SERVER" "$REQUESTS" "$CORES" "$(getconf CLK_TCK)" \
    "$B0" "$B1" "$B2" "$B3" "$B4" "$B5" <<'PY'
import json, sys
ours = json.loads(sys.argv[1])
disk_same = json.loads(sys.argv[2])
disk = max(disk_same['files_per_s'], json.loads(sys.argv[3])['files_per_s'])
server = float(sys.argv[4])
requests, cores, tick = int(sys.argv[5]), int(sys.argv[6]), float(sys.argv[7])
b = [int(v) for v in sys.argv[8:14]]
rate = ours['tiles_per_s']
if ours['failed']:
    print('the downloader failed %d tiles' % ours['failed'], file=sys.stderr)
# CPU microseconds a tile took in each part, over all cores (the server's part includes wrk).
us = lambda first, last, count: (b[last] - b[first]) / tick * 1e6 / count
server_us = us(0, 1, requests)
disk_us = us(2, 3, disk_same['files'])
ours_us = us(4, 5, ours['tiles'])
shared = cores * 1e6 / (server_us + disk_us)
print('cpu_us_per_tile: server=%.1f disk=%.1f ours=%.1f (ours with its server); shared=%.0f'
      % (server_us, disk_us, ours_us, shared))
print('download_limit: ours=%.0f server=%.0f disk=%.0f ratio=%.2f peak_rss_mb=%.1f'
      % (rate, server, disk, rate / min(server, disk), ours['peak_rss_mb']))
PY
