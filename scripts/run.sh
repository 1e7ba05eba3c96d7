#!/usr/bin/env bash
# Builds the program and starts it on the embedded default: a demo SQLite database that
# is created on first use, reached through the suite's hand-over as a user would reach it.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${TOVRAN_BUILD_DIR:-$root/build}"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
tree="$build/tree"

# The demo keeps its own settings store unless the caller names one.
export NORV_SETTINGS="${NORV_SETTINGS:-$tree/DAT/demo-settings.ini}"

if [ -x "$build/tools/demodb/tovran-demodb" ] && [ ! -f "$tree/DAT/demo.db" ]; then
    "$build/tools/demodb/tovran-demodb" --sqlite "$tree/DAT/demo.db" --menu "$tree/DAT/menu.db"
fi
if [ -x "$build/tools/norvmenu/norvmenu" ]; then
    # The menu program's side: register the connection, hand over the user and start.
    exec "$build/tools/norvmenu/norvmenu" \
        --apid DEMO \
        --connect "Provider=SQLite;Data Source=$tree/DAT/demo.db" \
        --menu-connect "Provider=SQLite;Data Source=$tree/DAT/menu.db" \
        --group ADMIN --user DEMO \
        --start "$tree/bin/TOVRAN"
fi
exec "$tree/bin/TOVRAN" "$@"
