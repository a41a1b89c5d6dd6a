#!/usr/bin/env bash
# The main job on the built-in DEFAULT alias: builds, then applies the example rSQL scripts in
# examples/ with vtconsole in silent mode and shows the version record before and after.
# Run it again and the first script is refused: the database already has a newer version.
#   scripts/demo.sh [BUILD_DIR]      (default build/; the demo database lives in BUILD_DIR/demo)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}

# Only what the demo runs: the console runner and the plug-in it loads.
"$top/scripts/build.sh" --target vtconsole --target vtutils "$build"

vtconsole=$build/bin/vtconsole
# A settings folder of its own: no aliases.ini there, so DEFAULT is the engine's built-in alias,
# the SQLite file default.db in that folder.
export VT_CONFIG_DIR=${VT_DEMO_DIR:-$build/demo}
unset VT_ALIASES VT_PASSWORD
mkdir -p "$VT_CONFIG_DIR"
db=$VT_CONFIG_DIR/default.db

has_version_table() {
    [ -f "$db" ] && [ -n "$(sqlite3 "$db" \
        "select name from sqlite_master where type='table' and upper(name)='R_VERSION'")" ]
}

show_version() {
    echo "== R_VERSION $1 ($db) =="
    if has_version_table; then
        sqlite3 -header -column "$db" "select Version, DBCode, Counter from R_VERSION"
    else
        echo "(no R_VERSION table)"
    fi
    echo
}

show_version "before"
status=0
for script in "$top"/examples/*.rsql; do
    echo "== applying $(basename "$script") =="
    if has_version_table; then
        "$vtconsole" r "$script" -alias DEFAULT -user "" -s || status=$?
    else
        # Silent runs never create R_VERSION; the first run answers the initialisation question
        # through a pipe: Enter to start, Y to initialise, Enter to quit.
        echo "(the database has no R_VERSION yet: answering Y to the initialisation question)"
        printf '\nY\n\n' | "$vtconsole" r "$script" -alias DEFAULT -user "" -pass "" || status=$?
    fi
    if [ "$status" -ne 0 ]; then
        echo "== vtconsole ended with exit code $status; the remaining scripts are not applied =="
        echo
        break
    fi
done
show_version "after"
exit "$status"
