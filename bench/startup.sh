#!/usr/bin/env bash
# Start-up time and idle cost of the desktop program under Xvfb.
#   bench/startup.sh [path/to/xiyingxia] [runs]
# Start-up: from just before the process is started to the main window painted with the event
# loop idle (the program prints the moment when XIYINGXIA_STARTUP_MARKER=1); median of the runs.
# The program's processor time up to that moment is shown too: it does not depend on how busy
# the machine is.
# Idle: CPU time of the running program (user + system) over 10 s, as % of one core, with the
# banner animation running; the X server's share over the same 10 s is shown beside it.
set -euo pipefail
program="${1:-build/dev/xiyingxia}"
runs="${2:-10}"
program="$(realpath "$program")"

if [[ -z "${XIYINGXIA_BENCH_UNDER_XVFB:-}" ]]; then
  export XIYINGXIA_BENCH_UNDER_XVFB=1
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$program" "$runs"
fi

out="$(mktemp)"
trap 'rm -f "$out"' EXIT
now_us() { date +%s%6N; }

# Starts the program and waits for its marker; sets pid and the start-up time in ms.
start_and_wait() {
  : >"$out"
  local t0
  t0="$(now_us)"
  XIYINGXIA_STARTUP_MARKER=1 "$program" >"$out" 2>/dev/null &
  pid=$!
  local waited=0
  until grep -q '^xiyingxia-startup ' "$out"; do
    sleep 0.01
    waited=$((waited + 1))
    if ((waited > 3000)); then echo "no start-up marker after 30 s" >&2; exit 1; fi
  done
  local epoch
  epoch="$(sed -n 's/^xiyingxia-startup .*epoch_us=\([0-9]*\).*/\1/p' "$out")"
  startup_ms="$(((epoch - t0) / 1000))"
  main_ms="$(sed -n 's/^xiyingxia-startup main_ms=\([0-9]*\).*/\1/p' "$out")"
  cpu_ms="$(sed -n 's/^xiyingxia-startup .*cpu_ms=\([0-9]*\).*/\1/p' "$out")"
}

stop() {
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}

cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

# A first, unmeasured run warms the page cache and the font cache.
start_and_wait
stop

times=()
cpus=()
for ((i = 1; i <= runs; i++)); do
  start_and_wait
  stop
  times+=("$startup_ms")
  cpus+=("$cpu_ms")
  echo "run $i: ${startup_ms} ms from exec (${main_ms} ms from main), ${cpu_ms} ms processor time"
done
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : int((a[NR/2]+a[NR/2+1])/2)}'; }
echo "start-up median of ${runs}: $(median "${times[@]}") ms (target < 300 ms)," \
  "processor time $(median "${cpus[@]}") ms; load average $(cut -d' ' -f1 /proc/loadavg)"

start_and_wait
sleep 1
xvfb_pid="$(pgrep -n -x Xvfb || true)"
hz="$(getconf CLK_TCK)"
p0="$(cpu_ticks "$pid")"
x0=0
[[ -n "$xvfb_pid" ]] && x0="$(cpu_ticks "$xvfb_pid")"
sleep 10
p1="$(cpu_ticks "$pid")"
x1=0
[[ -n "$xvfb_pid" ]] && x1="$(cpu_ticks "$xvfb_pid")"
stop
awk -v d="$((p1 - p0))" -v x="$((x1 - x0))" -v hz="$hz" 'BEGIN {
  printf "idle CPU over 10 s: program %.2f%% of one core (target < 3%%), Xvfb %.2f%%\n",
         100 * d / (hz * 10), 100 * x / (hz * 10) }'
