#!/usr/bin/env bash
# The Python recipe of docs/grid-file.md reads a grid that the library made:
# points from a plane z = 3 + 0.2 x - 0.1 y gridded twice (rows stored first
# to last, and last to first) must come back with the header geometry asked
# for and with the nodes away from the border on the plane.
# Usage: grid_to_xyz_test.sh <minc_tool> <tools folder>; exit 77 (skipped)
# when numpy is not there.
set -euo pipefail
tool=$1
recipe=$2/grid_to_xyz.py
python=$(command -v /usr/bin/python3 python3 | while read -r p; do "$p" -c 'import numpy' 2>/dev/null && echo "$p" && break; done || true)
[ -n "$python" ] || { echo "numpy is not installed: skipped"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
"$python" - <<'PY'
import struct
with open("points.bin", "wb") as f:
    for i in range(61):
        for j in range(41):
            x, y = 100.0 + i * 0.5, 50.0 + j * 0.5
            f.write(struct.pack("<3f", x, y, 3.0 + 0.2 * x - 0.1 * y))
PY
for flag in 1 -2; do
    "$tool" wide "plane$flag.grd" 100 50 1 1 31 21 100 points.bin 1 -1e32 1 1 "$flag" 0 0 >/dev/null
    "$python" "$recipe" "plane$flag.grd" --header >header.txt
    grep -qx "nx 31" header.txt && grep -qx "ny 21" header.txt && grep -qx "x0 100.0" header.txt &&
        grep -qx "y0 50.0" header.txt && grep -qx "row_order $flag" header.txt ||
        { echo "header of plane$flag.grd:"; cat header.txt; exit 1; }
    "$python" "$recipe" "plane$flag.grd" >plane.xyz
    "$python" - <<'PY'
rows = [tuple(map(float, line.split())) for line in open("plane.xyz")]
assert len(rows) == 31 * 21, len(rows)
inside = [(x, y, z) for x, y, z in rows if 102 <= x <= 128 and 52 <= y <= 68]
worst = max(abs(z - (3.0 + 0.2 * x - 0.1 * y)) for x, y, z in inside)
assert worst < 1e-2, worst  # the iteration stops at a small residual
PY
done
echo "grid_to_xyz recipe: both row orders read back onto the plane"
