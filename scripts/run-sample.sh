#!/usr/bin/env bash
# Installs what is missing, builds, and lists the airports of the bundled sample scenery.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
cli=build/cli/qorbgl-cli
echo "== qorbgl-cli files samples/scenery"
"$cli" files samples/scenery
echo "== qorbgl-cli list samples/scenery/AP_PAYS-BAS.BGL"
"$cli" list samples/scenery/AP_PAYS-BAS.BGL
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "== QORBgl samples/scenery/AP_IleDeFrance.bgl"
  exec build/ui/QORBgl samples/scenery/AP_IleDeFrance.bgl
else
  echo "No display here: bash scripts/screenshot.sh shows the window under Xvfb in build/screenshot.png."
fi
