#!/usr/bin/env bash
# Runs one fuzz target over its seed corpus: fuzz/run.sh NAME [RUNS] (default 1,000,000).
# Builds the fuzz targets with clang into build-fuzz first. New inputs go to a scratch corpus,
# so the seeds in the repository stay as they are.
set -euo pipefail
cd "$(dirname "$0")/.."
name=$1
runs=${2:-1000000}
if [ ! -x build-fuzz/fuzz/fuzz-$name ]; then
    CC=clang CXX=clang++ cmake -S . -B build-fuzz -DPALVEX_FUZZ=ON -DPALVEX_BUILD_TESTS=OFF \
        -DPALVEX_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build build-fuzz -j"$(nproc)" --target fuzz-$name
# Absolute paths: the target records its report in a folder of its own.
scratch=$(pwd)/build-fuzz/corpus-$name
mkdir -p "$scratch" build-fuzz/artifacts
extra=()
# Qt's decoders give no coverage, so shrinking an input would keep only a picture's header:
# the picture target keeps its inputs whole.
[ "$name" = picture ] && extra+=(-reduce_inputs=0)
# Scripts are seeded from the acceptance scripts and the examples themselves.
seeds=("$(pwd)/fuzz/corpus/$name")
[ "$name" = script ] && seeds=("$(pwd)/tests/acceptance" "$(pwd)/examples")
LSAN_OPTIONS=suppressions=$(pwd)/fuzz/lsan.supp:print_suppressions=0 \
    build-fuzz/fuzz/fuzz-$name -runs="$runs" -max_len=4096 -timeout=10 -rss_limit_mb=4096 \
    -artifact_prefix="$(pwd)/build-fuzz/artifacts/" -print_final_stats=1 "${extra[@]}" "$scratch" "${seeds[@]}"
