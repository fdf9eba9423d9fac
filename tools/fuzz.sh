#!/usr/bin/env bash
# Runs every libFuzzer target of the suite, sharing the seconds given (first
# argument, default 60) equally between them. Builds the `fuzz` preset
# itself; exits 0 only when no target found a crash.
#
#   tools/fuzz.sh [--keep] [SECONDS]
#
# Each target starts from its corpus folder in the tree and works on a copy.
# With --keep, the inputs a run found that reach new code are merged back
# into the folder (libFuzzer's -merge=1 keeps it small); commit them.
set -euo pipefail
cd "$(dirname "$0")/.."

keep=0
if [[ "${1:-}" == "--keep" ]]; then
  keep=1
  shift
fi
total="${1:-60}"

# target name, corpus folder
targets=(
  "parser_fuzzer platform/parser/fuzz/corpus"
  "tandril_fuzzer hid_items/fuzz/corpus"
  "device_file_fuzzer platform/sim/fuzz/corpus/device_file"
  "reader_frames_fuzzer platform/sim/fuzz/corpus/reader_frames"
)
share=$((total / ${#targets[@]}))
((share >= 1)) || share=1

names=()
for entry in "${targets[@]}"; do names+=("${entry%% *}"); done
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target "${names[@]}"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failed=()
for entry in "${targets[@]}"; do
  read -r name corpus <<<"$entry"
  mkdir -p "$work/$name/corpus" "$work/$name/artifacts"
  if [[ -d "$corpus" ]]; then cp "$corpus"/* "$work/$name/corpus/" 2>/dev/null || true; fi
  echo "fuzz: $name for ${share}s"
  if build/fuzz/bin/"$name" "$work/$name/corpus" \
       -max_total_time="$share" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
       -artifact_prefix="$work/$name/artifacts/" -print_final_stats=1; then
    echo "fuzz: $name: no crash in ${share}s"
    if ((keep)); then
      mkdir -p "$corpus"
      # Edge coverage only: keeps the folder to a few dozen small inputs.
      build/fuzz/bin/"$name" -merge=1 -use_counters=0 -max_len=4096 "$corpus" "$work/$name/corpus"
    fi
  else
    failed+=("$name")
    mkdir -p "build/fuzz/crashes/$name"
    cp "$work/$name"/artifacts/* "build/fuzz/crashes/$name/" 2>/dev/null || true
  fi
done

if ((${#failed[@]})); then
  echo "fuzz: crash found by ${failed[*]}; inputs kept in build/fuzz/crashes" >&2
  exit 1
fi
echo "fuzz: no crash in ${total}s over ${#targets[@]} targets"
