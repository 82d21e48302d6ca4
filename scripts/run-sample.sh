#!/usr/bin/env bash
# Installs what is missing, builds, and lists the airports of the bundled sample scenery.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
cli=build/cli/qorbgl-cli
echo "== qorbgl-cli files samples/scenery"
"$cli" files samples/scenery
for f in samples/scenery/AP_IleDeFrance.bgl samples/scenery/AP_PAYS-BAS.BGL; do
  echo "== qorbgl-cli list $f"
  "$cli" list "$f"
done
