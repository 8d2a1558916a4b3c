#!/usr/bin/env bash
# End-to-end update benchmark through the reference server on loopback:
# 2,000 instruments x 10 years; a MetaStock and an "Ascii: Comma Delimited"
# directory with the 2,000 symbols each and an intraday directory with the
# instruments that have intraday prices. Measures (a) the first full download
# and (b) an incremental "Normal Update" a few days later (the server
# withholds the last days during (a)), each as wall time and peak RSS, and in
# the same run the copy of the resulting directories (cp -r) as the physical
# baseline, plain and made durable with sync.
# The incremental update runs twice on the same folders: first on a copy,
# right after the server restarted without the withheld days ("cold": it
# includes the server's first read of its CSV files), then on the folders
# themselves with the server warm ("incremental"). Both include the job's
# fixed 1-second "initializing ..." pause; the "work" ratios leave it out.
#   bench/e2e_update.sh [RUNS]     (default 3 runs of each; medians reported)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
runs=${1:-3}

build_dir=${MVR_BUILD_DIR:-build}
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build_dir" --target mvr-priceserver mvrkrsexp-batch >/dev/null
if [ ! -x /usr/bin/time ]; then
  echo "bench/e2e_update.sh needs GNU time for the peak memory: apt-get install time" >&2
  exit 2
fi

server="$root/$build_dir/src/server/mvr-priceserver"
batch="$root/$build_dir/src/batch/mvrkrsexp-batch"
work="$root/$build_dir/bench-e2e"
rm -rf "$work"
mkdir -p "$work"
data="$work/server-data"
export MVRKRSEXP_CONFIG_DIR="$work/config"
mkdir -p "$MVRKRSEXP_CONFIG_DIR"
# shellcheck source=../scripts/lib/priceserver.sh
source "$root/scripts/lib/priceserver.sh"

"$server" --make-demo "$data" --instruments 2000 --years 10 >/dev/null
start="01.01.$(( $(date +%Y) - 11 ))"
until_day=$(date -d '7 days ago' +%F)

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# timed LABEL COMMAND...: appends "seconds kilobytes" to $work/LABEL.txt
timed() {
  local label=$1
  shift
  /usr/bin/time -f '%e %M' -o "$work/time.txt" "$@" >"$work/$label.out" 2>"$work/$label.err"
  cat "$work/time.txt" >>"$work/$label.txt"
}

for run in $(seq 1 "$runs"); do
  rm -rf "$work/dirs" "$work/copy" "$MVRKRSEXP_CONFIG_DIR"/MVRExp*.cfg "$MVRKRSEXP_CONFIG_DIR"/MVRLst*.cfg
  start_price_server "$data" --data-until "$until_day" >/dev/null
  "$batch" --set-account DEMO DEMO
  "$batch" --add-directory "$work/dirs/metastock" 4 8 "$start" 2>/dev/null
  "$batch" --add-directory "$work/dirs/ascii" 5 8 "$start" 2>/dev/null
  "$batch" --add-directory "$work/dirs/intraday" 21 6 2>/dev/null
  timed full "$batch" -updateall
  stop_price_server
  start_price_server "$data" >/dev/null
  # The cold run updates a copy, so that the timed run finds the same folders.
  mv "$work/dirs" "$work/dirs-kept"
  cp -r "$work/dirs-kept" "$work/dirs"
  sync
  timed cold "$batch" -updateall
  rm -rf "$work/dirs"
  mv "$work/dirs-kept" "$work/dirs"
  sync
  timed incremental "$batch" -updateall
  stop_price_server
  sync
  /usr/bin/time -f '%e %M' -o "$work/time.txt" cp -r "$work/dirs" "$work/copy"
  cat "$work/time.txt" >>"$work/copy.txt"
  rm -rf "$work/copy"
  sync
  # The copy made durable, as every file the update writes is.
  /usr/bin/time -f '%e %M' -o "$work/time.txt" sh -c 'cp -r "$1" "$2" && sync' sh "$work/dirs" "$work/copy"
  cat "$work/time.txt" >>"$work/copysync.txt"
  rm -rf "$work/copy"
done

bars=$(sed -n 's/^  Bars added: *//p' "$work/full.out")
periode_bytes=36
for label in full cold incremental copy copysync; do
  printf '%-12s median %6.2f s   peak RSS %8d KiB\n' "$label" \
    "$(cut -d' ' -f1 "$work/$label.txt" | median)" "$(cut -d' ' -f2 "$work/$label.txt" | median)"
done
full_rss=$(cut -d' ' -f2 "$work/full.txt" | median)
incremental=$(cut -d' ' -f1 "$work/incremental.txt" | median)
copy=$(cut -d' ' -f1 "$work/copy.txt" | median)
copysync=$(cut -d' ' -f1 "$work/copysync.txt" | median)
echo "bars of the full download: $bars ($(( bars * periode_bytes / 1024 )) KiB as PERIODE arrays)"
du -sh "$work/dirs"/* | sed 's/^/  /'
full=$(cut -d' ' -f1 "$work/full.txt" | median)
cold=$(cut -d' ' -f1 "$work/cold.txt" | median)
pause=1.0
ratio() { # label, numerator, denominator, target text
  awk -v n="$2" -v d="$3" -v l="$1" -v t="$4" 'BEGIN { printf "%-46s %.2f %s\n", l ":", (d > 0 ? n / d : 0), t }'
}
ratio "incremental / full" "$incremental" "$full" "(target <= 0.3)"
ratio "incremental (cold server) / full" "$cold" "$full" ""
ratio "incremental / (copy + sync)" "$incremental" "$copysync" "(target <= 1.5)"
ratio "incremental / copy" "$incremental" "$copy" ""
ratio "work: (incremental - pause) / (full - pause)" "$(awk -v i="$incremental" -v p=$pause 'BEGIN { print i - p }')" \
  "$(awk -v f="$full" -v p=$pause 'BEGIN { print f - p }')" "(target <= 0.3)"
ratio "work: (incremental - pause) / (copy + sync)" "$(awk -v i="$incremental" -v p=$pause 'BEGIN { print i - p }')" \
  "$copysync" "(target <= 1.5)"
awk -v r="$full_rss" -v b="$bars" -v p="$periode_bytes" \
  'BEGIN { printf "full peak RSS / bars as PERIODE: %.2f (target <= 1.2)\n", r * 1024 / (b * p) }'
echo "last summaries:"
sed 's/^/  /' "$work/full.out" "$work/cold.out" "$work/incremental.out"
