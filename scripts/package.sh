#!/usr/bin/env bash
# Makes the Debian package from a configured build tree (scripts/setup.sh configures and builds
# one): builds only what the package holds, the library and palvex-run, in parallel (nothing when
# they are built), then runs cpack, which builds nothing itself.
# Usage: scripts/package.sh [BUILD_DIR [OUTPUT_DIR]]     (build, and BUILD_DIR/packages)
# CMAKE and CPACK name the programs to use, when not the ones on the PATH.
set -euo pipefail
build_dir="${1:-build}"
if [ ! -f "$build_dir/CPackConfig.cmake" ]; then
    echo "package.sh: $build_dir is not a configured build tree (scripts/setup.sh makes one)" >&2
    exit 2
fi
build_dir="$(cd "$build_dir" && pwd)"
out_dir="${2:-$build_dir/packages}"
mkdir -p "$out_dir"
out_dir="$(cd "$out_dir" && pwd)"
"${CMAKE:-cmake}" --build "$build_dir" --target palvex-package-contents -j"$(nproc)"
cd "$build_dir"
"${CPACK:-cpack}" -G DEB --config "$build_dir/CPackConfig.cmake" -B "$out_dir"
