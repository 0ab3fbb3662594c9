#!/bin/bash
# tablo-collect at plant scale: N simulated controllers (tablo-sim on TCP, plant clock S times
# real time, full rings) into one throw-away PostgreSQL server for M minutes. Prints the pages
# stored per second, the collector's CPU and peak memory, and the longest lag (how far the
# newest sample on the server is behind each controller's clock, in real seconds).
#
#   scripts/scale-collect.sh [-n CONTROLLERS] [-m MINUTES] [-s SPEED] [-g GROUPS] [-p poll|answer]
#                            [-r REFRESH] [BUILD]
#
# The collector schedules by its own clock: on a plant clock S times faster a current page is
# refreshed S times too seldom for that clock unless -r (the entries' `refresh`, seconds) says
# otherwise.
#
# BUILD is the build folder (default build/) with tablo-sim, tablo-collect and demo/Kotelnya.prt.
set -euo pipefail

n=50; minutes=5; speed=10; groups=1,2; pace=answer; refresh=
while getopts "n:m:s:g:p:r:" o; do
  case $o in
    n) n=$OPTARG ;; m) minutes=$OPTARG ;; s) speed=$OPTARG ;; g) groups=$OPTARG ;; p) pace=$OPTARG ;; r) refresh=$OPTARG ;;
    *) echo "usage: $0 [-n N] [-m MINUTES] [-s SPEED] [-g GROUPS] [-p poll|answer] [-r REFRESH] [BUILD]" >&2; exit 2 ;;
  esac
done
shift $((OPTIND - 1))
build=$(realpath "${1:-build}")
for f in tablo-sim tablo-collect demo/Kotelnya.prt demo/Kotelnya.net; do
  [ -e "$build/$f" ] || { echo "no $build/$f: build tablo-sim, tablo-collect and the demo first" >&2; exit 2; }
done
bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -1)
[ -x "$bin/initdb" ] || { echo "no PostgreSQL server binaries (postgresql-15)" >&2; exit 2; }

work=$(mktemp -d /tmp/tablo-scale-XXXXXX)
pids=()
as_owner() { if [ "$(id -u)" = 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi; }
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  as_owner "$bin/pg_ctl" -D "$work/pg" -m fast -w -t 30 stop >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT

# The server: a Unix socket in the work folder only.
user=$(id -un)
if [ "$(id -u)" = 0 ]; then chown postgres:postgres "$work"; chmod 0755 "$work"; user=postgres; fi
as_owner "$bin/initdb" -D "$work/pg" -A trust -U "$user" -E UTF8 --locale=C.UTF-8 --no-sync >/dev/null
as_owner "$bin/pg_ctl" -D "$work/pg" -o "-c listen_addresses='' -k $work -c fsync=off -c max_connections=$((n + 20))" \
  -l "$work/pg.log" -w -t 60 start >/dev/null
uri="postgresql://$user@/postgres?host=$work"

# N copies of the demo project, each its own name and TCP port (lines 2 and 5 of the .prt).
since=$(date -d '-15 min' '+%Y-%m-%d %H:%M:%S')
base=$((20000 + RANDOM % 20000))
: > "$work/collect.conf"
# The controllers' clocks are the local wall clock at their start, taken as UTC ms.
sim_start_ms=$(( $(date +%s%3N) + $(date +%z | awk '{s = substr($1,1,1) == "-" ? -1 : 1; print s * (substr($1,2,2) * 3600 + substr($1,4,2) * 60) * 1000}') ))
for i in $(seq 1 "$n"); do
  d="$work/c$i"; mkdir -p "$d"
  port=$((base + i))
  awk -v name="Plant$i" -v port="$port" 'NR==2 {print name "\r"; next} NR==5 {print " " port " \r"; next} {print}' \
    "$build/demo/Kotelnya.prt" > "$d/Kotelnya.prt"
  cp "$build/demo/Kotelnya.net" "$d/"
  "$build/tablo-sim" "$d/Kotelnya.prt" --tcp "127.0.0.1:$port" --speed "$speed" --seed "$i" > "$d/sim.log" 2>&1 < /dev/null &
  pids+=($!)
  printf '[c%d]\nproject = %s\nhistory = %s\ngroups = %s\njournal = off\nspool = %s\nsince = %s\npace = %s\n\n' \
    "$i" "$d/Kotelnya.prt" "$uri" "$groups" "$work/spool" "$since" "$pace" >> "$work/collect.conf"
  [ -z "$refresh" ] || printf 'refresh = %s\n\n' "$refresh" >> "$work/collect.conf"
done
sleep 2

start=$(date +%s.%N)
XDG_RUNTIME_DIR=$work/run "$build/tablo-collect" "$work/collect.conf" 2> "$work/collect.log" &
collector=$!
pids+=($collector)
sleep $((minutes * 60))
end=$(date +%s.%N)
clk_tck=$(getconf CLK_TCK)
read -r utime stime < <(awk '{print $14, $15}' "/proc/$collector/stat")
hwm=$(awk '/VmHWM/ {print $2}' "/proc/$collector/status")
now_ms=$(( $(date +%s%3N) + $(date +%z | awk '{s = substr($1,1,1) == "-" ? -1 : 1; print s * (substr($1,2,2) * 3600 + substr($1,4,2) * 60) * 1000}') ))
# The newest sample of each controller against its clock: the plant clock started at the
# simulator's start and runs `speed` times real time.
newest=$(psql -X -q -t -A -h "$work" -U "$user" -d postgres \
  -c "SELECT min(m) FROM (SELECT max(at_ms) AS m FROM trend_samples GROUP BY controller) s" 2>/dev/null || echo "")
controllers=$(psql -X -q -t -A -h "$work" -U "$user" -d postgres -c "SELECT count(DISTINCT controller) FROM trend_samples")
pages=$(grep -cE ': [0-9]+ samples, (new|completed|duplicate|new run)' "$work/collect.log" || true)
failed=$(grep -c ': failed: ' "$work/collect.log" || true)
kill -TERM "$collector"; wait "$collector" || true
XDG_RUNTIME_DIR=$work/run "$build/tablo-collect" --status "$work/collect.conf" > "$work/status.txt" 2>&1 || true

elapsed=$(echo "$end - $start" | bc -l)
plant_now=$(echo "$sim_start_ms + ($now_ms - $sim_start_ms) * $speed" | bc)
printf 'controllers %d (%d on the server), %s min, plant clock x%s, groups %s, pace %s, refresh %s\n' \
  "$n" "$controllers" "$minutes" "$speed" "$groups" "$pace" "${refresh:-default}"
printf 'pages stored %d (%.2f pages/s), failed downloads %d\n' "$pages" "$(echo "$pages / $elapsed" | bc -l)" "$failed"
printf 'tablo-collect CPU %.1f s (%.1f %% of one core), peak memory %d MB\n' \
  "$(echo "($utime + $stime) / $clk_tck" | bc -l)" "$(echo "100 * ($utime + $stime) / $clk_tck / $elapsed" | bc -l)" $((hwm / 1024))
if [ -n "$newest" ]; then
  printf 'longest lag: %.1f s of real time (newest sample of the furthest-behind controller)\n' \
    "$(echo "($plant_now - $newest) / $speed / 1000" | bc -l)"
fi
