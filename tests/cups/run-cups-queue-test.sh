#!/usr/bin/env bash
# Prints a two-page report through a real CUPS queue: starts a private scheduler (own
# configuration, spool and socket; the machine's scheduler is never touched), adds a PDF queue
# backed by cups-pdf, prints to it through the printer panel and checks the PDF the queue wrote;
# then prints again to the queue rejecting jobs and stopped, which must show the printer problem.
# Exits 77 (skipped) with the reason when a private scheduler cannot run here.
# Usage: run-cups-queue-test.sh PALVEX_RUN SCRIPT
set -uo pipefail
runner=$(realpath "$1")
script=$(realpath "$2")
queue=PalvexQueue
ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd

skip() { echo "SKIPPED: $*"; exit 77; }
fail() { echo "FAILED: $*"; exit 1; }

for tool in /usr/sbin/cupsd lpadmin lpstat pdfinfo pdftotext; do
    command -v "$tool" >/dev/null || skip "$tool is not installed (Debian package cups / poppler-utils)"
done
[ -x /usr/lib/cups/backend/cups-pdf ] && [ -f "$ppd" ] ||
    skip "the cups-pdf backend is not installed (Debian package printer-driver-cups-pdf)"
# cups-pdf only runs as root, and only root may start a scheduler that runs it.
[ "$(id -u)" -eq 0 ] || skip "a private scheduler with the cups-pdf backend needs root"

work=$(mktemp -d /tmp/palvex-cups.XXXXXX)
chmod 755 "$work"
mkdir -p "$work"/{spool,cache,state,log,ppd}
cupsd_pid=""
cleanup() {
    [ -n "$cupsd_pid" ] && kill "$cupsd_pid" 2>/dev/null && wait "$cupsd_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

cat >"$work/cupsd.conf" <<CONF
Listen $work/cups.sock
LogLevel warn
Browsing No
WebInterface No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
cat >"$work/cups-files.conf" <<CONF
ServerRoot $work
RequestRoot $work/spool
CacheDir $work/cache
StateDir $work/state
TempDir $work/spool
ErrorLog $work/log/error_log
AccessLog $work/log/access_log
PageLog $work/log/page_log
User lp
Group lp
CONF

/usr/sbin/cupsd -f -c "$work/cupsd.conf" -s "$work/cups-files.conf" >"$work/log/cupsd.out" 2>&1 &
cupsd_pid=$!
export CUPS_SERVER=$work/cups.sock
for _ in $(seq 50); do
    lpstat -r 2>/dev/null | grep -q "is running" && break
    kill -0 "$cupsd_pid" 2>/dev/null || break
    sleep 0.2
done
if ! lpstat -r 2>/dev/null | grep -q "is running"; then
    cat "$work/log/cupsd.out" "$work/log/error_log" 2>/dev/null
    skip "the private CUPS scheduler did not start"
fi
lpadmin -p "$queue" -E -v cups-pdf:/ -P "$ppd" 2>/dev/null || fail "lpadmin could not add the queue"

# cups-pdf writes into the job owner's home, PDF/, named after the title and the job id.
out_dir="$(getent passwd "$(id -un)" | cut -d: -f6)/PDF"
mkdir -p "$out_dir"
marker="$work/started"
touch "$marker"

run_dir="$work/run"
mkdir -p "$run_dir"
output=$(cd "$run_dir" && QT_QPA_PLATFORM=offscreen "$runner" --printer "$queue" "$script" 2>&1)
echo "$output"
grep -qx "\* $queue" <<<"$output" || fail "the printer panel does not list $queue as the selected printer"
grep -qx "  Print to PDF" <<<"$output" || fail "the printer panel lost the PDF device"
grep -q "msgbox" <<<"$output" && fail "printing showed a message"

pdf=""
for _ in $(seq 150); do
    pdf=$(find "$out_dir" -maxdepth 1 -name '*job_1.pdf' -newer "$marker" | head -1)
    [ -n "$pdf" ] && ! lpstat -o "$queue" 2>/dev/null | grep -q . && break
    sleep 0.2
done
[ -n "$pdf" ] || { cat "$work/log/error_log"; fail "the queue wrote no PDF into $out_dir"; }
trap 'rm -f "$pdf"; cleanup' EXIT

pages=$(pdfinfo "$pdf" | awk '/^Pages:/ {print $2}')
echo "queue output: $pdf, $pages pages"
[ "$pages" = 2 ] || fail "expected 2 pages, got $pages"
# cups-pdf passes the pages through Ghostscript, which turns the glyphs into Type 3 shapes
# without text, so the pages are checked by their ink: the right-aligned line at the top right,
# the page number at the bottom centre, nothing in between.
ink() { # PAGE X0 Y0 X1 Y1 (fractions of the page) -> dark pixels in that box at 30 dpi
    pdftoppm -f "$1" -l "$1" -r 30 -gray "$pdf" >"$work/page.pgm" 2>/dev/null
    read -r w h < <(sed -n 2p "$work/page.pgm")
    tail -c $((w * h)) "$work/page.pgm" | od -An -tu1 -v -w"$w" |
        awk -v w="$w" -v h="$h" -v x0="$2" -v y0="$3" -v x1="$4" -v y1="$5" '
            { y = NR - 1; for (x = 0; x < w; ++x)
                if ($(x + 1) < 128 && x >= x0 * w && x < x1 * w && y >= y0 * h && y < y1 * h) ++n }
            END { print n + 0 }'
}
for page in 1 2; do
    top=$(ink "$page" 0.5 0 1 0.15)
    bottom=$(ink "$page" 0.4 0.85 0.6 1)
    middle=$(ink "$page" 0 0.2 1 0.8)
    echo "page $page: ink top right $top, bottom centre $bottom, middle $middle"
    [ "$top" -gt 20 ] && [ "$bottom" -gt 2 ] && [ "$middle" -eq 0 ] || fail "page $page is not the report's page"
done

# A queue that rejects jobs and a stopped queue print nothing, and must say so: the printer
# problem, and no job on the queue.
for tool in cupsreject cupsaccept cupsdisable cupsenable; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (Debian package cups-client)"
done
refused() { # WHAT: the script run again must show the printer problem and add no job
    local jobs_before out
    jobs_before=$(lpstat -W all -o "$queue" 2>/dev/null | wc -l)
    out=$(cd "$run_dir" && QT_QPA_PLATFORM=offscreen "$runner" --printer "$queue" "$script" 2>&1)
    grep -q "msgbox 1572912: Printer problem!" <<<"$out" || { echo "$out"; fail "$1 was silent"; }
    [ "$(lpstat -W all -o "$queue" 2>/dev/null | wc -l)" = "$jobs_before" ] || fail "$1 took a job"
    echo "$1: the printer problem was shown"
}
cupsreject "$queue" || fail "cupsreject failed"
refused "a queue that rejects jobs"
cupsaccept "$queue" || fail "cupsaccept failed"
cupsdisable "$queue" || fail "cupsdisable failed"
refused "a stopped queue"
cupsenable "$queue" || fail "cupsenable failed"
echo "PASSED: $queue printed the report's 2 pages and refused jobs were reported"
