#!/usr/bin/env bash
# Sets everything up on a fresh Debian 12 machine, builds, and runs the main job: the
# demonstration program PalvexDemo with its ten example reports. With a display it opens the
# main form; without one it records every example and writes each page as a PNG file under
# demo-output/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh build
demo=../build/demo/PalvexDemo
mkdir -p demo-output
cd demo-output
if [ -n "${DISPLAY:-}" ] && [ -z "${CI:-}" ]; then
    echo "Opening PalvexDemo: pick an example and press \"Show me\"; close the preview to come back."
    $demo
else
    $demo --example all --png pages
    echo "No display: every example's pages are in $(pwd)/pages/ (NAME-page-N.png)."
fi
