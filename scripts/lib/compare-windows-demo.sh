#!/usr/bin/env bash
# A demo update run entirely with the Windows programs under wine (demo data
# made and served by mvr-priceserver.exe, the account, directory and update
# by mvrkrsexp-batch.exe), and the same with the Linux programs on the same
# data; the Linux mvr-dircat must list both MetaStock folders, and every
# symbol in them, identically. Called by scripts/test-windows, which sets up
# wine; expects the Windows build folder as its argument.
#   scripts/lib/compare-windows-demo.sh BUILD_WINDOWS_DIR
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$(pwd)
win_build=$root/${1:?the Windows build folder}
linux_build=$root/${MVR_BUILD_DIR:-build}
# shellcheck source=build.sh
source scripts/lib/build.sh

cmake -S . -B "$linux_build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$linux_build" -j "$jobs" --target mvr-priceserver mvrkrsexp-batch mvr-dircat >/dev/null
dircat="$linux_build/src/tools/mvr-dircat"

top="$win_build/demo-compare"
rm -rf "$top"
mkdir -p "$top"
end_date=$(date +%F)
start_date="01.01.$(( $(date +%Y) - 3 ))"
demo_options=(--instruments 120 --years 3 --end-date "$end_date")

# run_update SIDE SERVER BATCH PATH_FORM: makes and serves the demo data with
# SERVER, configures and runs BATCH against it, all paths in PATH_FORM.
run_update() {
  local side=$1 server_program=$2 batch_program=$3 path_form=$4
  work="$top/$side"
  mkdir -p "$work/config"
  local data
  data=$("$path_form" "$work/server-data")
  export MVRKRSEXP_CONFIG_DIR
  MVRKRSEXP_CONFIG_DIR=$("$path_form" "$work/config")
  server="$server_program"
  # shellcheck source=priceserver.sh
  source "$root/scripts/lib/priceserver.sh"
  "$server" --make-demo "$data" "${demo_options[@]}" >/dev/null
  # The port file is written where the Linux side sees the configuration.
  MVRKRSEXP_CONFIG_DIR="$work/config" start_price_server "$data" >/dev/null
  "$batch_program" --set-account DEMO DEMO
  "$batch_program" --add-directory "$("$path_form" "$work/metastock")" 4 1 "$start_date"
  "$batch_program" -updateall >"$work/update.txt"
  stop_price_server
}

unix_path() { printf '%s' "$1"; }
windows_path() { winepath -w "$1"; }

wine_program() { # writes a one-line launcher, since the script calls programs by one word
  local launcher="$top/$1"
  printf '#!/bin/sh\nexec wine "%s" "$@"\n' "$2" >"$launcher"
  chmod +x "$launcher"
  printf '%s' "$launcher"
}

run_update linux "$linux_build/src/server/mvr-priceserver" \
  "$linux_build/src/batch/mvrkrsexp-batch" unix_path
run_update windows "$(wine_program server.sh "$win_build/src/server/mvr-priceserver.exe")" \
  "$(wine_program batch.sh "$win_build/src/batch/mvrkrsexp-batch.exe")" windows_path

if ! diff -r "$top/linux/server-data" "$top/windows/server-data" >/dev/null; then
  echo "the Windows server made other demo data than the Linux one" >&2
  exit 1
fi
"$dircat" "$top/linux/metastock" >"$top/linux/listing.txt"
"$dircat" "$top/windows/metastock" >"$top/windows/listing.txt"
diff "$top/linux/listing.txt" "$top/windows/listing.txt"
symbols=0
while IFS=, read -r symbol _; do
  "$dircat" "$top/linux/metastock" "$symbol" >"$top/linux/symbol.csv"
  "$dircat" "$top/windows/metastock" "$symbol" >"$top/windows/symbol.csv"
  diff "$top/linux/symbol.csv" "$top/windows/symbol.csv"
  symbols=$((symbols + 1))
done < <(tail -n +2 "$top/linux/listing.txt")
if [ "$symbols" -eq 0 ]; then
  echo "the update wrote no symbols" >&2
  exit 1
fi
bytes="byte-identical"
diff -r "$top/linux/metastock" "$top/windows/metastock" >/dev/null || bytes="not byte-identical"
echo "mvr-dircat reads the Windows and the Linux MetaStock folder identically" \
  "($symbols symbols, files $bytes)"
