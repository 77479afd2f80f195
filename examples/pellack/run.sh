#!/usr/bin/env bash
# Converts the bundled EM1DFM observed and predicted data (29 soundings from
# x = 0 to 700 along y = 350, ten frequencies from 110 Hz to 56320 Hz) into an
# xyz data file of observed values, predicted values and normalised residuals.
# Usage: bash examples/pellack/run.sh <path-to-pellack> <output-folder>
set -euo pipefail
if [ $# -ne 2 ]; then
    echo "usage: bash $0 <path-to-pellack> <output-folder>" >&2
    exit 2
fi
binary="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
here="$(cd "$(dirname "$0")" && pwd)"
mkdir -p "$2"
cd "$2"
"$binary" "$here/ubc4y350.obs" "$here/ubc4y350.prd" ubc4y350_err.xyz
rows=$(($(wc -l < ubc4y350_err.xyz) - 1))
if [ "$rows" -ne 29 ]; then
    echo "pellack example: expected 29 rows, found $rows" >&2
    exit 1
fi
echo "pellack example: $rows rows in $(pwd)/ubc4y350_err.xyz"
