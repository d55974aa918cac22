#!/usr/bin/env bash
# Sets everything up on a fresh Debian 12 machine, builds, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
PALVEX_EXTRA_PACKAGES="cups printer-driver-cups-pdf mupdf-tools unicode-data fonts-dejavu-core python3-pytest mypy python3-pip python3-setuptools python3-wheel python3-pyqt6 gir1.2-pango-1.0 python3-gi-cairo python3-pikepdf python3-openpyxl libreoffice-calc-nogui python3-celery python3-redis redis-server python3-tqdm nodejs npm at-spi2-core python3-pyatspi dbus-daemon" scripts/setup.sh build
cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
