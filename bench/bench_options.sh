# The options both inventory benchmarks take; sourced by them from the
# repository's top folder.
#
#   read_bench_options SCRIPT HELP_LINES DEFAULT_COUNTS "$@"
#
# Sets `kvlhost` (--kvlhost PATH, default the default build's), `runs`
# (--runs N, default 5) and `counts` (the other arguments, else the words of
# DEFAULT_COUNTS); --help prints lines HELP_LINES (a sed range) of SCRIPT.
read_bench_options() {
    local script=$1 help=$2 defaults=$3
    shift 3
    kvlhost=build/default/bin/kvlhost
    runs=5
    counts=()
    while (($#)); do
        case "$1" in
            --kvlhost) kvlhost="$2"; shift 2 ;;
            --runs) runs="$2"; shift 2 ;;
            -h|--help) sed -n "${help}p" "$script"; exit 0 ;;
            *) counts+=("$1"); shift ;;
        esac
    done
    ((${#counts[@]})) || read -r -a counts <<<"$defaults"
    kvlhost=$(realpath "$kvlhost")
    [ -x "$kvlhost" ] || { echo "bench: no kvlhost at $kvlhost (build first, or give --kvlhost)" >&2; exit 2; }
}
