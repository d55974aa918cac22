#!/usr/bin/env bash
# Sets everything up on a fresh Debian 12 machine, builds, and runs the main job: records the
# short Hebrew/English report examples/hello.pvs and lists its items, then records the
# three-page Hebrew trial balance examples/trial-balance.pvs and shows it: in the preview window
# when there is a display, otherwise as PNG pages under demo-output/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh build
run=../build/tools/palvex-run/palvex-run
mkdir -p demo-output
cd demo-output
QT_QPA_PLATFORM=offscreen $run ../examples/hello.pvs
if [ -n "${DISPLAY:-}" ] && [ -z "${CI:-}" ]; then
    echo "Opening the preview of examples/trial-balance.pvs; close it with its Close button."
    $run --show ../examples/trial-balance.pvs
else
    { cat ../examples/trial-balance.pvs
      echo '!png trial-balance-page1.png'
      echo '!click cmd 4'
      echo '!png trial-balance-page2.png'
      echo '!click cmd 5'
      echo '!png trial-balance-page3.png'; } > trial-balance-pages.pvs
    QT_QPA_PLATFORM=offscreen $run trial-balance-pages.pvs
    echo "The trial balance's pages are in $(pwd)/trial-balance-page{1,2,3}.png"
fi
