#!/usr/bin/env bash
# Sets everything up on a fresh Debian 12 machine, builds, and runs the main job: records the
# short Hebrew/English report examples/hello.pvs with palvex-run and lists its items.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh build
mkdir -p demo-output
cd demo-output
QT_QPA_PLATFORM=offscreen ../build/tools/palvex-run/palvex-run ../examples/hello.pvs
echo "The report store is demo-output/palvex.rpt."
