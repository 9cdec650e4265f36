#!/usr/bin/env bash
# Builds the fuzz preset and runs every fuzz target for a bounded time under
# AddressSanitizer and UndefinedBehaviorSanitizer; fails on the first finding
# (crash, failed check, leak, timeout or memory blow-up).
#
#   fuzz/run.sh [SECONDS] [TARGET...]
#
# SECONDS per target (default 60); TARGETs default to every *_fuzz program the
# build made. The corpus grows in build/fuzz/corpus/<target>; a failing input
# is saved in build/fuzz/findings/<target>/. Set MKSKILLS_FUZZ_NO_BUILD=1 to
# skip the build (when another run.sh has just made it).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
seconds="${1:-60}"
[ $# -gt 0 ] && shift
if [ -z "${MKSKILLS_FUZZ_NO_BUILD:-}" ]; then
    cmake --workflow --preset fuzz >/dev/null
fi
bin="$root/build/fuzz/fuzz"
if [ $# -gt 0 ]; then
    targets=("$@")
else
    targets=()
    for path in "$bin"/*_fuzz; do
        [ -x "$path" ] && targets+=("$(basename "$path")")
    done
fi
[ ${#targets[@]} -gt 0 ] || { echo "no fuzz targets built" >&2; exit 1; }

for target in "${targets[@]}"; do
    corpus="$root/build/fuzz/corpus/$target"
    findings="$root/build/fuzz/findings/$target"
    mkdir -p "$corpus" "$findings"
    echo "=== $target: $seconds s"
    # New inputs go to the first directory; the others only seed it.
    "$bin/$target" -dict="$root/fuzz/markup.dict" -max_total_time="$seconds" -max_len=8192 \
        -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$findings/" \
        "$corpus" "$root/fuzz/corpus" "$root/examples"
done
echo "=== no findings"
