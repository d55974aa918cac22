#!/usr/bin/env bash
# Compares the PDF with Qt's layout over every right-to-left case of Unicode's bidi test files
# (Debian's unicode-data), in the font named by $1 (DejaVu Sans by default): counts the texts
# whose glyphs the PDF places elsewhere than the preview does. About half a minute a font.
# Usage: tests/bidi-sweep.sh [FONT] [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${2:-build}"
[ -f /usr/share/unicode/BidiTest.txt ] || { echo "unicode-data is not installed" >&2; exit 1; }
PALVEX_BIDI_FONT="${1:-DejaVu Sans}" QT_QPA_PLATFORM=offscreen "$build/tests/palvex-tests" \
    --gtest_also_run_disabled_tests --gtest_filter='BidiPlacement.DISABLED_EveryCaseOfTheBidiTestFiles'
