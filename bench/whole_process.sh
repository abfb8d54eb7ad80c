#!/usr/bin/env bash
# Times the whole game against `grep -Fx -m1` on generated worlds whose starting room is the last
# block: wander scans the file once, describes the room and ends at the end of its (empty)
# input; grep scans for the same marker line. Prints the median of paired runs, the ratio, and
# wander's peak memory.
#
#   bench/whole_process.sh [BUILD_DIR] [SIZE...]     e.g. bench/whole_process.sh build 1M 100M 1G
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
shift || true
sizes=("${@:-100M}")
runs=${RUNS:-11}
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cd "$folder"

now() { date +%s%N; }
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

for size in "${sizes[@]}"; do
  "$build/wander-make-world" "$size" --start last > World.txt
  start=$(head -n 1 World.txt | cut -d' ' -f2)
  cat World.txt > /dev/null  # into the page cache
  wander_times=() grep_times=() ratios=()
  for _ in $(seq "$runs"); do
    t0=$(now); "$build/wander" < /dev/null > /dev/null; t1=$(now)
    grep -Fx -m1 "<$start>" World.txt > /dev/null; t2=$(now)
    wander_times+=($(((t1 - t0) / 1000))) grep_times+=($(((t2 - t1) / 1000)))
    ratios+=("$(awk -v a=$((t1 - t0)) -v b=$((t2 - t1)) 'BEGIN { printf "%.3f", a / b }')")
  done
  rss=$(/usr/bin/time -f %M "$build/wander" < /dev/null 2>&1 > /dev/null | tail -n 1)
  printf '%-5s %6d MB  wander %7d us  grep %7d us  ratio %s  wander peak RSS %d KiB\n' \
    "$size" $(($(stat -c %s World.txt) >> 20)) \
    "$(printf '%s\n' "${wander_times[@]}" | median)" "$(printf '%s\n' "${grep_times[@]}" | median)" \
    "$(printf '%s\n' "${ratios[@]}" | median)" "$rss"
done
