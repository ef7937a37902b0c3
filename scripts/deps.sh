#!/usr/bin/env bash
# Installs what Vantrick needs on Debian 12. Idempotent: only missing packages are installed.
# Needs root or sudo; never asks questions.
#   ./scripts/deps.sh run          what building and playing the game need (./scripts/run)
#   ./scripts/deps.sh [test]       that and the tools of the tests and the benchmark
#   ./scripts/deps.sh ... --package   also what building and checking the Debian package need
set -euo pipefail

RUN=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev qt6-svg-dev libgl-dev libxkbcommon-dev
  qt6-qpa-plugins
  fonts-liberation fonts-dejavu-core
)
TEST=(
  xvfb xauth xdotool x11-utils imagemagick
  desktop-file-utils appstream
  qt6-base-private-dev orca speech-dispatcher dbus-x11 at-spi2-core
)

mode=test
package=false
for arg in "$@"; do
  case "$arg" in
    run | test) mode=$arg ;;
    --package) package=true ;;
    *)
      echo "usage: $0 [run|test] [--package]" >&2
      exit 2
      ;;
  esac
done

PACKAGES=("${RUN[@]}")
[[ $mode == test ]] && PACKAGES+=("${TEST[@]}")
# --package: what building and checking the Debian package needs (./scripts/package and the
# package test), and the GStreamer elements the installed package plays its sounds through.
if $package; then
  PACKAGES+=(dpkg-dev debhelper lintian gstreamer1.0-plugins-base gstreamer1.0-plugins-good)
fi

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]} == 0)); then
  exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=()
if [[ $(id -u) -ne 0 ]]; then
  if command -v sudo >/dev/null; then SUDO=(sudo); else
    echo "These packages are missing and installing them needs root: ${missing[*]}" >&2
    exit 1
  fi
fi
export DEBIAN_FRONTEND=noninteractive
"${SUDO[@]}" apt-get update -qq </dev/null
"${SUDO[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" </dev/null
