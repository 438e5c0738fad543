#!/usr/bin/env bash
# Seeds small faults into a scratch copy of the tree, one at a time, builds
# the headless test program and runs it, and says which faults the suite
# catches.  A fault that survives is a test still to be written.
#
#   scripts/seed-faults.sh [--list FILE] [--only REGEX] [--scratch DIR]
#                          [--timeout SECONDS] [--jobs N] [--report FILE]
#
# The list (scripts/seed-faults.list by default) holds one fault per block:
#
#   id:   marshal-refill-short          a name for the report
#   file: marshal/stream.cpp            relative to the top of the tree
#   old:  if (room > want) room = want; text that occurs exactly once
#   new:  if (room >= want) room = want - 1;
#
# Blocks are separated by blank lines; '#' starts a comment line.  In `old`
# and `new`, "\n" stands for a line break.  Faults of one file should stand
# together: the scratch build then recompiles little between them.
#
# The scratch copy and its build directory are kept between runs
# (--scratch, default $TMPDIR/quarnix-seed-faults), so a second run only
# rebuilds what changed.  Each fault's run is limited to --timeout seconds
# (120, several times what the suite takes); a run that times out counts
# as caught (the suite hung on it).
# Results: caught, SURVIVED, no-build (the fault did not compile), bad-entry
# (the old text is not in the file exactly once).  Exit status 0 when no
# fault survived, 1 otherwise, 2 on a usage or setup error.
set -u -o pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
list="$top/scripts/seed-faults.list"
only=""
scratch="${TMPDIR:-/tmp}/quarnix-seed-faults"
timeout_s=120
jobs=2
report=""

while [ $# -gt 0 ]; do
    case "$1" in
    --list) list=$2; shift 2 ;;
    --only) only=$2; shift 2 ;;
    --scratch) scratch=$2; shift 2 ;;
    --timeout) timeout_s=$2; shift 2 ;;
    --jobs) jobs=$2; shift 2 ;;
    --report) report=$2; shift 2 ;;
    -h|--help) sed -n '2,27p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "seed-faults: unknown argument $1" >&2; exit 2 ;;
    esac
done
[ -f "$list" ] || { echo "seed-faults: no list $list" >&2; exit 2; }

src="$scratch/src"
build="$scratch/build"
logs="$scratch/logs"
mkdir -p "$src" "$build" "$logs"

# The tree as it is now in the working copy (committed or not), without
# build directories.  Unchanged files keep their times, so the scratch
# build stays incremental across runs.
sync_tree() {
    local f
    (cd "$top" && git ls-files -co --exclude-standard -z) | while IFS= read -r -d '' f; do
        [ -f "$top/$f" ] || continue
        if ! cmp -s "$top/$f" "$src/$f"; then
            mkdir -p "$src/$(dirname "$f")" && cp -p "$top/$f" "$src/$f" && touch "$src/$f" || return 1
        fi
    done
}

build_tests() {
    nice -n 10 cmake --build "$build" --target quarnix_tests -j "$jobs" >"$1" 2>&1
}

run_tests() {
    (cd "$build/tests" && nice -n 10 timeout "$timeout_s" ./quarnix_tests --gtest_brief=1 --gtest_fail_fast=1) >"$1" 2>&1
}

# Replaces the one occurrence of OLD by NEW in FILE; status 3 when OLD
# occurs other than exactly once.
apply_fault() {
    OLD=$2 NEW=$3 perl -0777 -i -pe '
        BEGIN { ($o, $n) = ($ENV{OLD}, $ENV{NEW}); s/\\n/\n/g for $o, $n; }
        $c = () = /\Q$o\E/g;
        if ($c != 1) { $bad = 1; } else { s/\Q$o\E/$n/; }
        END { exit 3 if $bad; }' "$1"
}

echo "seed-faults: scratch copy in $scratch"
sync_tree || { echo "seed-faults: copying the tree failed" >&2; exit 2; }
if [ ! -f "$build/CMakeCache.txt" ]; then
    nice -n 10 cmake -S "$src" -B "$build" -DQUARNIX_BENCH=OFF -DQUARNIX_QT=OFF >"$logs/configure.log" 2>&1 ||
        { echo "seed-faults: configure failed, see $logs/configure.log" >&2; exit 2; }
fi

started=$(date +%s)
echo "seed-faults: building and running the unchanged suite"
if ! build_tests "$logs/baseline-build.log"; then
    echo "seed-faults: the unchanged tree does not build, see $logs/baseline-build.log" >&2; exit 2
fi
if ! run_tests "$logs/baseline-run.log"; then
    echo "seed-faults: the unchanged suite fails, see $logs/baseline-run.log" >&2; exit 2
fi

# Read the blocks into parallel arrays.
ids=() files=() olds=() news=()
flush_block() {
    if [ -n "$id$file$old$new" ]; then
        if [ -z "$id" ] || [ -z "$file" ] || [ -z "$old" ]; then
            echo "seed-faults: incomplete entry near '$id$file'" >&2; exit 2
        fi
        ids+=("$id") files+=("$file") olds+=("$old") news+=("$new")
    fi
    id="" file="" old="" new=""
}
id="" file="" old="" new=""
while IFS= read -r line || [ -n "$line" ]; do
    case "$line" in
    '#'*) continue ;;
    '') flush_block; continue ;;
    id:*) id=${line#id:}; id=${id#"${id%%[! ]*}"} ;;
    file:*) file=${line#file:}; file=${file#"${file%%[! ]*}"} ;;
    old:*) old=${line#old:}; old=${old#"${old%%[! ]*}"} ;;
    new:*) new=${line#new:}; new=${new#"${new%%[! ]*}"} ;;
    *) echo "seed-faults: cannot read line: $line" >&2; exit 2 ;;
    esac
done <"$list"
flush_block

caught=0 survived=0 nobuild=0 badentry=0 total=0
results=()
previous=""
# The original of each file is kept as the scratch copy had it, so editing
# the working tree during a run changes nothing in it.
orig="$scratch/orig"
rm -rf "$orig"
restore() {
    # Back to the original text; the new time makes the build recompile it.
    [ -n "$1" ] && cp "$orig/$1" "$src/$1" && touch "$src/$1"
}
for i in "${!ids[@]}"; do
    id=${ids[$i]} file=${files[$i]}
    if [ -n "$only" ] && ! [[ $id =~ $only ]]; then continue; fi
    total=$((total + 1))
    if [ "$previous" != "$file" ]; then
        restore "$previous"
        [ -f "$orig/$file" ] || { mkdir -p "$(dirname "$orig/$file")" && cp -p "$src/$file" "$orig/$file"; }
    fi
    cp "$orig/$file" "$src/$file"
    t0=$(date +%s)
    if ! apply_fault "$src/$file" "${olds[$i]}" "${news[$i]}"; then
        outcome="bad-entry"; badentry=$((badentry + 1))
    elif ! build_tests "$logs/$id-build.log"; then
        outcome="no-build"; nobuild=$((nobuild + 1))
    else
        run_tests "$logs/$id-run.log"
        status=$?
        if [ "$status" -eq 0 ]; then
            outcome="SURVIVED"; survived=$((survived + 1))
        else
            caught=$((caught + 1))
            by=$(grep -m1 -o '^\[  FAILED  \] [A-Za-z0-9_/.]*' "$logs/$id-run.log" | sed 's/.*\] //')
            if [ "$status" -eq 124 ]; then by="(timed out)"
            elif [ -z "$by" ] && [ "$status" -gt 128 ]; then by="(crashed, signal $((status - 128)))"
            elif [ -z "$by" ]; then by="(exit status $status)"
            fi
            outcome="caught    by $by"
        fi
    fi
    touch "$src/$file"
    previous=$file
    line=$(printf '%-9s %-40s %s (%ss)' "${outcome%% *}" "$id" "$file" $(( $(date +%s) - t0 )))
    [ "${outcome%% *}" = caught ] && line="$line ${outcome#caught    }"
    echo "$line"
    results+=("$line")
done
restore "$previous"

elapsed=$(( $(date +%s) - started ))
summary="seed-faults: caught $caught of $((caught + survived)) faults that built; survived $survived, did not build $nobuild, bad entries $badentry; $total run in ${elapsed}s"
echo "$summary"
if [ -n "$report" ]; then
    { printf '%s\n' "${results[@]}"; echo "$summary"; } >"$report"
fi
[ "$survived" -eq 0 ]
