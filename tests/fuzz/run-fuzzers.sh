#!/usr/bin/env bash
# Runs each libFuzzer target of BUILD_DIR for SECONDS seconds on a copy of its seed corpus and
# fails when one of them finds a crash. The FS targets share corpus/ and fs.dict, the MS targets
# have corpus-ms-text/ and corpus-ms-xml/ (and xml.dict). Crashing inputs are kept in BUILD_DIR/fuzz-crashes/.
#   tests/fuzz/run-fuzzers.sh BUILD_DIR SECONDS
set -euo pipefail

if [ $# -ne 2 ]; then
  echo "usage: $0 BUILD_DIR SECONDS" >&2
  exit 2
fi
build=$(cd "$1" && pwd)
seconds=$2
here=$(cd "$(dirname "$0")" && pwd)
targets=(fuzz_fsfile fuzz_fsrecord fuzz_hcmfs fuzz_mstext fuzz_msxml)

# the seed corpus and the dictionary (none: empty) of a target
corpus_of() {
  case "$1" in
  fuzz_mstext) echo corpus-ms-text ;;
  fuzz_msxml) echo corpus-ms-xml ;;
  *) echo corpus ;;
  esac
}
dict_of() {
  case "$1" in
  fuzz_mstext) ;;
  fuzz_msxml) echo xml.dict ;;
  *) echo fs.dict ;;
  esac
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failed=0
for target in "${targets[@]}"; do
  bin="$build/bin/$target"
  if [ ! -x "$bin" ]; then
    echo "$target: not built ($bin missing)" >&2
    failed=1
    continue
  fi
  corpus="$work/$target/corpus"
  artifacts="$work/$target/artifacts"
  mkdir -p "$corpus" "$artifacts"
  cp "$here/$(corpus_of "$target")"/* "$corpus"/
  options=()
  dict=$(dict_of "$target")
  if [ -n "$dict" ]; then
    options+=(-dict="$here/$dict")
  fi
  log="$work/$target/log"
  status=0
  "$bin" -max_total_time="$seconds" -timeout=30 -rss_limit_mb=2048 -print_final_stats=1 \
    "${options[@]}" -artifact_prefix="$artifacts/" "$corpus" >"$log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  if [ "$status" -ne 0 ] || [ -n "$(ls -A "$artifacts")" ]; then
    failed=1
    keep="$build/fuzz-crashes/$target"
    mkdir -p "$keep"
    cp "$artifacts"/* "$keep"/ 2>/dev/null || true
    echo "$target: FAILED (exit $status) after ${runs:-?} runs; inputs kept in $keep" >&2
    grep -v '^#' "$log" | tail -n 40 >&2
  else
    echo "$target: ok, ${runs:-?} runs in $seconds s, no crash"
  fi
done
exit "$failed"
