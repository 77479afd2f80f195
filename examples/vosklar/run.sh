#!/usr/bin/env bash
# Runs vosklar on the example: six AIRBEO stations of an east-west line, so
# that the first pass is followed by a profile pass along the easting.
# Usage: bash examples/vosklar/run.sh <path-to-vosklar> <output-folder>
set -euo pipefail
if [ $# -ne 2 ]; then
    echo "usage: bash $0 <path-to-vosklar> <output-folder>" >&2
    exit 2
fi
binary=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$2"
out=$(cd "$2" && pwd)

# vosklar finds each station's results in Station_<n>/ beside the working folder.
cp "$here/line7.lst" "$out/"
cp -r "$here"/Station_* "$out/"
cd "$out"
"$binary" airbeo line7.lst line7.xyz 1000

for pass in "" E; do
    for quantity in res_NN con_NN logres_NN con res logres; do
        grid="line7_${pass}${quantity}.grd"
        if [ ! -s "$grid" ]; then
            echo "vosklar example: $grid was not made" >&2
            exit 1
        fi
    done
done
[ -s line7.xyz ] || { echo "vosklar example: line7.xyz was not made" >&2; exit 1; }
[ ! -e tmpdat.tmp ] && [ ! -e tmpmod.tmp ] || { echo "vosklar example: temporary files were left" >&2; exit 1; }
echo "vosklar example: line7.xyz and 12 grids in $out"
