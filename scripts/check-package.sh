#!/usr/bin/env bash
# Builds the Debian package, unpacks it into a scratch root and runs the installed programs
# from outside the build tree: tablo --version, tablo-sim --help, and tablo --demo offscreen for
# a few seconds, checking that the display controls load and the demo polls its simulator. The
# manual pages are rendered with man -l and must show Cyrillic text.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${BUILD:-build}

make --no-print-directory package BUILD="$BUILD"
deb=$(ls "$BUILD"/tablo_*.deb | head -n 1)
echo "check-package: $deb"
dpkg-deb -c "$deb" > /dev/null
if command -v lintian > /dev/null; then
  lintian --no-tag-display-limit "$deb" 2>&1 | grep -v 'root privileges' | tee "$BUILD/lintian.txt"
  if grep -q '^E:' "$BUILD/lintian.txt"; then
    echo "check-package: lintian reports errors" >&2
    exit 1
  fi
fi

root=$(mktemp -d)
work=$(mktemp -d)
trap 'rm -rf "$root" "$work"' EXIT
dpkg -x "$deb" "$root"
cd "$work"   # not the build tree

"$root/usr/bin/tablo" --version
"$root/usr/bin/tablo-sim" --help > /dev/null
if [ -x "$root/usr/bin/tablo-fetch" ]; then
  "$root/usr/bin/tablo-fetch" --help > /dev/null
fi

# The manual pages show their Cyrillic (help2man in a UTF-8 locale) and their own sections.
for page in "$root"/usr/share/man/man1/*.1.gz; do
  text=$(LC_ALL=C.UTF-8 MANWIDTH=100 man -l "$page" 2> /dev/null)
  if ! grep -q 'Ж7' <<< "$text"; then
    echo "check-package: $(basename "$page") shows no Cyrillic text" >&2
    exit 1
  fi
  if ! grep -q '^EXIT STATUS' <<< "$text"; then
    echo "check-package: $(basename "$page") has no EXIT STATUS section" >&2
    exit 1
  fi
done
# The history collection's user unit runs the installed tablo-fetch.
unit="$root/usr/lib/systemd/user/tablo-collect@.service"
[ -s "$unit" ] || { echo "check-package: tablo-collect@.service is not installed" >&2; exit 1; }
exec_line=$(grep '^ExecStart=' "$unit")
[ "$exec_line" = 'ExecStart=/usr/bin/tablo-fetch %f collect --follow' ] && [ -x "$root/usr/bin/tablo-fetch" ] ||
  { echo "check-package: the user unit does not run the installed tablo-fetch: $exec_line" >&2; exit 1; }
"$root/usr/bin/tablo-fetch" x.prt collect --help | grep -q -- '--follow' ||
  { echo "check-package: tablo-fetch has no collect --follow" >&2; exit 1; }
# The plant-wide collection's user unit runs the installed tablo-collect, reloaded by SIGHUP.
unit="$root/usr/lib/systemd/user/tablo-collect.service"
[ -s "$unit" ] || { echo "check-package: tablo-collect.service is not installed" >&2; exit 1; }
exec_line=$(grep '^ExecStart=' "$unit")
[ "$exec_line" = 'ExecStart=/usr/bin/tablo-collect %E/tablo/collect.conf' ] && [ -x "$root/usr/bin/tablo-collect" ] ||
  { echo "check-package: tablo-collect.service does not run the installed tablo-collect: $exec_line" >&2; exit 1; }
grep -q '^ExecReload=/bin/kill -HUP $MAINPID$' "$unit" ||
  { echo "check-package: tablo-collect.service does not reload by SIGHUP" >&2; exit 1; }
"$root/usr/bin/tablo-collect" --help | grep -q -- '--status' ||
  { echo "check-package: tablo-collect has no --status" >&2; exit 1; }
for doc in README.md README.sim.md; do
  [ -s "$root/usr/share/doc/tablo/$doc" ] || { echo "check-package: $doc is not installed" >&2; exit 1; }
done

log="$work/sim.log"
set +e
TABLO_DEMO_LOG="$log" XDG_DATA_HOME="$work/data" QT_QPA_PLATFORM=offscreen timeout -s TERM 8 "$root/usr/bin/tablo" --demo 2> "$work/stderr.txt"
rc=$?
set -e
cat "$work/stderr.txt"
if [ $rc -ne 124 ] && [ $rc -ne 0 ]; then
  echo "check-package: tablo --demo ended with $rc" >&2
  exit 1
fi
if grep -q 'tablo: ' "$work/stderr.txt"; then
  echo "check-package: the installed program did not load its display controls" >&2
  exit 1
fi
requests=$(grep -c ' RX ' "$log" || true)
echo "check-package: the installed demo sent $requests requests to its simulator"
[ "$requests" -gt 5 ] || { echo "check-package: the demo did not poll" >&2; exit 1; }
[ ! -e "$root/usr/share/tablo/demo/Kotelnya.prt.lock" ]
echo "check-package: ok"
