#!/usr/bin/env bash
# Builds, runs every benchmark program (bench_*) with a throw-away PostgreSQL server
# (pg_virtualenv) so that the PostgreSQL cases run too, and writes the run's table to
# bench/RESULTS.md (and shows it): each figure, its baseline measured in the same run, the
# ratio and the goal, under the machine, date and commit of the run.
# Arguments are passed to every benchmark program (e.g. --benchmark_filter=SQLite);
# $TOVRAN_BENCH_PROGRAMS (e.g. "print entry") builds and runs only those programs in a build
# folder already configured. The file names both, as the figures of a partial run.
# The JSON results stay in $TOVRAN_BENCH_OUT (default: <build>/bench-results).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${TOVRAN_BUILD_DIR:-$root/build}"
out="${TOVRAN_BENCH_OUT:-$build/bench-results}"
programs=""
for name in ${TOVRAN_BENCH_PROGRAMS:-}; do
    programs+=" bench_$name"
done
if [ -n "$programs" ]; then
    # shellcheck disable=SC2086 # one target a name
    cmake --build "$build" -j"$(nproc)" --target $programs
else
    "$root/scripts/build.sh"
    for program in "$build"/bench/bench_*; do
        if [ -f "$program" ] && [ -x "$program" ]; then
            programs+=" $(basename "$program")"
        fi
    done
fi
programs="${programs# }"

mkdir -p "$out"
rm -f "$out"/bench_*.json
load="$(cut -d' ' -f1 /proc/loadavg 2>/dev/null || true)" # others at work skew the figures
export QT_QPA_PLATFORM=offscreen

run_all() {
    local status=0
    for name in $programs; do
        echo "=== $name" >&2
        if ! "$build/bench/$name" --benchmark_out="$out/$name.json" --benchmark_out_format=json "$@"; then
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
    export build out programs
    pg_virtualenv -t -- bash -c 'run_all "$@"' run_all "$@" || status=$?
else
    echo "pg_virtualenv not found: the PostgreSQL cases are skipped" >&2
    run_all "$@" || status=$?
fi

cpu="$(sed -n "s/^model name[[:space:]]*: //p" /proc/cpuinfo 2>/dev/null | head -n1 || true)"
memory="$(awk '/^MemTotal:/ { printf "%.0f GB", $2 / 1048576 }' /proc/meminfo 2>/dev/null || true)"
# shellcheck source=/dev/null
os="$( { . /etc/os-release && echo "$PRETTY_NAME"; } 2>/dev/null || true)"
commit="$(git -C "$root" describe --always --dirty 2>/dev/null || echo unknown)"
table="$out/RESULTS.md"
{
    echo "# Benchmark results"
    echo
    echo "Written by \`scripts/bench.sh\`; do not edit. The goals and how to run:"
    echo "[README, Benchmarks](../README.md#benchmarks)."
    echo
    echo "- Run: $(date -u '+%Y-%m-%d %H:%M UTC'), commit $commit"
    echo "- Machine: $(nproc) cores${cpu:+ $cpu}${memory:+, $memory}${os:+, $os}${load:+; load average $load as the benchmarks began}"
    echo "- Programs: $programs${TOVRAN_BENCH_PROGRAMS:+ (a partial run)}"
    if [ "$#" -gt 0 ]; then
        echo "- Arguments: \`$*\` (a partial run)"
    else
        echo "- Arguments: none (every benchmark)"
    fi
    echo
    python3 "$root/scripts/benchtable.py" "$out"/bench_*.json
} >"$table"
cp "$table" "$root/bench/RESULTS.md"
echo
cat "$table"
exit "$status"
