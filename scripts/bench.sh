#!/usr/bin/env bash
# Builds, runs every benchmark program (bench_*) with a throw-away PostgreSQL server
# (pg_virtualenv) so that the PostgreSQL cases run too, and prints one table at the end:
# each figure, its baseline measured in the same run, the ratio and the goal.
# Arguments are passed to every benchmark program (e.g. --benchmark_filter=SQLite).
# The JSON results stay in $TOVRAN_BENCH_OUT (default: <build>/bench-results).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${TOVRAN_BUILD_DIR:-$root/build}"
out="${TOVRAN_BENCH_OUT:-$build/bench-results}"
"$root/scripts/build.sh"

mkdir -p "$out"
rm -f "$out"/bench_*.json
export QT_QPA_PLATFORM=offscreen

run_all() {
    local status=0
    for program in "$build"/bench/bench_*; do
        [ -f "$program" ] && [ -x "$program" ] || continue
        local name
        name="$(basename "$program")"
        echo "=== $name" >&2
        if ! "$program" --benchmark_out="$out/$name.json" --benchmark_out_format=json "$@"; then
            echo "$name failed" >&2
            status=1
        fi
    done
    return "$status"
}

status=0
if command -v pg_virtualenv >/dev/null; then
    # pg_virtualenv sets PGHOST/PGPORT/PGUSER/PGPASSWORD/PGDATABASE for its cluster.
    export -f run_all
    export build out
    pg_virtualenv -t -- bash -c 'run_all "$@"' run_all "$@" || status=$?
else
    echo "pg_virtualenv not found: the PostgreSQL cases are skipped" >&2
    run_all "$@" || status=$?
fi

echo
echo "Benchmarks on $(uname -n): $(nproc) cores, $(sed -n "s/^model name[[:space:]]*: //p" /proc/cpuinfo 2>/dev/null | head -n1)"
python3 "$root/scripts/benchtable.py" "$out"/bench_*.json
exit "$status"
