#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a bounded time (or a number of
# executions), each from the committed seeds plus what earlier runs found.
#   fuzz/run.sh BUILD_DIR SECONDS [RUNS] [TARGET...]
# With RUNS > 0 each target stops after that many executions instead.
# New inputs go to BUILD_DIR/corpus/<target>, crashes to BUILD_DIR/findings/,
# the whole output to BUILD_DIR/logs/<target>.log. Exits 1 on any finding.
set -uo pipefail
cd "$(dirname "$0")/.."
build=$1
seconds=$2
runs=${3:-0}
shift $(($# < 3 ? $# : 3))
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for source in fuzz/*_fuzz.cpp; do targets+=("$(basename "$source" .cpp)"); done
fi

failed=0
for target in "${targets[@]}"; do
  mkdir -p "$build/corpus/$target" "$build/findings/$target" "$build/logs"
  options=(-timeout=10 -print_final_stats=1 -artifact_prefix="$build/findings/$target/")
  if [ "$runs" -gt 0 ]; then
    options+=(-runs="$runs")
  else
    options+=(-max_total_time="$seconds")
  fi
  # Whole batches of datagrams: longer inputs only repeat the same paths slower.
  [ "$target" = dispatch_fuzz ] && options+=(-max_len=4096)
  log="$build/logs/$target.log"
  seeds=()
  [ -d "fuzz/corpus/$target" ] && seeds=("fuzz/corpus/$target")
  "$build/$target" "${options[@]}" "$build/corpus/$target" "${seeds[@]}" >"$log" 2>&1
  status=$?
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
  if [ $status -eq 0 ]; then
    printf '%-20s %10s executions  %6s/s  no finding\n' "$target" "${executions:-?}" "${rate:-?}"
  else
    failed=1
    printf '%-20s FINDING (exit %d), see %s\n' "$target" "$status" "$log"
    grep -E 'ERROR|runtime error|SUMMARY|Test unit written' "$log" | head -n 10
  fi
done
exit $failed
