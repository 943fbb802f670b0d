#!/usr/bin/env bash
# Runs every fuzz target in BUILD/bin/fuzz_* for SECONDS each, starting from its
# seed corpus under fuzz/corpus/NAME (copied to a scratch folder so runs never
# write into the tree).
set -euo pipefail
build=${1:-build-fuzz}
seconds=${2:-5}
top=$(cd "$(dirname "$0")/.." && pwd)
shopt -s nullglob
targets=("$build"/bin/fuzz_*)
if [ ${#targets[@]} -eq 0 ]; then
  echo "fuzz: no targets in $build/bin" >&2
  exit 1
fi
for t in "${targets[@]}"; do
  name=$(basename "$t"); name=${name#fuzz_}
  work=$(mktemp -d)
  if [ -d "$top/fuzz/corpus/$name" ]; then cp -r "$top/fuzz/corpus/$name/." "$work/"; fi
  echo "fuzz: $name for ${seconds}s"
  "$t" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 -print_final_stats=0 \
       -artifact_prefix="$work/" "$work" 2>"$work.log" || { tail -n 40 "$work.log"; rm -rf "$work"; exit 1; }
  rm -rf "$work" "$work.log"
done
echo "fuzz: all targets ran clean"
