#!/usr/bin/env bash
# The reference service under load: a catalogue of 1,000,000 generated entries, 4 concurrent
# clients (wrk) posting one-word searches for 60 s; prints requests/s, latency percentiles
# and the service's memory at 5 s and at 60 s.
set -euo pipefail
cd "$(dirname "$0")/../.."
duration="${DURATION:-60}"
cmake --preset release -B build/bench -DXIYINGXIA_WERROR=OFF -DXIYINGXIA_BUILD_GUI=OFF \
  -DXIYINGXIA_BUILD_TESTS=OFF >/dev/null
cmake --build build/bench --target xiyingxia-gen-reply xiyingxia-service >/dev/null
mkdir -p build/bench-data
data=build/bench-data
gen=build/bench/bench/xiyingxia-gen-reply
if [ ! -s "$data/catalogue-1m.sqlite" ]; then
  "$gen" --lines 1000000 --format catalogue --out "$data/catalogue-1m.tsv"
  build/bench/service/xiyingxia-service --db "$data/catalogue-1m.sqlite" \
    --import "$data/catalogue-1m.tsv" --build-only
fi
"$gen" --lines 2000 --format keywords --out "$data/keywords.txt"

port=18090
build/bench/service/xiyingxia-service --db "$data/catalogue-1m.sqlite" --port "$port" \
  > "$data/service.log" 2>&1 &
svc=$!
trap 'kill $svc 2>/dev/null || true' EXIT
for _ in $(seq 100); do grep -q listening "$data/service.log" && break; sleep 0.1; done

rss() { awk '/VmRSS/ { print $2 }' "/proc/$svc/status"; }
anon() { awk '/RssAnon/ { print $2 }' "/proc/$svc/status"; }
url="http://127.0.0.1:$port/qvodabmservice.dll/soap/IyxService"
KEYWORDS="$data/keywords.txt" wrk -t2 -c4 -d"${duration}s" --latency -s bench/service/search.lua \
  "$url" > "$data/wrk.txt" &
wrkpid=$!
sleep 5
rss5=$(rss)
anon5=$(anon)
wait $wrkpid
rss60=$(rss)
anon60=$(anon)
cat "$data/wrk.txt"
echo "service RSS after 5 s: ${rss5} kB; after ${duration} s: ${rss60} kB" \
  "($(awk -v a="$rss5" -v b="$rss60" 'BEGIN { printf "%+.1f%%", (b - a) * 100 / a }'))"
# The resident set also counts the database file's pages mapped by each connection; the
# service's own memory is the anonymous part.
echo "service anonymous memory after 5 s: ${anon5} kB; after ${duration} s: ${anon60} kB" \
  "($(awk -v a="$anon5" -v b="$anon60" 'BEGIN { printf "%+.1f%%", (b - a) * 100 / a }'))"
