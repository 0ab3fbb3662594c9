#!/usr/bin/env bash
# Soak test: the operator station polls tablo-sim for a given time while the simulator injects
# faults; a second station polls a fault-free simulator beside it as the reference. Samples the
# faulted station's memory and reads both simulators' logs. Prints cycles against the clean
# run, the longest gap without a good answer, how soon polling recovers after each fault, RSS
# growth and any crash. Exits non-zero when a station or a simulator died.
#
#   scripts/soak.sh [--time SECONDS] [--link tcp|pty] [--build DIR] [--out DIR]
#                   [--faults "SIM FAULT OPTIONS"] [--project FILE.prt] [--no-reference]
#   scripts/soak.sh --report DIR        the figures of an earlier run's output folder again
#
# Runs offscreen (QT_QPA_PLATFORM=offscreen); everything listens on 127.0.0.1 on free ports.
set -euo pipefail
cd "$(dirname "$0")/.."

duration=1800
link=tcp
build=build
out=""
project=""
reference=1
faults="--drop 37 --corrupt 41 --truncate 43 --lengthen 47 --delay 53:600 --garbage 59:8 --close-after 997"
sample=5
report_only=""

while [ $# -gt 0 ]; do
  case "$1" in
    --time) duration=$2; shift 2 ;;
    --link) link=$2; shift 2 ;;
    --build) build=$2; shift 2 ;;
    --out) out=$2; shift 2 ;;
    --faults) faults=$2; shift 2 ;;
    --project) project=$2; shift 2 ;;
    --no-reference) reference=0; shift ;;
    --report) report_only=$2; shift 2 ;;
    -h|--help) sed -n '2,11p' "$0"; exit 0 ;;
    *) echo "soak: unknown option $1" >&2; exit 2 ;;
  esac
done
case "$link" in tcp|pty) ;; *) echo "soak: --link is tcp or pty" >&2; exit 2 ;; esac

pids=()
if [ -n "$report_only" ]; then
  out=$(cd "$report_only" && pwd)
  [ -d "$out/clean" ] || reference=0
  elapsed=$(tail -1 "$out/rss.tsv" | cut -f1)
  crash=""
else
# A run: everything up to the figures.
[ -x "$build/tablo" ] && [ -x "$build/tablo-sim" ] \
  || { echo "soak: build $build/tablo and $build/tablo-sim first" >&2; exit 2; }
[ -n "$project" ] || project="$build/demo/Kotelnya.prt"
[ -f "$project" ] || { echo "soak: no project $project (build the demo_project target)" >&2; exit 2; }
[ -n "$out" ] || out="$build/soak-$(date +%Y%m%d-%H%M%S)"
mkdir -p "$out"
out=$(cd "$out" && pwd)
tablo=$(cd "$build" && pwd)/tablo
sim=$(cd "$build" && pwd)/tablo-sim
export QT_QPA_PLATFORM=offscreen

cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null || true; done
}
trap cleanup EXIT

# Copies the project beside its netlist and pictures into DIR, pointing its link at the
# simulator: TCP on PORT (link kind 9), or COM1 (link kind 1).
prepare_project() {
  local dir=$1 port=$2
  mkdir -p "$dir"
  cp "$(dirname "$project")"/* "$dir"/ 2>/dev/null || true
  python3 - "$dir/$(basename "$project")" "$link" "$port" <<'EOF'
import sys
path, link, port = sys.argv[1], sys.argv[2], sys.argv[3]
lines = open(path, 'rb').read().split(b'\r\n')
# Line 3: link kind, line 4: host, line 5: port.
if link == 'tcp':
    lines[2], lines[3], lines[4] = b' 9 ', b'127.0.0.1', (' %s ' % port).encode()
else:
    lines[2] = b' 1 '
open(path, 'wb').write(b'\r\n'.join(lines))
EOF
}

# start_pair NAME FAULTS: a simulator and a station polling it; sets sim_pid, station_pid.
start_pair() {
  local name=$1 options=$2 dir="$out/$1" endpoint port=0
  mkdir -p "$dir"
  if [ "$link" = tcp ]; then
    endpoint=(--tcp 127.0.0.1:0)
  else
    endpoint=(--pty "$dir/com1")
  fi
  # shellcheck disable=SC2086
  "$sim" "$project" "${endpoint[@]}" --log "$dir/sim.log" $options >"$dir/sim.out" 2>&1 </dev/null &
  sim_pid=$!
  pids+=("$sim_pid")
  for _ in $(seq 100); do
    grep -qE 'tablo-sim: (TCP|serial)' "$dir/sim.out" 2>/dev/null && break
    sleep 0.1
  done
  if [ "$link" = tcp ]; then
    port=$(grep -oE 'TCP 127\.0\.0\.1:[0-9]+' "$dir/sim.out" | head -1 | cut -d: -f2)
    [ -n "$port" ] || { echo "soak: $name simulator did not start:" >&2; cat "$dir/sim.out" >&2; exit 1; }
  fi
  prepare_project "$dir/project" "$port"
  local args=("$dir/project/$(basename "$project")")
  [ "$link" = pty ] && args=(--com "1=$dir/com1" "${args[@]}")
  "$tablo" "${args[@]}" >"$dir/station.out" 2>&1 </dev/null &
  station_pid=$!
  pids+=("$station_pid")
}

rss_kb() { awk '/^VmRSS:/ {print $2}' "/proc/$1/status" 2>/dev/null || echo 0; }

start_pair faulted "$faults"
faulted_sim=$sim_pid faulted_station=$station_pid
ref_sim="" ref_station=""
if [ "$reference" = 1 ]; then
  start_pair clean ""
  ref_sim=$sim_pid ref_station=$station_pid
fi
echo "soak: $link, ${duration}s, faults: $faults; output in $out"

start=$(date +%s)
crash=""
: >"$out/rss.tsv"
while :; do
  now=$(date +%s)
  elapsed=$((now - start))
  for p in "$faulted_station" "$faulted_sim" $ref_station $ref_sim; do
    kill -0 "$p" 2>/dev/null || crash="${crash:+$crash, }process $p ended after ${elapsed}s"
  done
  [ -n "$crash" ] && break
  printf '%s\t%s\n' "$elapsed" "$(rss_kb "$faulted_station")" >>"$out/rss.tsv"
  [ "$elapsed" -ge "$duration" ] && break
  sleep "$sample"
done

if [ -n "$crash" ]; then
  for n in faulted clean; do
    [ -f "$out/$n/station.out" ] && { echo "--- $n station:"; tail -5 "$out/$n/station.out"; }
  done
fi
cleanup
pids=()
fi

python3 - "$out" "$reference" "${crash:-none}" "$elapsed" <<'EOF'
import re, statistics, sys
out, reference, crash, elapsed = sys.argv[1], sys.argv[2] == '1', sys.argv[3], int(sys.argv[4])

line_re = re.compile(r'^\s*(\d+)\s+(\S+)\s+(RX|TX|--)\s+(.*)$')

def read(name):
    """Requests, answers (time, faulted) and connections of one simulator log."""
    cycles, answers, closes, connects, last = [], [], [], 0, 0
    try:
        f = open(f'{out}/{name}/sim.log', encoding='utf-8', errors='replace')
    except OSError:
        return None
    with f:
        for line in f:
            m = line_re.match(line)
            if not m:
                continue
            ms, kind, rest = int(m.group(1)), m.group(3), m.group(4)
            last = ms
            if kind == '--' and re.search(r'client \S+ connected', rest):
                connects += 1
            elif kind == '--' and 'closing the connection' in rest:
                closes.append(ms)
            elif kind == 'RX':
                # The alarm-word request (pair 99.0 alone) comes once per polling cycle.
                fields = rest.split('|', 1)[-1]
                if re.search(r'values page \d+: 99\.0\s*$', fields):
                    cycles.append(ms)
            elif kind == 'TX':
                answers.append((ms, bool(re.search(r'\[[^\]]*\]\s*$', rest))))
    return cycles, answers, closes, connects, max(last, elapsed * 1000)

def summary(name):
    r = read(name)
    if r is None:
        return None
    cycles, answers, closes, connects, end = r
    good = [t for t, bad in answers if not bad]
    faults = [t for t, bad in answers if bad]
    span = (answers[-1][0] - answers[0][0]) / 1000 if len(answers) > 1 else 0
    period = statistics.median([b - a for a, b in zip(cycles, cycles[1:])]) / 1000 if len(cycles) > 2 else 0
    # The run's end closes the last gap: a station that never recovers shows it.
    gap, gap_at = 0, 0
    for a, b in zip(good, good[1:] + [end]):
        if b - a > gap:
            gap, gap_at = b - a, a
    # After each faulted answer: time to the next good one.
    recover, gi = [], 0
    for t in faults:
        while gi < len(good) and good[gi] <= t:
            gi += 1
        recover.append(((good[gi] if gi < len(good) else end) - t) / 1000)
    # After each connection the simulator closed: time to the next good answer.
    reconnect = []
    for t in closes:
        after = [g for g in good if g > t]
        reconnect.append(((after[0] if after else end) - t) / 1000)
    return dict(reconnect=reconnect,cycles=len(cycles), answers=len(answers), good=len(good), faults=len(faults),
                connects=connects, span=span, period=period, gap=gap / 1000, gap_at=gap_at / 1000,
                recover=recover)

f = summary('faulted')
c = summary('clean') if reference else None
print('soak results')
if f:
    print(f"  faulted run: {f['cycles']} cycles in {f['span']:.0f} s (median cycle {f['period']:.2f} s), "
          f"{f['answers']} answers, {f['faults']} with a fault, {f['connects']} connection(s)")
if c:
    print(f"  clean run:   {c['cycles']} cycles in {c['span']:.0f} s (median cycle {c['period']:.2f} s), "
          f"{c['answers']} answers, {c['connects']} connection(s)")
    if c['cycles']:
        print(f"  cycles completed: {100.0 * f['cycles'] / c['cycles']:.1f} % of the clean run")
if f:
    print(f"  longest gap without a good answer: {f['gap']:.1f} s (from {f['gap_at']:.0f} s)")
    if f['recover']:
        period = (c or f)['period'] or 1
        late = [r for r in f['recover'] if r > period]
        print(f"  good answer after a fault: median {statistics.median(f['recover']):.2f} s, "
              f"max {max(f['recover']):.2f} s; {len(late)} of {len(f['recover'])} faults took longer than "
              f"one cycle ({period:.2f} s)")
if f and f['reconnect']:
    print(f"  good answer after the simulator closed the connection: "
          + ", ".join(f"{r:.1f} s" for r in f['reconnect']))
rss = [tuple(map(int, l.split())) for l in open(f'{out}/rss.tsv') if l.strip() and int(l.split()[1]) > 0]
if rss:
    warm = next((kb for t, kb in rss if t >= 60), rss[0][1])
    print(f"  RSS: {rss[0][1]} kB at start, {warm} kB after warm-up (60 s), {rss[-1][1]} kB at the end, "
          f"max {max(kb for _, kb in rss)} kB; growth after warm-up {rss[-1][1] - warm} kB")
print(f"  crashes: {crash}")
EOF
[ -z "$crash" ]
