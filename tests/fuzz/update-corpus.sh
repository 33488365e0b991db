#!/usr/bin/env bash
# Refreshes the seed corpus from the FS test files; the hand-made seeds (seed-*) stay.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
find "$here/corpus" -maxdepth 1 -type f -name '*.txt' ! -name 'seed-*' -delete
cp "$here"/../data/fs/*.txt "$here/corpus/"
