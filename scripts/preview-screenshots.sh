#!/usr/bin/env bash
# Screenshots of the preview as a person sees it, on the screens users have: the Hebrew trial
# balance at 100 %, 50 % and 200 % (with and without the zoom options), a search hit and the
# margins panel; the invoice in the Hebrew window with the page strip at fit width, and its
# printer panel with Export; under Xvfb at 1920x1080, 1366x768, 800x600 and 1920x1080 at scale
# factor 2.
# Usage: scripts/preview-screenshots.sh [OUTPUT_DIR] (default preview-shots/; needs a build).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
out=$(realpath -m "${1:-preview-shots}")
run="$root/build/tools/palvex-run/palvex-run"
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

shoot() { # NAME SCREEN [SCALE]
    local name=$1 screen=$2 scale=${3:-1}
    {
        cat "$root/examples/trial-balance.pvs"
        echo "!screenshot $out/$name-100.png"
        echo "!select cboZoom 3"
        echo "!screenshot $out/$name-50.png"
        echo "!select cboZoom 18"
        echo "!screenshot $out/$name-200.png"
        echo "!check chkZoomWidth 1"
        echo "!check chkZoomHeight 1"
        echo "!select cboZoom 17"
        echo "!select cboZoom 18"
        echo "!screenshot $out/$name-200-areas.png"
        echo "!check chkZoomWidth 0"
        echo "!check chkZoomHeight 0"
        echo "!select cboZoom 8"
        echo "!click cmd 6"
        echo "!text txtSearch \"100140\""
        echo "!click cmdSearch"
        echo "!screenshot $out/$name-search.png"
        echo "!select cboMoreOptions 1"
        echo "!screenshot $out/$name-margins.png"
        echo "!close"
    } >"$work/shots.pvs"
    {
        echo "UseHebrewTexts"
        echo "ShowThumbnails = true"
        cat "$root/examples/invoice.pvs"
        echo "!select cboZoom 19"
        echo "!screenshot $out/$name-invoice-strip.png"
        echo "!click cmd 1"
        echo "!screenshot $out/$name-invoice-export.png"
        echo "!close"
    } >"$work/invoice.pvs"
    cp "$root/examples/invoice-logo.png" "$work/"
    (cd "$work" && QT_SCALE_FACTOR=$scale xvfb-run -a -s "-screen 0 ${screen}x24" \
        "$run" --show --no-printers shots.pvs >/dev/null)
    # The printer panel opens only with a printer: the PDF printer, and no print server asked.
    (cd "$work" && CUPS_SERVER=/nonexistent/palvex-shots.sock QT_SCALE_FACTOR=$scale \
        xvfb-run -a -s "-screen 0 ${screen}x24" "$run" --show invoice.pvs >/dev/null)
}

shoot 1920x1080 1920x1080
shoot 1366x768 1366x768
shoot 800x600 800x600
shoot 1920x1080-scale2 1920x1080 2
ls "$out"
