#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: unit and window tests (offscreen
# Qt), the PostgreSQL tests against a throw-away server (pg_virtualenv), printer tests
# against a CUPS PDF queue, and the end-to-end runs under Xvfb.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${TOVRAN_BUILD_DIR:-$root/build}"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"

cleanup() {
    [ -n "${CUPSD_PID:-}" ] && kill "$CUPSD_PID" 2>/dev/null || true
}
trap cleanup EXIT

# A CUPS PDF printer for the printing tests, when this machine can run one.
if [ "${TOVRAN_NO_PRINTER:-}" != "1" ] && command -v cupsd >/dev/null && [ -f /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd ]; then
    if ! lpstat -r 2>/dev/null | grep -q "is running"; then
        cupsd -f &
        CUPSD_PID=$!
        for _ in $(seq 1 50); do lpstat -r 2>/dev/null | grep -q "is running" && break; sleep 0.2; done
    fi
    if lpadmin -p TOVRAN_PDF -v cups-pdf:/ -E -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd 2>/dev/null; then
        export TOVRAN_TEST_PRINTER=TOVRAN_PDF
        out=$(sed -n 's/^Out[[:space:]]\+//p' /etc/cups/cups-pdf.conf | head -n1)
        [ -n "$out" ] || out='${HOME}/PDF'
        export TOVRAN_TEST_PRINTER_OUT="$(printf '%s' "$out" | sed "s|\${HOME}|$HOME|")"
    fi
fi

cd "$build"
# pg_virtualenv sets PGHOST/PGPORT/PGUSER/PGPASSWORD/PGDATABASE for a throw-away cluster;
# -t gives it a private temporary folder and name, so two runs on one machine never collide.
pg_virtualenv -t -- ctest --output-on-failure -j"$(nproc)" "$@"
