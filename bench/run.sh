#!/usr/bin/env bash
# Builds the bench preset, generates the documents, runs the in-process reader
# benchmark, then times mkskills and the peer builders end to end with
# /usr/bin/time -v, and prints one table of medians and spreads.
#
#   RUNS=5        runs of each end-to-end measurement (and benchmark repetitions)
#   SKILLS="1000 1000000"        skill counts for the end-to-end runs
#   PEERS="pugixml expat tinyxml2 libxml2 etree"   peers to compare (those built)
#   BENCH_FILTER=.               regex of the in-process benchmarks to run ("" skips them)
#   KEEP=1                       keep the work directory
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
RUNS="${RUNS:-5}"
SKILLS="${SKILLS:-1000 1000000}"
PEERS="${PEERS:-pugixml expat tinyxml2 libxml2 etree}"
BENCH_FILTER="${BENCH_FILTER-.}"

cmake --workflow --preset bench >/dev/null
bin="$root/build/bench"
work="$(mktemp -d)"
if [ "${KEEP:-0}" != 1 ]; then trap 'rm -rf "$work"' EXIT; fi

{
    echo "machine: $(lscpu | sed -n 's/^Model name: *//p'), $(nproc) cores, $(free -g | awk '/Mem:/{print $2}') GiB," \
        "$(uname -sr), $(c++ --version | head -1)"
    echo "load at start: $(uptime | sed 's/.*load average: //')"
} >"$work/header.txt"

# The commands of the end-to-end comparison, by name; each runs in a directory
# holding skills.xml and writes skills.idx, skills.mul and its lines.
declare -A command=([mkskills]="$bin/app/mkskills")
for peer in $PEERS; do
    case "$peer" in
    etree) command[etree]="python3 $root/bench/peers/etree_builder.py" ;;
    *) [ -x "$bin/bench/${peer}_builder" ] && command[$peer]="$bin/bench/${peer}_builder" ;;
    esac
done
programs="mkskills"
for peer in $PEERS; do [ -n "${command[$peer]:-}" ] && programs="$programs $peer"; done

for kind in plain rich; do
    for skills in $SKILLS; do
        mkdir -p "$work/$kind-$skills"
        "$bin/bench/gen_skills" "$kind" "$skills" "$work/$kind-$skills/skills.xml"
    done
done

if [ -n "$BENCH_FILTER" ]; then
    echo "running the in-process benchmark ..." >&2
    "$bin/bench/reader_bench" --benchmark_filter="$BENCH_FILTER" --benchmark_repetitions="$RUNS" \
        --benchmark_out="$work/reader.json" \
        --benchmark_out_format=json >/dev/null
fi

# Round-robin over the programs in every run, so that changes in the machine's
# load fall on all of them alike.
echo "running the end-to-end comparison, $RUNS runs ..." >&2
: >"$work/runs.tsv"
for run in $(seq "$RUNS"); do
    for kind in plain rich; do
        for skills in $SKILLS; do
            dir="$work/$kind-$skills"
            for program in $programs; do
                (cd "$dir" && /usr/bin/time -v -o "$work/time.txt" ${command[$program]} >"$dir/lines.txt")
                same=yes
                if [ "$program" = mkskills ]; then
                    cat "$dir/skills.idx" "$dir/skills.mul" "$dir/lines.txt" | md5sum >"$dir/expected.md5"
                elif [ "$(cat "$dir/skills.idx" "$dir/skills.mul" "$dir/lines.txt" | md5sum)" != "$(cat "$dir/expected.md5")" ]; then
                    same=no
                fi
                awk -v doc="$kind $skills" -v program="$program" -v same="$same" -F': ' '
                    /User time/ {user = $2} /System time/ {sys = $2}
                    /Elapsed \(wall clock\)/ {n = split($2, p, ":"); wall = 0; for (i = 1; i <= n; i++) wall = wall * 60 + p[i]}
                    /Maximum resident set size/ {rss = $2}
                    END {printf "%s\t%s\t%.3f\t%.3f\t%d\t%s\n", doc, program, wall, user + sys, rss, same}
                ' "$work/time.txt" >>"$work/runs.tsv"
            done
        done
    done
done
echo "load at end: $(uptime | sed 's/.*load average: //')" >>"$work/header.txt"

python3 "$root/bench/table.py" "$work"
