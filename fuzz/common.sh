# shellcheck shell=bash disable=SC2034
# Shared by run-short and run-long (sourced): the targets, their optimised
# build with the preset "fuzz", and the figures of a finished run.
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${ZIVIVAR_FUZZ_BUILD_DIR:-$root/build/fuzz}"
targets=(classify load round_trip intel_reader srecord_reader mos_reader tektronix_reader)

build_targets() {
  cmake -S "$root" --preset fuzz -B "$build" >/dev/null
  cmake --build "$build" --target fuzz_targets -j2
}

# Prints the executions the libFuzzer logs given report, summed.
executed_units() {
  sed -n 's/^stat::number_of_executed_units: *//p' "$@" | awk '{ n += $1 } END { print n + 0 }'
}

# Seconds since a time given by now.
now() { date +%s.%N; }
since() { awk -v a="$1" -v b="$(now)" 'BEGIN { print b - a }'; }
