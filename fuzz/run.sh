#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz/ and runs each for a set time.
#   bash fuzz/run.sh [SECONDS] [TARGET...]      (default: 600 seconds, every target)
# Targets run two at a time (MIRELO_FUZZ_JOBS=N for N at a time). New inputs go to build-fuzz/corpus/<target>/ (the seeds in
# fuzz/corpus/ stay as they are); crashes go to build-fuzz/findings/<target>/ and make the
# script exit non-zero. Each target's log, with libFuzzer's final statistics, is
# build-fuzz/logs/<target>.log.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${MIRELO_FUZZ_BUILD:-$root/build-fuzz}
seconds=${1:-600}
shift || true
targets=("$@")
((${#targets[@]})) || targets=(fuzz_translate fuzz_listing_run fuzz_number_text fuzz_numedit_paste
                          fuzz_program_file fuzz_exercise)

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_CXX_COMPILER=clang++ -DMIRELO_FUZZ=ON >/dev/null
cmake --build "$build" -j2 --target "${targets[@]}"

run_one() {
  local t=$1 name=${1#fuzz_}
  mkdir -p "$build/corpus/$t" "$build/findings/$t" "$build/logs"
  # The numeric field's target lives in a QApplication, whose caches outlive single inputs.
  local leaks=1
  [ "$t" = fuzz_numedit_paste ] && leaks=0
  QT_QPA_PLATFORM=offscreen LSAN_OPTIONS="suppressions=$root/fuzz/lsan.supp" \
    "$build/fuzz/$t" -max_total_time="$seconds" -max_len=4096 -timeout=10 \
    -rss_limit_mb=2048 -detect_leaks=$leaks -print_final_stats=1 \
    -artifact_prefix="$build/findings/$t/" "$build/corpus/$t" "$root/fuzz/corpus/$name" \
    > "$build/logs/$t.log" 2>&1
}

jobs=${MIRELO_FUZZ_JOBS:-2}
status=0
pids=()
for t in "${targets[@]}"; do
  run_one "$t" & pids+=($!)
  if ((${#pids[@]} == jobs)); then
    for p in "${pids[@]}"; do wait "$p" || status=1; done
    pids=()
  fi
done
for p in "${pids[@]}"; do wait "$p" || status=1; done

for t in "${targets[@]}"; do
  echo "== $t"
  grep -E '^stat::(number_of_executed_units|average_exec_per_sec|new_units_added|peak_rss_mb)' \
       "$build/logs/$t.log" || true
  ls "$build/findings/$t" 2>/dev/null | sed 's/^/finding: /'
done
exit $status
