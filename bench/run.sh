#!/usr/bin/env bash
# Times RemoveFolderTree against the host's `rm -rf` on identical trees, in the host build and
# in the Windows build under Wine, and reports peak memory and the size of the program.
# Prints a Markdown table and writes it to bench/results.md.   bash bench/run.sh [rounds]
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-5}
bash scripts/setup.sh >/dev/null
for preset in host windows; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" --target remove_bench ZarnikRepair 2>/dev/null ||
    cmake --build --preset "$preset" --target remove_bench >/dev/null
done
source scripts/wine-env.sh
zr_wine_prefix
wineserver -p 2>/dev/null || true  # one server for all the runs (it may already be up)

# 20,000 empty regular files in 200 folders two levels deep (20 x 10, 100 files each).
make_tree() {
  local root=$1 top sub
  for top in $(seq -w 1 20); do
    for sub in $(seq -w 1 10); do
      mkdir -p "$root/d$top/s$sub"
      (cd "$root/d$top/s$sub" && touch $(seq -f 'file%03g.dat' 1 100))
    done
  done
}
# 100,000 empty regular files in one folder.
make_flat() {
  mkdir -p "$1"
  (cd "$1" && seq -f 'file%06g.dat' 1 100000 | xargs touch)
}

now() { date +%s.%N; }
median() { sort -g | awk '{v[NR]=$1} END {print (NR % 2) ? v[(NR+1)/2] : (v[NR/2] + v[NR/2+1]) / 2}'; }

# One round: RemoveFolderTree, the fewest-calls floor and rm -rf, each on its own copy of the
# tree, in an order that rotates from round to round. Prints "ours floor rm peak_kib".
host_root=$(mktemp -d /tmp/zr-bench-XXXXXX)
wine_root="$WINEPREFIX/drive_c/zr-bench"
run_bench() {  # build folder [--floor]
  local out
  if [ "$1" = host ]; then
    out=$(build/host/remove_bench ${3:-} "$2")
  else
    out=$(wine build/windows/remove_bench.exe ${3:-} "C:\\zr-bench\\$(basename "$2")" 2>/dev/null </dev/null)
  fi
  [[ $out == *removed=1* ]] || { echo "remove_bench failed: $out" >&2; exit 1; }
  echo "$out"
}
seconds() { sed -E 's/.*seconds=([0-9.]+).*/\1/' <<<"$1"; }
round() {  # build round maker
  local base ours floor native out peak start step
  if [ "$1" = host ]; then base=$host_root; else base=$wine_root; fi
  mkdir -p "$base"
  for copy in ours floor native; do "$3" "$base/$copy"; done
  sync
  for step in 0 1 2; do
    case $(( ($2 + step) % 3 )) in
      0) out=$(run_bench "$1" "$base/ours"); ours=$(seconds "$out")
         peak=$(sed -E 's/.*peak_kib=([0-9-]+).*/\1/' <<<"$out") ;;
      1) floor=$(seconds "$(run_bench "$1" "$base/floor" --floor)") ;;
      2) start=$(now); rm -rf "$base/native"; native=$(echo "$(now) - $start" | bc -l) ;;
    esac
  done
  echo "$ours $floor $native $peak"
}

declare -A ours floor native ratio floor_ratio own_ratio peak
for build in host windows; do
  results=$(for r in $(seq "$rounds"); do round "$build" "$r" make_tree; done)
  ours[$build]=$(awk '{print $1}' <<<"$results" | median)
  floor[$build]=$(awk '{print $2}' <<<"$results" | median)
  native[$build]=$(awk '{print $3}' <<<"$results" | median)
  ratio[$build]=$(awk '{printf "%.2f\n", $1 / $3}' <<<"$results" | median)
  floor_ratio[$build]=$(awk '{printf "%.2f\n", $2 / $3}' <<<"$results" | median)
  own_ratio[$build]=$(awk '{printf "%.2f\n", $1 / $2}' <<<"$results" | median)
  peak[$build]=$(round "$build" 0 make_flat | awk '{print $4}')
  echo "$build: ours/rm per round: $(awk '{printf "%.2f ", $1 / $3}' <<<"$results")" >&2
done
rm -rf "$host_root" "$wine_root"
wineserver -k 2>/dev/null || true

size=$(stat -c %s dist/ZarnikRepair.exe)
imports=$(i686-w64-mingw32-objdump -p dist/ZarnikRepair.exe | awk '/DLL Name/ {print $3}' | tr '\n' ' ')
cpu=$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')
fs=$(stat -f -c %T /tmp)
{
  echo "Measured $(date -u +%Y-%m-%d) on $cpu, $(nproc) cores, $((($(awk '/MemTotal/ {print $2}' /proc/meminfo) + 524288) / 1048576)) GiB, /tmp on $fs; $rounds rounds, medians. Times are of the removal alone (RemoveFolderTree timed inside remove_bench; rm -rf as a whole command). \"Floor\" is the same platform calls with no bookkeeping: one listing per folder, one removal per entry."
  echo
  echo "| 20,000 files in 200 folders | ours | floor | rm -rf | ours / rm -rf | floor / rm -rf | ours / floor | target (ours / rm -rf) |"
  echo "|---|---|---|---|---|---|---|---|"
  for build in host windows; do
    if [ "$build" = host ]; then label="host build"; target="at most 1.25"; else label="Windows build under Wine (Wine's cost per call included)"; target="at most 2"; fi
    printf "| %s | %.3f s | %.3f s | %.3f s | %s | %s | %s | %s |\n" "$label" "${ours[$build]}" "${floor[$build]}" "${native[$build]}" "${ratio[$build]}" "${floor_ratio[$build]}" "${own_ratio[$build]}" "$target"
  done
  echo
  echo "| other figure | measured | target |"
  echo "|---|---|---|"
  printf "| peak memory, flat folder of 100,000 files, host build (maximum resident set) | %.1f MiB | at most 64 MiB |\n" "$(echo "${peak[host]} / 1024" | bc -l)"
  printf "| peak memory, same, Windows build under Wine (peak working set) | %.1f MiB | at most 64 MiB |\n" "$(echo "${peak[windows]} / 1024" | bc -l)"
  printf "| dist/ZarnikRepair.exe | %d KiB, one file; imports %s| at most 512 KiB |\n" $((size / 1024)) "$imports"
} | tee bench/results.md
