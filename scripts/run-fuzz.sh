#!/usr/bin/env bash
# Runs one fuzz target for a given time: first every input of the committed
# corpus (a finding kept there fails at once), then new inputs, which go to a
# scratch folder and never into the sources. A crash or a broken property
# leaves its input in the scratch folder and ends with a non-zero status.
# usage: run-fuzz.sh BINARY CORPUS WORKDIR SECONDS [libFuzzer options...]
# FUZZ_SECONDS, when set, replaces SECONDS (make fuzz sets it for the long runs).
set -euo pipefail
bin=$1 corpus=$2 work=$3 seconds=${FUZZ_SECONDS:-$4}
shift 4
mkdir -p "$work/new" "$corpus"
exec "$bin" "$@" -max_total_time="$seconds" -artifact_prefix="$work/" "$work/new" "$corpus"
