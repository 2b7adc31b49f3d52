#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Whole-process time of putting a folder of 255 retouched previews back into a
# 16 MiB movie with 255 previews: `orvane-cli replace MOVIE --all DIR`, the
# movie in the page cache. Each run starts from the original movie without a
# journal (the copy is not timed). Also times the same run when every file
# already holds its preview's picture (nothing to write), and a run whose
# journal already holds five such steps and their undos.
# Usage: bench/batch_replace.sh [BUILD_DIR] [RUNS]
set -euo pipefail
# shellcheck source=bench/timing.sh
source "$(dirname "$0")/timing.sh"
bench_setup "$@"

"$BUILD/bin/orvane-batch-data" "$WORK" > /dev/null
cp "$WORK/batch.3mm" "$WORK/original.3mm"
reset() { cp "$WORK/original.3mm" "$WORK/batch.3mm"; rm -f "$WORK/batch.3mm.orvane-journal"; }
put_back() { "$CLI" replace -q "$WORK/batch.3mm" --all "$WORK/retouched" > /dev/null; }
report() { local name="$1"; shift; echo "$name: $*  median $(printf '%s\n' "$@" | median) s"; }

reset; put_back  # warm-up: page cache
fresh=(); same=()
for ((i = 0; i < RUNS; ++i)); do
  reset
  fresh+=("$(seconds put_back)")
  same+=("$(seconds put_back)")  # the folder now matches the movie
done
report "255 scenes replaced" "${fresh[@]}"
report "255 files unchanged" "${same[@]}"

# Five earlier steps and their undos in the journal: each run reads it whole.
reset
for ((i = 0; i < 5; ++i)); do put_back; "$CLI" undo -q "$WORK/batch.3mm" > /dev/null; done
cp "$WORK/batch.3mm.orvane-journal" "$WORK/journal"
long=()
for ((i = 0; i < RUNS; ++i)); do
  cp "$WORK/original.3mm" "$WORK/batch.3mm"
  cp "$WORK/journal" "$WORK/batch.3mm.orvane-journal"
  long+=("$(seconds put_back)")
done
report "255 scenes replaced, journal of $(du -m "$WORK/journal" | cut -f1) MB" "${long[@]}"
