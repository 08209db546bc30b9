#!/usr/bin/env bash
# Runs every benchmark of the project; see README "Performance".
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${BUILD:-build}
echo "== listing primitive (ns per entry, ours next to readdir + fstatat)"
"./$BUILD/bin/listing_bench" --benchmark_counters_tabular=true
echo "== scan"
BUILD=$BUILD bash bench/scan_bench.sh
echo "== tree view"
"./$BUILD/bin/tree_view_bench"
