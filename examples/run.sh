#!/usr/bin/env bash
# Builds mkskills and runs it on examples/skills.xml in a scratch directory,
# then shows the console output and both files in hex.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cmake --workflow --preset release >/dev/null
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
cp "$root/examples/skills.xml" "$scratch/"
cd "$scratch"
status=0
"$root/build/release/app/mkskills" || status=$?
echo "--- exit status: $status"
echo "--- skills.idx ($(wc -c < skills.idx) bytes)"
od -A d -t x1 skills.idx
echo "--- skills.mul ($(wc -c < skills.mul) bytes)"
od -A d -t x1z skills.mul
