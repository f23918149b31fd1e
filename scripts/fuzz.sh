#!/usr/bin/env bash
# Fuzzes the assembler's source parser for $1 seconds (60 if not given), starting from the
# example programs, then the readers of the assembly dump and of project files as long each,
# starting from the seeds in fuzz/seeds. Any crash, sanitizer report, leak or hang fails the
# script; the input that caused it is kept in build/fuzz/findings.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"

cmake --preset fuzz
cmake --build --preset fuzz --target fuzz_assembler
cmake --build --preset fuzz --target fuzz_assembly_dump fuzz_project_file

corpus="$(mktemp -d)"
trap 'rm -rf "$corpus"' EXIT
shopt -s nullglob
for example in resources/work/*.asm; do
  cp "$example" "$corpus/"
done
findings=build/fuzz/findings
mkdir -p "$findings"

build/fuzz/fuzz/fuzz_assembler "$corpus" \
  -dict=fuzz/assembler.dict \
  -max_total_time="$seconds" \
  -timeout=10 \
  -rss_limit_mb=2048 \
  -print_final_stats=1 \
  -artifact_prefix="$findings/"

# The simulator's file readers, each from its own seeds.
for reader in assembly_dump project_file; do
  seeds="$corpus/$reader"
  mkdir -p "$seeds"
  cp fuzz/seeds/"$reader"/* "$seeds/"
  dict=()
  if [[ -f fuzz/"$reader".dict ]]; then
    dict=(-dict=fuzz/"$reader".dict)
  fi
  build/fuzz/fuzz/fuzz_"$reader" "$seeds" \
    "${dict[@]}" \
    -max_total_time="$seconds" \
    -timeout=10 \
    -rss_limit_mb=2048 \
    -print_final_stats=1 \
    -artifact_prefix="$findings/"
done
echo "fuzz: no finding in $seconds seconds"
