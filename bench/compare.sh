#!/usr/bin/env bash
# Side by side: `kostimer-cli apply 2` (body mass index) against R's data.table
# (fread, compute, fwrite on one thread) and pandas doing the same job over a
# generated table of 1,000,000 rows and 10 columns with decimal commas.
# Installs R, data.table, pandas, hyperfine and GNU time from Debian if missing.
set -euo pipefail
cd "$(dirname "$0")/.."
rows=${ROWS:-1000000}
data=bench/data/people-${rows}.csv

need=()
for p in r-cran-data.table python3-pandas hyperfine time; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || need+=("$p")
done
if [ ${#need[@]} -gt 0 ]; then
  apt-get update
  DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${need[@]}"
fi

scripts/install-deps
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DKOSTIMER_TESTS=OFF >/dev/null
cmake --build build/release -j"$(nproc)" --target kostimer-cli

mkdir -p bench/data
[ -f "$data" ] || /usr/bin/python3 bench/generate_csv.py "$data" "$rows"
echo "Data: $data, $(stat -c %s "$data") bytes"

export LC_ALL=cs_CZ.UTF-8
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

hyperfine --warmup 1 --runs "${RUNS:-5}" \
  -n kostimer-cli "build/release/cli/kostimer-cli apply 2 $data --output $out/k.csv" \
  -n data.table "Rscript bench/bmi.R $data $out/r.csv" \
  -n pandas "/usr/bin/python3 bench/bmi.py $data $out/p.csv"

echo
echo "The same job under a Czech and a non-Czech locale (numbers read alike, at the same speed):"
hyperfine --warmup 1 --runs "${RUNS:-5}" \
  -n cs_CZ.UTF-8 "LC_ALL=cs_CZ.UTF-8 build/release/cli/kostimer-cli apply 2 $data --output $out/cs.csv" \
  -n C.UTF-8 "LC_ALL=C.UTF-8 build/release/cli/kostimer-cli apply 2 $data --output $out/c.csv"
cmp "$out/cs.csv" "$out/c.csv"

echo
echo "Peak memory (maximum resident set size), minor page faults and system time of one run:"
/usr/bin/time -f "  kostimer-cli %M KB, %R faults, %S s" build/release/cli/kostimer-cli apply 2 "$data" --output "$out/k.csv"
/usr/bin/time -f "  data.table   %M KB, %R faults, %S s" Rscript bench/bmi.R "$data" "$out/r.csv"
/usr/bin/time -f "  pandas       %M KB, %R faults, %S s" /usr/bin/python3 bench/bmi.py "$data" "$out/p.csv"
