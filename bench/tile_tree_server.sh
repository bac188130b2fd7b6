# Shared by the download benchmarks (sourced, not run): a static tile tree of the routed URLs
# that build/bin/download_bench lists for LAYER, ZOOMS and BBOX, served by nginx on loopback.
# Needs WORK, BENCH, NGINX, LAYER, ZOOMS and BBOX set; sets PORT, VANTOREL_ROUTE, TILES and
# NGINX_PID, and removes WORK and OUT (where the script sets it) after stopping nginx when
# the script exits.
chmod 755 "$WORK"  # nginx workers may run as another user
NGINX_PID=""
cleanup() {
    if [ -n "$NGINX_PID" ] && kill -0 "$NGINX_PID" 2>/dev/null; then
        kill "$NGINX_PID"
        for _ in $(seq 50); do kill -0 "$NGINX_PID" 2>/dev/null || break; sleep 0.1; done
    fi
    rm -rf "$WORK"
    [ -z "${OUT:-}" ] || rm -rf "$OUT"
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
