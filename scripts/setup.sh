#!/usr/bin/env bash
# Installs what Palvex needs on Debian 12 (only when missing), then configures and builds.
# Usage: scripts/setup.sh [BUILD_DIR] [extra cmake options...]
set -euo pipefail
cd "$(dirname "$0")/.."

# dpkg-dev and file: cpack's Debian package takes its dependencies from the binaries.
packages=(cmake g++ make pkg-config python3 qt6-base-dev libgl-dev libcups2-dev qt6-base-private-dev libharfbuzz-dev libfreetype-dev libdeflate-dev libxlsxwriter-dev zlib1g-dev libgtest-dev libbenchmark-dev
          fonts-liberation2 culmus fonts-noto-core fonts-unifont fonts-freefont-otf poppler-utils qpdf xvfb xauth dpkg-dev file)
# The test command adds what only the tests use (a CUPS scheduler and PDF queue driver, the PDF
# readers); a test that lacks them is skipped or fails naming what it lacks, so failing to
# install them is a warning, not the end.
read -r -a extra_packages <<<"${PALVEX_EXTRA_PACKAGES:-}"
# A node that brings its own npm (NodeSource's) conflicts with Debian's npm package: where npm
# is already there, neither is asked for.
if command -v npm >/dev/null; then
    for i in "${!extra_packages[@]}"; do
        case "${extra_packages[$i]}" in nodejs | npm) unset "extra_packages[$i]" ;; esac
    done
fi

missing_of() {
    local p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || echo "$p"
    done
}
sudo_cmd=""
[ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
updated=false
install() {
    echo "Installing: $*"
    if ! $updated; then
        $sudo_cmd apt-get update -qq
        updated=true
    fi
    DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq "$@" >/dev/null
}

mapfile -t missing < <(missing_of "${packages[@]}")
[ ${#missing[@]} -eq 0 ] || install "${missing[@]}"
mapfile -t missing < <(missing_of "${extra_packages[@]}")
if [ ${#missing[@]} -gt 0 ] && ! install "${missing[@]}"; then
    echo "warning: could not install ${missing[*]}; the tests that need them will be skipped"
fi

build_dir="${1:-build}"
shift || true
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$build_dir" -j"$(nproc)"
