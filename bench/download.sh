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
chmod 755 "$WORK"  # nginx workers may run as another user
NGINX_PID=""
cleanup() {
    if [ -n "$NGINX_PID" ] && kill -0 "$NGINX_PID" 2>/dev/null; then
        kill "$NGINX_PID"
        for _ in $(seq 50); do kill -0 "$NGINX_PID" 2>/dev/null || break; sleep 0.1; done
    fi
    rm -rf "$WORK"
}
trap cleanup EXIT

PORT="$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')"
export VANTOREL_ROUTE="http://127.0.0.1:$PORT"

# The URL list: routed URLs with the paths our tile tree uses; the tile tree is served from it.
"$BENCH" --layer "$LAYER" --zooms "$ZOOMS" --bbox "$BBOX" --threads 1 \
    --curl-config "$WORK/curl.cfg" --curl-out "$WORK/curl-out"

# A static tree z/x/y.png of hard links to a few small PNGs.
python3 - "$WORK/curl.cfg" "$WORK/tree" <<'PY'
import os, sys, zlib, struct
cfg, tree = sys.argv[1], sys.argv[2]
def png(shade):
    def chunk(t, d): return struct.pack('>I', len(d)) + t + d + struct.pack('>I', zlib.crc32(t + d) & 0xffffffff)
    raw = b''.join(b'\x00' + bytes([shade, (shade * 3) & 255, 255 - shade]) * 16 for _ in range(16))
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', 16, 16, 8, 2, 0, 0, 0))
            + chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))
os.makedirs(tree, exist_ok=True)
seeds = []
for i in range(4):
    p = os.path.join(tree, 'seed%d.png' % i)
    open(p, 'wb').write(png(40 + 50 * i))
    seeds.append(p)
made = set()
n = 0
for line in open(cfg):
    if not line.startswith('url = "'):
        continue
    url = line[7:-2]
    rel = url.split('/', 4)[4]          # http:, '', 127.0.0.1:PORT, host, z/x/y.png
    d, name = rel.rsplit('/', 1)
    full = os.path.join(tree, d)
    if d not in made:
        os.makedirs(full, exist_ok=True)
        made.add(d)
    os.link(seeds[n % 4], os.path.join(full, name))
    n += 1
print('tile tree: %d tiles' % n, file=sys.stderr)
PY
TILES="$(grep -c '^url' "$WORK/curl.cfg")"

mkdir -p "$WORK/nginx/logs" "$WORK/nginx/tmp"
cat > "$WORK/nginx/nginx.conf" <<CONF
worker_processes auto;
worker_rlimit_nofile 65536;
daemon off;
pid $WORK/nginx/nginx.pid;
error_log $WORK/nginx/logs/error.log warn;
events { worker_connections 4096; }
http {
    access_log off;
    sendfile on;
    tcp_nopush on;
    tcp_nodelay on;
    keepalive_requests 10000000;
    keepalive_timeout 60s;
    open_file_cache off;
    client_body_temp_path $WORK/nginx/tmp;
    proxy_temp_path $WORK/nginx/tmp;
    fastcgi_temp_path $WORK/nginx/tmp;
    uwsgi_temp_path $WORK/nginx/tmp;
    scgi_temp_path $WORK/nginx/tmp;
    types { image/png png; }
    server {
        listen 127.0.0.1:$PORT;
        root $WORK/tree;
        # Routed requests carry the provider host as their first path segment.
        location / { rewrite ^/[^/]+(/.*)\$ \$1 break; }
    }
}
CONF
"$NGINX" -p "$WORK/nginx" -c "$WORK/nginx/nginx.conf" -e "$WORK/nginx/logs/error.log" &
NGINX_PID=$!
for _ in $(seq 100); do
    curl -sf -o /dev/null "$(sed -n 's/^url = "\(.*\)"$/\1/p;q' "$WORK/curl.cfg")" && break
    sleep 0.05
done

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
