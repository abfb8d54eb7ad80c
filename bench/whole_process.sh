#!/usr/bin/env bash
# Times the whole game against `grep -Fx -m1` and `cat` on generated worlds whose starting room is
# the last block: wander scans the file once, describes the room and ends at the end of its
# (empty) input; grep scans for the same marker line; cat reads the file to /dev/null, the floor
# for any program that reads it all. The three run in turn, in a rotating order, RUNS times.
# Prints, for each size and shape, the median time of each, the medians of the paired ratios
# with their spread (10th to 90th percentile), and wander's peak memory.
#
#   bench/whole_process.sh [BUILD_DIR] [SIZE...]     e.g. bench/whole_process.sh build 1M 100M 1G
#
# SHAPES picks the shapes (default: "grid long"):
#   grid  the generator's default: names R0000042, descriptions of two to five lines, up to three
#         objects a room (a marker every 210 bytes or so)
#   long  names of varying length (R42), descriptions of about 350 bytes, up to two objects a
#         room (a room and an object block every 500 bytes or so)
#   words names of two words and a number (MossyGrotto42), the default descriptions and objects
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
shift || true
sizes=("${@:-100M}")
runs=${RUNS:-21}
read -r -a shapes <<< "${SHAPES:-grid long}"
wander=$build/wander
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cd "$folder"

shape_arguments() {
  case $1 in
    grid) ;;
    long) echo --names plain --description 350 --objects 2 ;;
    words) echo --names words ;;
    *) echo "unknown shape $1" >&2; exit 2 ;;
  esac
}

# Microseconds that "$@" takes, standard input empty and output discarded.
time_us() {
  local t0=$EPOCHREALTIME
  "$@" < /dev/null > /dev/null
  local t1=$EPOCHREALTIME
  echo $((${t1/./} - ${t0/./}))
}

# The value at fraction $1 of the sorted numbers on standard input (0.5: the median).
quantile() { sort -g | awk -v q="$1" '{ v[NR] = $1 } END { i = int(q * (NR - 1) + 1.5); print v[i] }'; }

printf '%-5s %-5s %6s  %9s %9s %9s  %-18s %-18s %s\n' size shape MB wander grep cat \
  'wander/cat' 'wander/grep' 'peak RSS'
for size in "${sizes[@]}"; do
  for shape in "${shapes[@]}"; do
    # shellcheck disable=SC2046
    "$build/wander-make-world" "$size" --start last $(shape_arguments "$shape") > World.txt
    start=$(head -n 1 World.txt | cut -d' ' -f2)
    cat World.txt > /dev/null  # into the page cache
    : > wander.txt; : > grep.txt; : > cat.txt; : > to_cat.txt; : > to_grep.txt
    for ((run = 0; run < runs; ++run)); do
      for ((turn = 0; turn < 3; ++turn)); do
        case $(((run + turn) % 3)) in
          0) w=$(time_us "$wander") ;;
          1) g=$(time_us grep -Fx -m1 "<$start>" World.txt) ;;
          2) c=$(time_us cat World.txt) ;;
        esac
      done
      echo "$w" >> wander.txt; echo "$g" >> grep.txt; echo "$c" >> cat.txt
      awk -v w="$w" -v c="$c" 'BEGIN { print w / c }' >> to_cat.txt
      awk -v w="$w" -v g="$g" 'BEGIN { print w / g }' >> to_grep.txt
    done
    ms() { awk -v us="$(quantile 0.5 < "$1")" 'BEGIN { printf "%.1f ms", us / 1000 }'; }
    ratio() {
      printf '%.2f (%.2f-%.2f)' "$(quantile 0.5 < "$1")" "$(quantile 0.1 < "$1")" \
        "$(quantile 0.9 < "$1")"
    }
    rss=$(/usr/bin/time -f %M "$wander" < /dev/null 2>&1 > /dev/null | tail -n 1)
    printf '%-5s %-5s %6.0f  %9s %9s %9s  %-18s %-18s %.1f MiB\n' "$size" "$shape" \
      "$(awk -v b="$(stat -c %s World.txt)" 'BEGIN { print b / 1048576 }')" "$(ms wander.txt)" "$(ms grep.txt)" "$(ms cat.txt)" \
      "$(ratio to_cat.txt)" "$(ratio to_grep.txt)" "$(awk -v k="$rss" 'BEGIN { print k / 1024 }')"
  done
done
