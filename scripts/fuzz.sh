#!/usr/bin/env bash
# Fuzzes the parsers of outside input with libFuzzer, ASan and UBSan: the OCR
# helper's output, the settings file, capture times in file names and qxocr's
# image header check. Builds them in build-fuzz/ with clang (installing clang
# and libFuzzer when missing), runs each from its seeds in fuzz/corpus for a
# bounded time and prints what ran and what was found. Not part of `make test`.
#
#   scripts/fuzz.sh [SECONDS_PER_TARGET]     (default 60)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
targets=(ndjson_fuzzer config_fuzzer taken_at_fuzzer image_header_fuzzer)
declare -A max_len=([ndjson_fuzzer]=8192 [config_fuzzer]=4096 [taken_at_fuzzer]=256
                    [image_header_fuzzer]=65536)

./scripts/install-deps.sh
install_missing() {
  local missing=()
  for p in "$@"; do
    [ "$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)" = installed ] || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return
  echo "Installing: ${missing[*]}" >&2
  local sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
install_missing clang
llvm_major=$(clang --version | sed -n 's/.*clang version \([0-9]*\).*/\1/p' | head -n 1)
install_missing "libfuzzer-${llvm_major}-dev"

CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DGLIMBER_FUZZ=ON -DBUILD_TESTING=OFF >/dev/null
cmake --build build-fuzz -j2 --target "${targets[@]}"

mkdir -p build-fuzz/findings build-fuzz/logs
printf '%-22s %8s %12s %10s %8s %s\n' target seconds executions exec/s corpus findings
for target in "${targets[@]}"; do
  # The committed seeds stay as they are; what the fuzzer adds lands here.
  corpus=build-fuzz/corpus/$target
  mkdir -p "$corpus"
  log=build-fuzz/logs/$target.log
  # Qt's caches live as long as the process, so leak reports would be noise.
  ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    "build-fuzz/fuzz/$target" -max_total_time="$seconds" -max_len="${max_len[$target]}" \
    -rss_limit_mb=2048 -timeout=20 -print_final_stats=1 \
    -artifact_prefix="build-fuzz/findings/$target-" "$corpus" "fuzz/corpus/$target" \
    >"$log" 2>&1 || true
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)
  found=$(find build-fuzz/findings -name "$target-*" | wc -l)
  printf '%-22s %8s %12s %10s %8s %s\n' "$target" "$seconds" "${runs:-?}" "${rate:-?}" \
    "$(find "$corpus" -type f | wc -l)" "$found"
done
echo "logs in build-fuzz/logs, crashing inputs (if any) in build-fuzz/findings"
