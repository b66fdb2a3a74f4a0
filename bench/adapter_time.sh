#!/usr/bin/env bash
# Register writes of whole zivivar-cli jobs on the simulator, exact and fast
# profile side by side, and what they cost on the real adapter at 85 µs a
# write (the default TimeBaseKorr). The simulator's bit timing is the real
# adapter's, so the counts are those the adapter would see.
#
# Jobs: program (erase, program, verify) of the example firmware, of a sparse
# image as SDCC leaves it (code from 0, tables at 0x1000, 0xFF between), of a
# full random 8 KiB image (no 0xFF byte), and an 8 KiB read-out; each on an
# AT89S52 (four-byte instructions, page mode) and an AT89S8252 (three-byte
# instructions). Every program job is read back and compared with its image,
# and the fast and exact chips must agree.
# Usage: bench/adapter_time.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/dev}" && pwd)
cli="$build/src/cli/zivivar-cli"
[[ -x $cli ]] || { echo "$cli is missing: build the project first" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
cp "$root/data/VOZ8051.CSV" .
cp "$root/data/examples/blink.ihx" example.ihx

# Random bytes without 0xFF, so that every byte of them is written.
random_bytes() { head -c "$1" /dev/urandom | tr '\377' '\125'; }
random_bytes 8192 >full.bin
# 3000 bytes of code, 0xFF up to 0x1000, 512 bytes of tables: as an Intel
# HEX file without the lines of 0xFF, as SDCC writes it.
{
  random_bytes 3000
  head -c $((0x1000 - 3000)) /dev/zero | tr '\0' '\377'
  random_bytes 512
} >sparse.bin
"$cli" --simulator --sim-state scratch.zvchip -d AT89S52 convert sparse.bin sparse.ihx \
  --format intel8 >/dev/null

# Register writes of one job: the trace has a line per write.
writes() {
  rm -f trace.txt
  "$cli" --trace trace.txt --simulator "$@" >/dev/null 2>&1 || {
    echo "failed: $*" >&2
    exit 1
  }
  wc -l <trace.txt
}

row() {  # image chip exact fast
  awk -v i="$1" -v c="$2" -v e="$3" -v f="$4" 'BEGIN {
    printf "| %-22s | %-9s | %9d | %7.1f s | %9d | %7.1f s | %5.2f |\n",
      i, c, e, e * 85e-6, f, f * 85e-6, f / e }'
}

echo "| job                    | chip      | exact     | at 85 µs  | fast      | at 85 µs  | ratio |"
echo "|------------------------|-----------|-----------|-----------|-----------|-----------|-------|"
head -c 8192 /dev/zero >zero.bin
# The AT89S8252's EEPROM companions: 64 bytes for each image, zeros for the fill.
head -c 2048 /dev/zero >zero.eep
for image in example sparse full; do random_bytes 64 >"$image.eep"; done
for chip in AT89S52 AT89S8252; do
  # Every job starts from a chip full of 0x00: the program job's erase must clear it.
  rm -f zero.zvchip
  "$cli" --simulator --sim-state zero.zvchip -d "$chip" program zero.bin >/dev/null 2>&1
  for image in example.ihx sparse.ihx full.bin; do
    declare -A chip_of=()
    for profile in exact fast; do
      cp zero.zvchip "$profile.zvchip"
      count=$(writes --"$profile" --sim-state "$profile.zvchip" -d "$chip" program "$image")
      eval "${profile}_writes=$count"
      "$cli" --simulator --sim-state "$profile.zvchip" -d "$chip" read "$profile.bin" \
        --format bin >/dev/null 2>&1
      chip_of[$profile]=$(md5sum <"$profile.bin")
    done
    [[ ${chip_of[exact]} == "${chip_of[fast]}" ]] || {
      echo "$chip $image: the fast profile left other chip contents" >&2
      exit 1
    }
    row "program $image" "$chip" "$exact_writes" "$fast_writes"
  done
  # exact.zvchip holds full.bin now.
  exact_writes=$(writes --exact --sim-state exact.zvchip -d "$chip" verify full.bin)
  fast_writes=$(writes --fast --sim-state exact.zvchip -d "$chip" verify full.bin)
  row "verify full.bin" "$chip" "$exact_writes" "$fast_writes"
  exact_writes=$(writes --exact --sim-state exact.zvchip -d "$chip" read out.bin --format bin)
  fast_writes=$(writes --fast --sim-state exact.zvchip -d "$chip" read out.bin --format bin)
  row "read 8 KiB" "$chip" "$exact_writes" "$fast_writes"
done
