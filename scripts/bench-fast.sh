#!/usr/bin/env bash
# Archive downloads paced and answer-paced (--fast): tablo-fetch trend, journal and report
# against tablo-sim answering at a serial line's pace (--baud), on a pseudo-terminal and on
# TCP loopback, and on TCP loopback once more with the simulator answering at once (a
# controller behind a network gateway). Prints one table of the download times (tablo-fetch's
# "downloaded in N ms", the download alone: not the project load, the connect or the one-time
# fast-mode check), the median of --runs runs each, and what the first --fast took in all
# (with the check, which each link makes afresh).
#
#   scripts/bench-fast.sh [--build DIR] [--runs N] [--baud N] [--project FILE.prt] [--out DIR]
#
# The fast-mode verdicts go to a folder of the run ($XDG_DATA_HOME is set to it), never the
# user's. Everything listens on 127.0.0.1 on free ports.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build
runs=3
baud=115200
project=""
out=""
while [ $# -gt 0 ]; do
  case "$1" in
    --build) build=$2; shift 2 ;;
    --runs) runs=$2; shift 2 ;;
    --baud) baud=$2; shift 2 ;;
    --project) project=$2; shift 2 ;;
    --out) out=$2; shift 2 ;;
    -h|--help) sed -n '2,11p' "$0"; exit 0 ;;
    *) echo "bench-fast: unknown option $1" >&2; exit 2 ;;
  esac
done
[ -x "$build/tablo-fetch" ] && [ -x "$build/tablo-sim" ] \
  || { echo "bench-fast: build $build/tablo-fetch and $build/tablo-sim first" >&2; exit 2; }
[ -n "$project" ] || project="$build/demo/Kotelnya.prt"
[ -f "$project" ] || { echo "bench-fast: no project $project (build the demo_project target)" >&2; exit 2; }
[ -n "$out" ] || out=$(mktemp -d "${TMPDIR:-/tmp}/bench-fast.XXXXXX")
mkdir -p "$out"
out=$(cd "$out" && pwd)
fetch=$(cd "$build" && pwd)/tablo-fetch
sim=$(cd "$build" && pwd)/tablo-sim
export QT_QPA_PLATFORM=offscreen

sim_pid=""
cleanup() {
  if [ -n "$sim_pid" ]; then
    kill "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
  fi
}
trap cleanup EXIT

# prepare_project DIR LINK PORT: the project beside its netlist in DIR, its link on TCP PORT
# (link kind 9) or on COM1 (link kind 1).
prepare_project() {
  local dir=$1 link=$2 port=$3
  mkdir -p "$dir"
  cp "$(dirname "$project")"/*.prt "$(dirname "$project")"/*.net "$dir"/ 2>/dev/null || true
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

# start_sim LINK: the simulator at the line's pace (tcp-at-once: answering at once); sets
# sim_pid and prt. A TCP run also opens a terminal, for the report (which always uses a serial
# port). Each link keeps its fast-mode verdicts apart ($XDG_DATA_HOME), so each is checked.
start_sim() {
  local link=$1 dir="$out/$1"
  mkdir -p "$dir"
  export XDG_DATA_HOME="$dir/data"
  local endpoint=(--pty "$dir/com") pace=(--baud "$baud")
  [ "$link" != pty ] && endpoint=(--tcp 127.0.0.1:0 --pty "$dir/com")
  [ "$link" = tcp-at-once ] && pace=()
  "$sim" "$project" "${endpoint[@]}" "${pace[@]}" --no-alarms >"$dir/sim.out" 2>&1 </dev/null &
  sim_pid=$!
  for _ in $(seq 100); do
    grep -q 'tablo-sim: serial' "$dir/sim.out" 2>/dev/null && break
    sleep 0.1
  done
  port=0
  if [ "$link" != pty ]; then
    port=$(grep -oE 'TCP 127\.0\.0\.1:[0-9]+' "$dir/sim.out" | head -1 | cut -d: -f2)
    [ -n "$port" ] || { echo "bench-fast: the simulator did not start:" >&2; cat "$dir/sim.out" >&2; exit 1; }
  fi
  [ -e "$dir/com" ] || { echo "bench-fast: no terminal from the simulator:" >&2; cat "$dir/sim.out" >&2; exit 1; }
  prepare_project "$dir/project" "${link%-at-once}" "$port"
  prt="$dir/project/$(basename "$project")"
}

# fetch_ms LINK ARCHIVE [--fast]: one download; prints its milliseconds (or "failed").
fetch_ms() {
  local link=$1 archive=$2
  shift 2
  local dir="$out/$link" log
  log="$dir/$archive$*.log"
  local files=()
  case "$archive" in
    trend) files=(--grf "$dir/page.grf") ;;
    journal) files=(--jur "$dir/page.jur") ;;
    report) files=(--csv "$dir/report.csv") ;;
  esac
  if "$fetch" --com "1=$dir/com" --com "9=$dir/com" "$prt" "$archive" "$@" "${files[@]}" >/dev/null 2>"$log"; then
    grep -oE 'downloaded in [0-9]+ ms' "$log" | grep -oE '[0-9]+' | tail -1
  else
    echo failed
  fi
}

median() { sort -n | awk '{a[NR]=$1} END {if (NR == 0) print "-"; else print a[int((NR + 1) / 2)]}'; }

# The time the first --fast took in all (the check and the download), from the shell.
first_fast_ms() {
  local t0 t1
  t0=$(date +%s%N)
  fetch_ms "$@" --fast >/dev/null
  t1=$(date +%s%N)
  echo $(((t1 - t0) / 1000000))
}

rows=()
for link in pty tcp tcp-at-once; do
  start_sim "$link"
  for archive in trend journal report; do
    check=$(first_fast_ms "$link" "$archive")
    verdict=$(grep -hoE 'fast mode (accepted|refused|not checked)[^;]*' "$out/$link/$archive--fast.log" | head -1 || true)
    paced=() fast=()
    for _ in $(seq "$runs"); do
      paced+=("$(fetch_ms "$link" "$archive")")
      fast+=("$(fetch_ms "$link" "$archive" --fast)")
    done
    p=$(printf '%s\n' "${paced[@]}" | grep -v failed | median)
    f=$(printf '%s\n' "${fast[@]}" | grep -v failed | median)
    failures=$(printf '%s\n' "${paced[@]}" "${fast[@]}" | grep -c failed || true)
    note="$verdict"
    [ "$failures" -gt 0 ] && note="$failures runs failed; $note"
    [ "$archive" = report ] && [ "$link" != pty ] && note="$note (the report's own serial port: the terminal)"
    rows+=("$(printf '%-11s %-8s %9s %9s %7s %11s %s' "$link" "$archive" "$p" "$f" \
      "$(awk -v p="$p" -v f="$f" 'BEGIN { if (f > 0) printf "%.1fx", p / f; else print "-" }')" \
      "$check" "$note")")
  done
  cleanup
  sim_pid=""
done

echo "tablo-sim --baud $baud (tcp-at-once: without), $runs runs each (median), project $(basename "$project"); logs in $out"
printf '%-11s %-8s %9s %9s %7s %11s %s\n' link archive "paced ms" "fast ms" speedup "1st fast ms" "check"
printf '%s\n' "${rows[@]}"
