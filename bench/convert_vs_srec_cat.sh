#!/usr/bin/env bash
# Whole-process comparison: a 128 KiB image converted from binary to Intel
# HEX (32-bit addresses, 32 data bytes a line) and back, by zivivar-cli and
# by srec_cat, each run RUNS times in turn in the same session. Both results
# are checked against the original image first. Goal: zivivar-cli at least
# four times faster.
# Usage: bench/convert_vs_srec_cat.sh BUILD_DIR [RUNS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/dev}" && pwd)
runs=${2:-20}
cli="$build/src/cli/zivivar-cli"
[[ -x $cli ]] || { echo "$cli is missing: build the project first" >&2; exit 1; }
command -v srec_cat >/dev/null || { echo "srec_cat is missing (Debian package srecord)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
# A device with the largest code memory the system knows, for this run only.
printf ':Bench;Y\nBENCH128K;DIP40;5000;1000;500000;0;0;0;0;0;0;131072;0;0;4;Y\n' >VOZ8051.CSV
head -c 131072 /dev/urandom >image.bin

z_hex=("$cli" -d BENCH128K convert image.bin z.hex --format intel32)
z_bin=("$cli" -d BENCH128K convert z.hex z.bin --format bin)
s_hex=(srec_cat image.bin -binary -o s.hex -intel)
s_bin=(srec_cat s.hex -intel -o s.bin -binary)

"${z_hex[@]}"
"${z_bin[@]}"
"${s_hex[@]}"
"${s_bin[@]}"
cmp image.bin z.bin
cmp image.bin s.bin
echo "Intel HEX of 128 KiB: zivivar-cli $(wc -l <z.hex) lines, srec_cat $(wc -l <s.hex) lines"

# Milliseconds of one pair (binary to HEX and back), wall clock and CPU (user
# + system). hyperfine starts the programs without a shell; without it, a
# loop of bash's time, which adds the shell's fork to both tools alike.
if command -v hyperfine >/dev/null; then
  hyperfine -N --style none --warmup 3 --runs "$runs" --export-csv times.csv \
    "${z_hex[*]}" "${z_bin[*]}" "${s_hex[*]}" "${s_bin[*]}" >/dev/null 2>hyperfine.log
  # command,mean,stddev,median,user,system,min,max; rows in the order given.
  awk -F, 'NR > 1 { wall[NR - 1] = $2; cpu[NR - 1] = $5 + $6 }
    END { print "zivivar", wall[1] + wall[2], cpu[1] + cpu[2]
          print "srec", wall[3] + wall[4], cpu[3] + cpu[4] }' times.csv >means.txt
  how="hyperfine, $runs runs"
else
  TIMEFORMAT='%R %U %S'
  : >times.txt
  for ((i = 0; i < runs; ++i)); do
    { time { "${z_hex[@]}"; "${z_bin[@]}"; }; } 2>>times.txt
    { time { "${s_hex[@]}"; "${s_bin[@]}"; }; } 2>>times.txt
  done
  awk -v runs="$runs" '{ tool = NR % 2 ? "zivivar" : "srec"; wall[tool] += $1; cpu[tool] += $2 + $3 }
    END { for (t in wall) print t, wall[t] / runs, cpu[t] / runs }' times.txt >means.txt
  how="bash time loop, $runs runs"
fi
awk -v how="$how" '
  { wall[$1] = 1000 * $2; cpu[$1] = 1000 * $3 }
  END {
    printf "binary -> Intel HEX -> binary, 128 KiB, mean per pair in ms (%s):\n", how
    printf "               wall      cpu\n"
    printf "  zivivar-cli  %7.2f  %7.2f\n", wall["zivivar"], cpu["zivivar"]
    printf "  srec_cat     %7.2f  %7.2f\n", wall["srec"], cpu["srec"]
    printf "  zivivar-cli is %.1fx as fast by the clock, %.1fx by CPU time (goal: 4x)\n",
           wall["srec"] / wall["zivivar"], cpu["srec"] / cpu["zivivar"]
  }' means.txt
