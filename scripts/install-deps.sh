#!/usr/bin/env bash
# Installs every Debian package that the build, the tests and the demo need. Idempotent:
# nothing is fetched when all packages are present; `apt-get update` runs once otherwise.
set -euo pipefail

packages=(
  build-essential cmake make git pkg-config ccache
  qt6-base-dev qt6-base-dev-tools libqt6serialport6-dev qt6-serialport-dev qt6-translations-l10n
  libgl-dev libxkbcommon-dev
  libxlsxwriter-dev zlib1g-dev libasound2-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth x11-apps socat poppler-utils imagemagick fonts-dejavu-core python3-openpyxl
  qt6-svg-dev help2man dpkg-dev lintian appstream desktop-file-utils
  clang libclang-rt-14-dev llvm
  libqt6sql6-sqlite libqt6sql6-psql postgresql-15
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "install-deps: installing ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "install-deps: not root and no sudo; install: ${missing[*]}" >&2; exit 1; }
  sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
