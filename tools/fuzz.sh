#!/usr/bin/env bash
# Fuzzes the report-descriptor parser for $1 seconds (default 60). Builds the
# `fuzz` preset itself; exits 0 only when no crash was found.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-60}"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target parser_fuzzer

# Work on a copy of the seed corpus so that the run never changes the tree.
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/corpus" "$work/artifacts"
cp platform/parser/fuzz/corpus/* "$work/corpus/"

if build/fuzz/bin/parser_fuzzer "$work/corpus" \
     -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
     -artifact_prefix="$work/artifacts/" -print_final_stats=1; then
  echo "fuzz: no crash in ${seconds}s"
  exit 0
fi
mkdir -p build/fuzz/crashes
cp "$work"/artifacts/* build/fuzz/crashes/ 2>/dev/null || true
echo "fuzz: crash found; inputs kept in build/fuzz/crashes" >&2
exit 1
