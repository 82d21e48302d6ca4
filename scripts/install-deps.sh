#!/usr/bin/env bash
# Installs what building and testing QORBgl needs on Debian 12 (run as root), and any further
# packages named as arguments. Does nothing when everything is there already.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  libicu-dev              # text collation and case folding
  libgtest-dev libgmock-dev
  nlohmann-json3-dev      # the tests read the command line's JSON (header only, also for Windows)
  libbenchmark-dev        # the performance benchmarks (Google Benchmark)
  qt6-base-dev            # the window (Widgets) and the single-instance socket (Network)
  qt6-translations-l10n   # Qt's own buttons and dialogs in French
  librsvg2-bin            # rsvg-convert: the icon's sizes drawn from its SVG
  fonts-liberation2 fonts-dejavu-core   # stand-ins for "Courier New" and "MS Sans Serif"
  poppler-utils           # pdftotext: the tests read back the printed PDF
  clang-14 libclang-rt-14-dev   # scripts/fuzz.sh: clang, libFuzzer and its sanitizer runtimes
)

packages+=("$@")

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
