#!/usr/bin/env python3
"""Reads a grid file of the suite with numpy and writes it as plain x,y,z rows.

    python3 tools/grid_to_xyz.py GRID [--header]

With --header it prints the header fields instead. Null nodes (at or below
-1.0E30) are left out, so the rows can go straight to a plotting tool's
xyz-to-grid conversion (for example `xyz2grd -I<dx>/<dy> -R<x0>/<x1>/<y0>/<y1>`).
"""
import sys

import numpy as np

HEADER = np.dtype([
    ("element_size", "<i4"), ("storage_type", "<i4"), ("nx", "<i4"), ("ny", "<i4"), ("row_order", "<i4"),
    ("dx", "<f8"), ("dy", "<f8"), ("x0", "<f8"), ("y0", "<f8"), ("rotation", "<f8"), ("z_base", "<f8"),
    ("z_multiplier", "<f8"), ("label", "S48"), ("map_number", "S16"), ("reserved", "<i4", 5),
    ("zmin", "<f4"), ("zmax", "<f4"), ("zmedian", "<f4"), ("zmean", "<f4"), ("z_variance", "<f8"),
    ("processing_flag", "<i4"), ("user_area", "S324"),
])
assert HEADER.itemsize == 512
NULL_THRESHOLD = -1.0e30


def read_grid(path):
    """The header (a numpy record) and the nodes as an (ny, nx) float32 array
    whose row 0 is the row at the y origin, whatever the stored row order."""
    header = np.fromfile(path, dtype=HEADER, count=1)[0]
    nx, ny = int(header["nx"]), int(header["ny"])
    nodes = np.fromfile(path, dtype="<f4", count=nx * ny, offset=512).reshape(ny, nx)
    if header["row_order"] != 1:  # -2: rows stored last to first
        nodes = nodes[::-1]
    return header, nodes


def main(argv):
    if len(argv) < 2:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    header, nodes = read_grid(argv[1])
    if "--header" in argv[2:]:
        for name in HEADER.names:
            if name not in ("label", "map_number", "user_area"):
                print(f"{name} {header[name]}")
        return 0
    x = header["x0"] + header["dx"] * np.arange(nodes.shape[1])
    y = header["y0"] + header["dy"] * np.arange(nodes.shape[0])
    xs, ys = np.meshgrid(x, y)
    keep = nodes > NULL_THRESHOLD
    np.savetxt(sys.stdout, np.column_stack([xs[keep], ys[keep], nodes[keep]]), fmt="%.6f %.6f %.7g")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
