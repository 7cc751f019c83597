#!/usr/bin/env bash
# fuzz/run.sh BUILD [SECONDS] [JOBS]: runs every fuzz target of a sanitized
# build for SECONDS (default 60), JOBS at a time, from its seeds and its
# regressions. A crash, a hang of 10 s or more, or more than 2 GB of memory
# fails the run; the input that did it is kept under BUILD/fuzz/findings.
# What a target learns stays in BUILD/fuzz/corpus for the next run.
set -uo pipefail

build="${1:?usage: fuzz/run.sh BUILD [SECONDS] [JOBS]}"
seconds="${2:-60}"
jobs="${3:-4}"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
dir="$build/fuzz"

if ! grep -q '^QUORVEL_SANITIZE:BOOL=ON' "$build/CMakeCache.txt" 2>/dev/null; then
  echo "fuzz: $build is not a sanitized build (make sanitized)" >&2
  exit 2
fi

targets=()
for exe in "$dir"/fuzz_*; do
  [ -f "$exe" ] && [ -x "$exe" ] && targets+=("$(basename "$exe")")
done
if [ "${#targets[@]}" -eq 0 ]; then
  echo "fuzz: no fuzz targets in $dir" >&2
  exit 2
fi

run_one() {
  local target="$1" name="${1#fuzz_}"
  local corpus="$dir/corpus/$name" findings="$dir/findings/$name"
  mkdir -p "$corpus" "$findings" "$dir/logs"
  local inputs=("$corpus" "$dir/seeds/$name")
  [ -d "$here/regressions/$name" ] && inputs+=("$here/regressions/$name")
  "$dir/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$findings/" "${inputs[@]}" >"$dir/logs/$name.log" 2>&1
  echo $? >"$dir/logs/$name.status"
}
export -f run_one
export dir seconds here

rm -f "$dir"/logs/*.status
printf '%s\n' "${targets[@]}" | xargs -P "$jobs" -I{} bash -c 'run_one {}'

failed=0
printf '%-16s %10s %12s  %s\n' target "execs/s" executions result
for target in "${targets[@]}"; do
  name="${target#fuzz_}"
  log="$dir/logs/$name.log"
  status="$(cat "$dir/logs/$name.status" 2>/dev/null || echo 1)"
  rate="$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)"
  runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)"
  if [ "$status" = 0 ]; then
    result=ok
  else
    result="FAILED (see $log)"
    failed=1
  fi
  printf '%-16s %10s %12s  %s\n' "$name" "${rate:-?}" "${runs:-?}" "$result"
done

if [ "$failed" -ne 0 ]; then
  for target in "${targets[@]}"; do
    name="${target#fuzz_}"
    [ "$(cat "$dir/logs/$name.status" 2>/dev/null)" = 0 ] && continue
    echo
    echo "== $name: the end of its log"
    tail -n 60 "$dir/logs/$name.log"
    echo "== its input: $(ls "$dir/findings/$name" 2>/dev/null | tr '\n' ' ')"
    echo "   (mend the reader, then keep the input in fuzz/regressions/$name/)"
  done
  exit 1
fi
