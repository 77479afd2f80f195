#!/usr/bin/env bash
# Converts the bundled EM1DFM conductivity model (29 soundings from x = 0 to
# 700 along y = 350, 25 layers) into an xyz data file and the conductivity,
# resistivity and log-resistivity grids.
# Usage: bash examples/tarnby/run.sh <path-to-tarnby> <output-folder>
set -euo pipefail
if [ $# -ne 2 ]; then
    echo "usage: bash $0 <path-to-tarnby> <output-folder>" >&2
    exit 2
fi
binary="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
here="$(cd "$(dirname "$0")" && pwd)"
mkdir -p "$2"
cd "$2"
cp "$here/ubc4y350_con.mod" .
"$binary" ubc4y350_con.mod ubc4y350_con.xyz
for made in ubc4y350_con.xyz ubc4y350_con.grd ubc4y350_res.grd ubc4y350_logres.grd minc.log; do
    if [ ! -s "$made" ]; then
        echo "tarnby example: $made was not written" >&2
        exit 1
    fi
done
echo "tarnby example: $(($(wc -l < ubc4y350_con.xyz) - 1)) rows and 3 grids in $(pwd)"
