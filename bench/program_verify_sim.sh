#!/usr/bin/env bash
# Time of the whole job on the simulator: a full AT89S52 (8 KiB, no blank
# byte, so every byte is written) erased, programmed and verified by one
# zivivar-cli process, RUNS times. Also counts the register writes of one
# job, which on the real adapter take TimeBaseKorr microseconds each.
# Usage: bench/program_verify_sim.sh BUILD_DIR [RUNS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/dev}" && pwd)
runs=${2:-10}
cli="$build/src/cli/zivivar-cli"
[[ -x $cli ]] || { echo "$cli is missing: build the project first" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
cp "$root/data/VOZ8051.CSV" .
# 8192 bytes, none of them 0xFF.
head -c 8192 /dev/urandom | tr '\377' '\125' >full.bin
job=("$cli" --simulator --sim-state chip.zvchip -d AT89S52 program full.bin)

"${job[@]}" 2>/dev/null
"$cli" --trace trace.txt --simulator --sim-state chip.zvchip -d AT89S52 program full.bin 2>/dev/null
writes=$(wc -l <trace.txt)
rm trace.txt
"$cli" --simulator --sim-state chip.zvchip -d AT89S52 read back --format bin >/dev/null 2>&1
cmp full.bin back.bin

if command -v hyperfine >/dev/null; then
  hyperfine -N --style none --warmup 1 --runs "$runs" --export-csv times.csv "${job[*]}" \
    >/dev/null 2>hyperfine.log
  read -r wall cpu < <(awk -F, 'NR == 2 { print $2, $5 + $6 }' times.csv)
else
  TIMEFORMAT='%R %U %S'
  total=0
  for ((i = 0; i < runs; ++i)); do
    { time "${job[@]}" 2>/dev/null; } 2>time.txt
    read -r r u s <time.txt
    total=$(awk -v t="$total" -v r="$r" 'BEGIN { print t + r }')
    cpu_total=$(awk -v t="${cpu_total:-0}" -v u="$u" -v s="$s" 'BEGIN { print t + u + s }')
  done
  wall=$(awk -v t="$total" -v n="$runs" 'BEGIN { print t / n }')
  cpu=$(awk -v t="$cpu_total" -v n="$runs" 'BEGIN { print t / n }')
fi
awk -v wall="$wall" -v cpu="$cpu" -v writes="$writes" -v runs="$runs" 'BEGIN {
  printf "Program and verify a full AT89S52 (8192 bytes) on the simulator, mean of %d runs:\n", runs
  printf "  %.1f ms wall, %.1f ms CPU, %d register writes (%.1f ns each)\n",
         1000 * wall, 1000 * cpu, writes, 1e9 * wall / writes
  printf "  the same writes at 85 us each on the adapter: %.0f s\n", writes * 85e-6
}'
