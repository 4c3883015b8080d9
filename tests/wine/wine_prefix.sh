#!/usr/bin/env bash
# One throwaway Wine prefix for a test run.
#
#   wine_prefix.sh setup STATE          make a prefix in a fresh temporary folder, write its path to STATE
#   wine_prefix.sh run STATE CMD ARG... run CMD with WINEPREFIX set to that prefix
#   wine_prefix.sh cleanup STATE        end the prefix's Wine server, remove the prefix and STATE
#
# Wine's own diagnostics are silenced (WINEDEBUG=-all) so that a test's
# output is its own.
set -euo pipefail

usage="usage: wine_prefix.sh setup|run|cleanup STATE [CMD ARG...]"
command=${1:?$usage}
state=${2:?$usage}
shift 2

export WINEDEBUG=-all
# No Mono or Gecko: nothing here needs them, and Wine would otherwise try
# to install them into every new prefix.
export WINEDLLOVERRIDES="mscoree=;mshtml="

case $command in
setup)
    if ! command -v wine >/dev/null || ! command -v wineserver >/dev/null; then
        echo "wine_prefix: wine is not installed (Debian packages wine and wine64; scripts/setup.sh installs them)" >&2
        exit 1
    fi
    if [ -s "$state" ]; then
        # A run that was interrupted left its prefix behind.
        "$0" cleanup "$state"
    fi
    prefix=$(mktemp -d "${TMPDIR:-/tmp}/linkscope-wine.XXXXXX")
    export WINEPREFIX=$prefix
    # One server for the whole run, kept until cleanup: tests then start
    # quickly, and no test leaves a server behind holding its output open.
    wineserver -p </dev/null >/dev/null 2>&1
    if ! wineboot --init >"$prefix.log" 2>&1; then
        cat "$prefix.log" >&2
        wineserver -k 2>/dev/null || true
        rm -rf "$prefix" "$prefix.log"
        exit 1
    fi
    rm -f "$prefix.log"
    echo "$prefix" >"$state"
    echo "wine prefix $prefix ($(wine --version))"
    ;;
run)
    WINEPREFIX=$(cat "$state") exec "$@"
    ;;
cleanup)
    [ -s "$state" ] || exit 0
    prefix=$(cat "$state")
    if [ -d "$prefix" ]; then
        WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
        WINEPREFIX=$prefix wineserver -w 2>/dev/null || true
        # The server's socket folder is named after the prefix's device and
        # inode, inside a temporary folder of its own.
        server=$(printf 'server-%x-%x' "$(stat -c %d "$prefix")" "$(stat -c %i "$prefix")")
        for folder in /tmp/.wine-"$(id -u)"/"$server" /tmp/wine-*/"$server"; do
            [ -d "$folder" ] || continue
            rm -rf "$folder"
            case $folder in /tmp/wine-*) rmdir "$(dirname "$folder")" 2>/dev/null || true ;; esac
        done
        rm -rf "$prefix"
    fi
    rm -f "$state"
    echo "wine prefix $prefix removed"
    ;;
*)
    echo "wine_prefix: unknown command $command" >&2
    exit 2
    ;;
esac
