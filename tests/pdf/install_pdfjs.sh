#!/usr/bin/env bash
# Installs the pdf.js reader the PDF tests use from the npm registry into DIR (under the build
# tree), once: a DIR that already holds VERSION is left as it is. A failed download is tried
# again; when it still fails this exits 1, so the tests that read with pdf.js fail, never pass
# unread.
# Usage: install_pdfjs.sh DIR VERSION
set -euo pipefail
dir=$(realpath -m "$1")
version=$2
installed="$dir/node_modules/pdfjs-dist/package.json"

installed_version() {
    [ -f "$installed" ] &&
        node -e 'process.stdout.write(require(process.argv[1]).version)' "$installed"
}

for tool in node npm; do
    if ! command -v "$tool" >/dev/null; then
        echo "install_pdfjs: no $tool (Debian packages nodejs and npm;" \
            "scripts/run-tests.sh installs them)" >&2
        exit 1
    fi
done
mkdir -p "$dir"
# Two test runs in one build tree install one after the other.
exec 9>"$dir/.install-lock"
flock 9
if [ "$(installed_version || true)" = "$version" ]; then
    exit 0
fi
# Only the library: its optional canvas packages draw pages, which these tests never do, and
# would build native code. npm's own retries wait a minute each; the loop here waits less.
for attempt in 1 2 3; do
    if npm install --prefix "$dir" --no-save --no-package-lock --omit=optional --ignore-scripts \
        --no-audit --no-fund --loglevel=error --fetch-retries=1 --fetch-retry-mintimeout=2000 \
        --fetch-retry-maxtimeout=10000 "pdfjs-dist@$version" >&2; then
        if [ "$(installed_version || true)" = "$version" ]; then
            exit 0
        fi
        echo "install_pdfjs: npm finished but $installed does not hold $version" >&2
    fi
    if [ "$attempt" -lt 3 ]; then
        echo "install_pdfjs: attempt $attempt failed; trying again in $((attempt * 5)) s" >&2
        sleep $((attempt * 5))
    fi
done
echo "install_pdfjs: could not install pdfjs-dist@$version from the npm registry into $dir" >&2
exit 1
