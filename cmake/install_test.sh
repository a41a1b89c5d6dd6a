#!/usr/bin/env bash
# Checks what an installation holds and that it runs.
#   install_test.sh install BUILD_DIR SOURCE_DIR   cmake --install into a temporary prefix
#   install_test.sh package BUILD_DIR SOURCE_DIR   the Debian package of scripts/package.sh,
#                                                  unpacked
# Either way the programs are started from PATH through the links in PREFIX/bin: vtconsole
# applies a script with the plug-in of its program folder, vtconvert converts with the example
# script kinds, and the manual pages and public headers are checked.
# Environment: VT_DESKTOP (1 when the desktop parts were built), VT_VERSION (the project's).
set -euo pipefail
mode=$1
build=$(cd "$2" && pwd)
top=$(cd "$3" && pwd)
work=$(mktemp -d /tmp/vtinstall.XXXXXX)
trap 'rm -rf "$work"' EXIT

fail() {
    printf 'FAILED: %s\n' "$*" >&2
    exit 1
}

# The files of the program folder, which holds nothing else at its top.
program_folder_files() {
    local files=(changes.txt libvtmemhold.so sqltools.ini vtconsole vtconvert vtutils.so)
    [[ ${VT_DESKTOP:-0} == 1 ]] && files+=(vtres.so)
    [[ -f $build/bin/vtdesk ]] && files+=(vtdesk)
    printf '%s\n' "${files[@]}" | sort
}

# The programs and libraries in a program folder.
deliverables() {
    find "$1" -maxdepth 1 -type f ! -name '*.txt' ! -name '*.ini' | sort
}

commands() {
    echo vtconsole vtconvert
    [[ -f $build/bin/vtdesk ]] && echo vtdesk
    return 0
}

check_files() {
    local prefix=$1 progdir=$1/lib/vantrel
    local found
    found=$(find "$progdir" -mindepth 1 -maxdepth 1 ! -type d -printf '%f\n' | sort)
    [[ $found == "$(program_folder_files)" ]] ||
        fail "the program folder holds:"$'\n'"$found"$'\n'"expected:"$'\n'"$(program_folder_files)"
    # Stripping for the package keeps each deliverable's version block.
    for file in $(deliverables "$progdir"); do
        [[ $(readelf -S "$file") == *.vtversion* ]] || fail "$file has no version block"
    done
    for program in $(commands); do
        [[ -x $progdir/$program ]] || fail "$program is not an executable file in $progdir"
        [[ $(readlink "$prefix/bin/$program") == ../lib/vantrel/$program ]] ||
            fail "$prefix/bin/$program is not a link to ../lib/vantrel/$program"
    done
    for file in include/vantrel/vtutils.h include/vantrel/vtmemhold.h \
        share/man/man1/vtconsole.1.gz share/man/man1/vtconvert.1.gz \
        share/doc/vantrel-utilities/copyright share/doc/vantrel-utilities/changelog.gz; do
        [[ -f $prefix/$file ]] || fail "$file is missing"
    done
}

# A console-only installation needs no Qt library.
check_no_qt() {
    local prefix=$1 file
    [[ ${VT_DESKTOP:-0} == 1 ]] && return 0
    for file in $(deliverables "$prefix/lib/vantrel"); do
        [[ $(readelf -d "$file") != *libQt* ]] || fail "$file needs Qt"
    done
}

check_manual_pages() {
    local prefix=$1 page text warnings
    for page in vtconsole vtconvert; do
        text=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/$page.1.gz" \
            2>"$work/man.err") || fail "man -l $page.1.gz failed: $(cat "$work/man.err")"
        warnings=$(cat "$work/man.err")
        [[ -z $warnings ]] || fail "man reports for $page.1.gz: $warnings"
        for section in NAME SYNOPSIS DESCRIPTION OPTIONS "EXIT STATUS" ENVIRONMENT FILES \
            EXAMPLES; do
            grep -q "^$section\$" <<<"$text" || fail "$page(1) has no $section section"
        done
        grep -q "Vantrel Utilities $VT_VERSION" <<<"$text" ||
            fail "$page(1) does not name version $VT_VERSION"
    done
}

check_headers() {
    local prefix=$1
    printf '%s\n' '#include <vantrel/vtutils.h>' '#include <vantrel/vtmemhold.h>' \
        'int main(void) { return 0; }' >"$work/headers.c"
    cc -std=c99 -pedantic -Wall -Werror -fsyntax-only -I "$prefix/include" "$work/headers.c" ||
        fail "the installed headers do not compile on their own"
}

db_value() {
    sqlite3 "$VT_CONFIG_DIR/default.db" "$1"
}

# Runs the programs by their names, from another folder, with a settings folder of their own.
check_runs() {
    local prefix=$1 out
    export PATH=$prefix/bin:$PATH VT_CONFIG_DIR=$work/config
    unset VT_ALIASES VT_PASSWORD VT_CODEPAGE
    mkdir -p "$VT_CONFIG_DIR" "$work/run"
    cd "$work/run"

    # The first script creates R_VERSION, which only an interactive run does: Enter to start,
    # Y to initialise, Enter to quit.
    out=$(printf '\nY\n\n' | vtconsole r "$top/examples/01_initial_schema.rsql" -alias DEFAULT \
        -user "" -pass "" 2>&1) || fail "vtconsole ended with $?:"$'\n'"$out"
    grep -q "Script completed successfully!" <<<"$out" ||
        fail "vtconsole did not complete:"$'\n'"$out"
    # The banner names the program file itself: the link was resolved to the program folder.
    [[ $(head -n 1 <<<"$out") == "$(realpath "$prefix/lib/vantrel/vtconsole")" ]] ||
        fail "vtconsole names itself $(head -n 1 <<<"$out")"
    [[ $(db_value "select Version from R_VERSION") == 1.0 ]] || fail "the version is not 1.0"

    cp "$prefix/lib/vantrel/sqltools.ini" "$VT_CONFIG_DIR/"
    out=$(vtconvert kinds 2>&1) || fail "vtconvert kinds ended with $?: $out"
    [[ $out == $'* PostgreSQL\n  SQLite\n  Firebird' ]] || fail "vtconvert kinds lists:"$'\n'"$out"
    printf '%s\n' "-- notes of the installation test" \
        "CREATE TABLE notes (id INTEGER PRIMARY KEY, body TEXT);" \
        "BEGIN;" "INSERT INTO notes (body) VALUES ('installed; twice');" "COMMIT;" >notes.sql
    out=$(VT_PASSWORD=secret vtconvert sql2rsql notes.sql notes.rsql --kind SQLite --code SHOP \
        --old 1.0 --new 1.1 2>&1) || fail "vtconvert sql2rsql ended with $?: $out"
    grep -q '^Crypt=1' notes.rsql || fail "notes.rsql is not scrambled"
    out=$(vtconsole r notes -alias DEFAULT -user "" -pass "" -s 2>&1 </dev/null) ||
        fail "vtconsole on the converted script ended with $?:"$'\n'"$out"
    [[ $(db_value "select Version from R_VERSION") == 1.1 ]] || fail "the version is not 1.1"
    [[ $(db_value "select body from notes") == "installed; twice" ]] || fail "no note was added"
    cd "$top"
}

case $mode in
install)
    prefix=$work/prefix
    cmake --install "$build" --prefix "$prefix" >"$work/install.log" ||
        fail "cmake --install: $(cat "$work/install.log")"
    ;;
package)
    deb=$("$top/scripts/package.sh" "$build" "$work/deb" | tail -n 1)
    [[ $(dpkg-deb -f "$deb" Package) == vantrel-utilities ]] || fail "wrong package name"
    [[ $(dpkg-deb -f "$deb" Version) == "$VT_VERSION" ]] ||
        fail "the package's version is $(dpkg-deb -f "$deb" Version), not $VT_VERSION"
    depends=$(dpkg-deb -f "$deb" Depends)
    for library in libc6 libpq5 libsqlite3-0; do
        grep -q "$library" <<<"$depends" || fail "the package does not depend on $library: $depends"
    done
    listing=$(dpkg-deb -c "$deb")
    grep -q ' \./usr/bin/vtconsole -> \.\./lib/vantrel/vtconsole$' <<<"$listing" ||
        fail "the package lists no link usr/bin/vtconsole"
    dpkg-deb -x "$deb" "$work/root"
    prefix=$work/root/usr
    ;;
*)
    fail "unknown mode $mode"
    ;;
esac

check_files "$prefix"
check_no_qt "$prefix"
check_manual_pages "$prefix"
check_headers "$prefix"
check_runs "$prefix"
echo "The $mode in $prefix holds the expected files and runs."
