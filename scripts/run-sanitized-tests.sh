#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer (leak checking on) in
# build-asan/ and runs the whole test suite there. Installs what is missing, like run-tests.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
PALVEX_EXTRA_PACKAGES="cups printer-driver-cups-pdf mupdf-tools unicode-data fonts-dejavu-core python3-pikepdf nodejs npm at-spi2-core python3-pyatspi dbus-daemon" \
    scripts/setup.sh build-asan -DPALVEX_SANITIZE=ON -DPALVEX_BUILD_BENCH=OFF
cd build-asan
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
    QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
