#!/usr/bin/env bash
# Scan speed and memory, side by side with ncdu, gdu, du and the floor walk,
# on the generated tree and on /usr, warm cache. Prints each median, its
# ratio to ours, the single-core times and the memory the scan adds.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${BUILD:-build}
TREE=${TREE:-/tmp/kelvane-bench-tree}
RUNS=${RUNS:-10}
OUT=bench/out
mkdir -p "$OUT"
DROMLET="$PWD/$BUILD/bin/dromlet"
FLOOR="$PWD/$BUILD/bin/floor_walk"
THREADS=$((8 * $(nproc)))
# A fresh data folder: every scan appends to the history file, which would
# otherwise grow with each run of this script and cost time and memory.
XDG_DATA_HOME=$(mktemp -d)
export XDG_CONFIG_HOME="$PWD/$OUT/config" XDG_DATA_HOME

python3 bench/make_tree.py "$TREE"
FOLDERS=$(find "$TREE" -type d | wc -l)

measure() { # label target prefix
    local label=$1 target=$2 prefix=$3
    hyperfine -N --warmup 2 --runs "$RUNS" --export-json "$OUT/$label.json" \
        -n dromlet "$prefix$DROMLET /NOGUI $target" \
        -n ncdu "${prefix}ncdu -0 -x -o /dev/null $target" \
        -n gdu "${prefix}gdu -n -x $target" \
        -n du "${prefix}du -sx $target" \
        -n floor "$prefix$FLOOR $target $THREADS" >/dev/null
    python3 - "$OUT/$label.json" "$label" <<'PY'
import json, sys
results = {r["command"]: r["median"] for r in json.load(open(sys.argv[1]))["results"]}
ours = results["dromlet"]
print(f"{sys.argv[2]}:")
for name, median in results.items():
    print(f"  {name:8s} {median*1000:8.1f} ms   {median/ours:5.2f}x ours")
PY
}

measure tree "$TREE" ""
measure usr /usr ""
measure tree-1core "$TREE" "taskset -c 0 "
python3 - "$OUT/tree.json" "$OUT/tree-1core.json" <<'PY'
import json, sys
two = {r["command"]: r["median"] for r in json.load(open(sys.argv[1]))["results"]}
one = {r["command"]: r["median"] for r in json.load(open(sys.argv[2]))["results"]}
print(f"scaling on the tree: {one['dromlet']/two['dromlet']:.2f}x faster on all cores than on one")
PY

EMPTY=$(mktemp -d)
rss() { /usr/bin/time -f %M "$DROMLET" /NOGUI "$1" 2>&1 >/dev/null | tail -1; }
BASE=$(rss "$EMPTY")
for grouping in "/GroupExtensions false /GroupUsers false" "/GroupExtensions true /GroupUsers false" "/GroupExtensions true /GroupUsers true"; do
    PEAK=$(/usr/bin/time -f %M "$DROMLET" /NOGUI $grouping "$TREE" 2>&1 >/dev/null | tail -1)
    echo "memory ($grouping): peak $((PEAK)) KB, empty $BASE KB, $(( (PEAK - BASE) * 1024 / FOLDERS )) bytes per folder ($FOLDERS folders)"
done
rmdir "$EMPTY"

# Reports: writing adds to the scan, loading should take a fraction of it.
REPORT="$OUT/tree-report.xml"
"$DROMLET" /NOGUI /XML "$REPORT" "$TREE"
hyperfine -N --warmup 1 --runs "$RUNS" --export-json "$OUT/report.json" \
    -n scan "$DROMLET /NOGUI $TREE" \
    -n scan+xml "$DROMLET /NOGUI /XML $OUT/tree-report-2.xml $TREE" \
    -n load "$DROMLET /NOGUI /OPEN $REPORT" >/dev/null
python3 - "$OUT/report.json" "$REPORT" <<'PY'
import json, os, sys
r = {x["command"]: x["median"] for x in json.load(open(sys.argv[1]))["results"]}
mb = os.path.getsize(sys.argv[2]) / 1e6
write = r["scan+xml"] - r["scan"]
print(f"report: {mb:.1f} MB")
print(f"  writing: +{write*1000:.0f} ms ({write/r['scan']*100:.0f} % of the scan, {mb/max(write,1e-9):.0f} MB/s)")
print(f"  loading: {r['load']*1000:.0f} ms ({r['load']/r['scan']*100:.0f} % of the scan, {mb/r['load']:.0f} MB/s)")
PY
