#!/usr/bin/env bash
# Runs every libFuzzer target (or those named after the time) for $1 seconds in all (60 if not
# given), shared evenly, each at least 5 seconds. The target fuzz_<name>, built from
# fuzz/fuzz_<name>.cpp, starts from the files in fuzz/seeds/<name>/ and those that the globs in
# fuzz/<name>.seeds name, and uses fuzz/<name>.dict when there is one. Any crash, failed
# property, sanitizer report, leak or hang fails the script; the input that caused it is kept
# in build/fuzz/findings.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
shift || true

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for source in fuzz/fuzz_*.cpp; do
    targets+=("$(basename "$source" .cpp)")
  done
fi
# Only the targets: the rest of the tree is not built for fuzzing.
cmake --preset fuzz
cmake --build --preset fuzz --target "${targets[@]}"
each=$(( seconds / ${#targets[@]} ))
[ "$each" -ge 5 ] || each=5

findings=build/fuzz/findings
mkdir -p "$findings"
shopt -s nullglob
for target in "${targets[@]}"; do
  name="${target#fuzz_}"
  corpus="$(mktemp -d)"
  trap 'rm -rf "$corpus"' EXIT
  for seed in fuzz/seeds/"$name"/*; do
    cp "$seed" "$corpus/"
  done
  if [ -f "fuzz/$name.seeds" ]; then
    while read -r pattern; do
      [ -n "$pattern" ] || continue
      for seed in $pattern; do
        cp "$seed" "$corpus/"
      done
    done < "fuzz/$name.seeds"
  fi
  options=(-max_total_time="$each" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
           -artifact_prefix="$findings/$target-")
  [ -f "fuzz/$name.dict" ] && options+=(-dict="fuzz/$name.dict")
  echo "fuzz: $target for $each seconds"
  "build/fuzz/fuzz/$target" "$corpus" "${options[@]}"
  rm -rf "$corpus"
done
echo "fuzz: no finding in ${#targets[@]} targets, $each seconds each"
